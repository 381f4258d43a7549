// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/ToolCommands.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <csignal>
#include <unistd.h>

// No QCoreApplication: the tool needs no event loop, display or locale set-up.
int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // Output beyond the file-size limit is then a failed write, reported as one.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QFile in;
    QFile out;
    QFile err;
    // Unbuffered: the tool buffers its own output in large pieces.
    const auto mode = QIODevice::Unbuffered;
    // A standard input that cannot be opened is refused by "import -" itself.
    static_cast<void>(in.open(STDIN_FILENO, QIODevice::ReadOnly | mode, QFileDevice::DontCloseHandle));
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | mode, QFileDevice::DontCloseHandle)
        || !err.open(STDERR_FILENO, QIODevice::WriteOnly | mode, QFileDevice::DontCloseHandle))
        return 1;
    return RunTool(arguments, in, out, err);
}
