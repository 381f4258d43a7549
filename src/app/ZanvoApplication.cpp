#include "ZanvoApplication.h"

#include "ErrorReport.h"

#include "zanvo_version.h"

ZanvoApplication::ZanvoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zanvo"));
    setApplicationVersion(QStringLiteral(ZANVO_VERSION_STRING));
    setDesktopFileName(QStringLiteral(ZANVO_APP_ID));
}

bool ZanvoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentError();
        return false;
    }
}
