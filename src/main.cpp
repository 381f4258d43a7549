// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DisplayCheck.h"
#include "app/EndSignals.h"
#include "app/ZanvoApplication.h"
#include "app/frmMain.h"

#include <QIcon>

#include <cstdio>

int main(int argc, char** argv)
{
    // Without a display Qt aborts with a screenful of plugin errors; say it in one line.
    DisplayCheck display;
    if (!display.MissingReason().empty()) {
        std::fprintf(stderr, "zanvo: %s\n", display.MissingReason().c_str());
        return 1;
    }
    // Before the application: the folder it keeps in TMPDIR must not outlast a signal.
    EndSignals endSignals;
    int status = 0;
    {
        ZanvoApplication app(argc, argv);
        app.EndOn(endSignals);
        display.Release();
        ZanvoApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zanvo.svg")));
        frmMain window;
        window.show();
        status = ZanvoApplication::exec();
    }
    // Everything is cleaned up; whoever sent the signal learns that it ended the program.
    if (const int signal = endSignals.Received(); signal != 0)
        EndBySignal(signal);
    return status;
}
