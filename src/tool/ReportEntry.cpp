// The report module's entry: the one place where zanvo-tool meets Qt Gui.
#include "Report.h"

#include "board/ZanvoError.h"

#include <QGuiApplication>

#include <memory>
#include <new>

namespace {

// Qt's own warnings (fonts, runtime folders) are no business of the tool's
// standard error, which carries one line per failure.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

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
        if (!QCoreApplication::instance())
            application = std::make_unique<QGuiApplication>(argc, argv);
        WriteReport(*request);
    } catch (const ZanvoError& e) {
        *failure = {e.Number(), e.Description()};
    } catch (const std::bad_alloc&) {
        *failure = {ErrorNumber::OutOfMemory, "Out of memory"};
    } catch (const std::exception& e) {
        *failure = {ErrorNumber::DeviceIO, e.what()};
    }
    qInstallMessageHandler(previous);
}
