#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// A program run to its end, as a script sees it.
struct ProcessRun {
    int status = -1; // -1: it did not end normally within two minutes
    QByteArray out;
    QByteArray err;
};

inline ProcessRun RunProcess(const QString& program, const QStringList& arguments, const QString& stdoutFile = {})
{
    QProcess p;
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(program, arguments);
    ProcessRun r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
