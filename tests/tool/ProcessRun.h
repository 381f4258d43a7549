// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/resource.h>

// A program run to its end, as a script sees it.
struct ProcessRun {
    int status = -1; // -1: it did not end normally within two minutes
    QByteArray out;
    QByteArray err;
};

struct ProcessRedirect {
    QString stdinFile;
    QString stdoutFile;
    rlim_t fileSizeLimit = 0; // 0: none
};

inline ProcessRun RunProcess(const QString& program, const QStringList& arguments, const ProcessRedirect& redirect = {})
{
    QProcess p;
    if (!redirect.stdinFile.isEmpty())
        p.setStandardInputFile(redirect.stdinFile);
    if (!redirect.stdoutFile.isEmpty())
        p.setStandardOutputFile(redirect.stdoutFile);
    if (redirect.fileSizeLimit > 0) {
        p.setChildProcessModifier([limit = redirect.fileSizeLimit] {
            const rlimit lower{limit, limit};
            setrlimit(RLIMIT_FSIZE, &lower);
        });
    }
    // A tool that blocks (on a pipe, say) fails the test instead of hanging it.
    p.start(program, arguments);
    ProcessRun r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

#ifdef ZANVO_TOOL_PATH
// The zanvo-tool this build made.
inline ProcessRun RunZanvoTool(const QStringList& arguments, const ProcessRedirect& redirect = {})
{
    return RunProcess(QStringLiteral(ZANVO_TOOL_PATH), arguments, redirect);
}
#endif
