// SPDX-License-Identifier: GPL-3.0-or-later
// The report module's entry: the one place where zanvo-tool meets Qt Gui.
#include "Report.h"

#include "board/ZanvoError.h"

#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>

#include <cstdio>
#include <memory>
#include <new>

namespace {

// Qt's own warnings (fonts, runtime folders) are no business of the tool's
// standard error, which carries one line per failure; only a fatal one, after
// which Qt ends the program, is told.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "zanvo-tool: %s\n", message.simplified().toLocal8Bit().constData());
}

// Without the offscreen platform plugin Qt would end the program.
bool offscreenPlatformInstalled()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH") || qEnvironmentVariableIsSet("QT_PLUGIN_PATH"))
        return true; // Qt looks there as well; let it try
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return !platforms.entryList({QStringLiteral("*offscreen*")}, QDir::Files).isEmpty();
}

} // namespace

extern "C" Q_DECL_EXPORT void zanvo_report_v1(const ReportRequest* request, ReportFailure* failure)
{
    const QtMessageHandler previous = qInstallMessageHandler(quiet);
    try {
        // The offscreen platform: fonts and painting without a display.
        static int argc = 3;
        static char name[] = "zanvo-tool";
        static char option[] = "-platform";
        static char platform[] = "offscreen";
        static char* argv[] = {name, option, platform, nullptr};
        std::unique_ptr<QGuiApplication> application;
        if (!QCoreApplication::instance()) {
            if (!offscreenPlatformInstalled())
                throw ZanvoError(ErrorNumber::FileNotFound,
                                 "The report needs Qt's offscreen platform plugin (package qt6-qpa-plugins)");
            application = std::make_unique<QGuiApplication>(argc, argv);
        }
        WriteReport(*request);
    } catch (const ZanvoError& e) {
        *failure = {e.Number(), e.Description()};
    } catch (const std::bad_alloc&) {
        const ZanvoError e = ZanvoError::OutOfMemory(); // the words every other command uses
        *failure = {e.Number(), e.Description()};
    } catch (const std::exception& e) {
        *failure = {ErrorNumber::DeviceIO, e.what()};
    }
    qInstallMessageHandler(previous);
}
