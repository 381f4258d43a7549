// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files as a test lays them out: bytes written and read back, and the things a
// reader or a save must refuse.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTest>

#include <sys/stat.h>

// Empty for a file that is missing or cannot be read.
inline QByteArray BytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Makes at path one of: "file" (empty), "folder", "fifo" (a pipe nobody writes),
// "loop" (two links leading to each other; the second is path + "~").
inline void MakeFileOfKind(const QString& path, const QString& kind)
{
    if (kind == QLatin1String("file")) {
        WriteBytes(path, {});
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("loop")) {
        QVERIFY(QFile::link(path + QLatin1Char('~'), path));
        QVERIFY(QFile::link(path, path + QLatin1Char('~')));
    } else {
        QFAIL(qPrintable(QStringLiteral("no such kind of file: ") + kind));
    }
}
