// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/FileProblem.h"
#include "board/ZanvoError.h"

#include "TestFiles.h"

#include <QTemporaryDir>

#include <cerrno>

Q_DECLARE_METATYPE(FileProblem)

class tst_FileProblem : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void causeGivesNumberAndWords_data();
    void causeGivesNumberAndWords();
    void problemBeforeReading_data();
    void problemBeforeReading();
};

// Each cause the system reports: the error number and how the sentence starts.
void tst_FileProblem::causeGivesNumberAndWords_data()
{
    QTest::addColumn<int>("errnoValue");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("leading");
    const QString dir = QStringLiteral("/nowhere/at/all");
    QTest::newRow("missing file") << ENOENT << ErrorNumber::PathNotFound << QStringLiteral("The folder \"%1\" does not exist").arg(dir);
    QTest::newRow("part of the path is a file") << ENOTDIR << 76 << QStringLiteral("The folder \"%1\" does not exist").arg(dir);
    QTest::newRow("no access") << EACCES << 70 << QStringLiteral("You do not have permission to use \"");
    QTest::newRow("not permitted") << EPERM << 70 << QStringLiteral("You do not have permission");
    QTest::newRow("read-only disk") << EROFS << 70 << QStringLiteral("The disk that holds the folder \"%1\"").arg(dir);
    QTest::newRow("disk full") << ENOSPC << 61 << QStringLiteral("The disk is full");
    QTest::newRow("quota") << EDQUOT << 61 << QStringLiteral("The disk is full");
    QTest::newRow("file-size limit") << EFBIG << 61 << QStringLiteral("The file \"");
    QTest::newRow("link loop") << ELOOP << 75 << QStringLiteral("The link \"");
    QTest::newRow("folder") << EISDIR << 75 << QStringLiteral("\"");
    QTest::newRow("long name") << ENAMETOOLONG << 75 << QStringLiteral("The name \"");
    QTest::newRow("disk failure") << EIO << 57 << QStringLiteral("The disk failed while using \"");
    QTest::newRow("anything else") << EBADF << 75 << QStringLiteral("The file \"");
}

void tst_FileProblem::causeGivesNumberAndWords()
{
    QFETCH(int, errnoValue);
    QFETCH(int, number);
    QFETCH(QString, leading);
    const QString file = QStringLiteral("/nowhere/at/all/b.dat");
    const FileProblem problem = ProblemFromErrno(errnoValue, file);
    QCOMPARE(ErrorNumberFor(problem), number);
    const QString sentence = ProblemSentence(problem, file, QString::fromLocal8Bit(strerror(errnoValue)));
    QVERIFY2(sentence.startsWith(leading), qPrintable(sentence));
    if (problem != FileProblem::FolderMissing && problem != FileProblem::DiskFull
        && problem != FileProblem::ReadOnlyFileSystem)
        QVERIFY2(sentence.contains(file), qPrintable(sentence));
    QVERIFY2(!sentence.contains(QStringLiteral("nknown error")), qPrintable(sentence));
    if (problem == FileProblem::Other) // the system's words are kept where there are no plainer ones
        QVERIFY2(sentence.contains(QString::fromLocal8Bit(strerror(errnoValue))), qPrintable(sentence));
}

void tst_FileProblem::problemBeforeReading_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("expected"); // -1: none
    QTest::newRow("ordinary file") << QStringLiteral("file") << -1;
    QTest::newRow("missing file") << QStringLiteral("missing") << int(FileProblem::NotFound);
    QTest::newRow("missing folder") << QStringLiteral("nofolder") << int(FileProblem::FolderMissing);
    QTest::newRow("loop of links") << QStringLiteral("loop") << int(FileProblem::SymlinkLoop);
    QTest::newRow("folder") << QStringLiteral("folder") << int(FileProblem::IsFolder);
    QTest::newRow("pipe without writer") << QStringLiteral("fifo") << int(FileProblem::NotOrdinaryFile);
    QTest::newRow("device that never ends") << QStringLiteral("/dev/zero") << int(FileProblem::NotOrdinaryFile);
}

void tst_FileProblem::problemBeforeReading()
{
    QFETCH(QString, kind);
    QFETCH(int, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString file = dir.filePath(QStringLiteral("b.dat"));
    if (kind == QStringLiteral("nofolder"))
        file = dir.filePath(QStringLiteral("no/b.dat"));
    else if (kind.startsWith(QLatin1Char('/')))
        file = kind;
    else if (kind != QStringLiteral("missing"))
        MakeFileOfKind(file, kind);
    const std::optional<FileProblem> problem = ProblemBeforeReading(file);
    QCOMPARE(problem ? int(*problem) : -1, expected);
}

QTEST_APPLESS_MAIN(tst_FileProblem)
#include "tst_FileProblem.moc"
