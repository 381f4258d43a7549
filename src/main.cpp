// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DisplayCheck.h"
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
    ZanvoApplication app(argc, argv);
    display.Release();
    ZanvoApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zanvo.svg")));
    frmMain window;
    window.show();
    return ZanvoApplication::exec();
}
