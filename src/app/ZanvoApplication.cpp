// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZanvoApplication.h"

#include "EndSignals.h"

#include "controls/LineEditAccessible.h"
#include "dialogs/ErrorReport.h"

#include "zanvo_version.h"

#include <QDir>
#include <QSettings>
#include <QWidget>

ZanvoApplication::ZanvoApplication(int& argc, char** argv)
    : QApplication(argc, argv), m_settings(QDir::tempPath() + QStringLiteral("/zanvo-settings-XXXXXX"))
{
    setApplicationName(QStringLiteral("Zanvo"));
    setApplicationVersion(QStringLiteral(ZANVO_VERSION_STRING));
    setDesktopFileName(QStringLiteral(ZANVO_APP_ID));
    // The program keeps no settings between runs, but Qt's file and colour dialogs
    // read and write the user's "QtProject" settings, shared with every Qt program.
    // They get a folder of their own that lives as long as the program: within a
    // run the dialogs remember the last folder, nothing is left behind, and what
    // other programs stored never changes how these dialogs start.
    // Without a temporary folder they get one nobody can make, so their settings are dropped.
    const QString folder = m_settings.isValid() ? m_settings.path() : QStringLiteral("/dev/null/zanvo-settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder);
    InstallLineEditAccessibility();
}

void ZanvoApplication::EndOn(EndSignals& endSignals)
{
    if (endSignals.Pipe() < 0)
        return;
    m_endNotifier = std::make_unique<QSocketNotifier>(endSignals.Pipe(), QSocketNotifier::Read);
    connect(m_endNotifier.get(), &QSocketNotifier::activated, this, [&endSignals] {
        if (!endSignals.Take())
            return;
        // As "Exit": every window closes without a question. exit() as well, in case
        // one would not close, so that no event loop, a modal dialog's included, goes on.
        closeAllWindows();
        exit(0);
    });
}

bool ZanvoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentError(qobject_cast<QWidget*>(receiver));
        return false;
    }
}
