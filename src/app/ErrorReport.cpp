#include "ErrorReport.h"

#include "board/ZanvoError.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <new>

QString ErrorMessageText(const std::exception_ptr& error)
{
    int number = 0;
    QString description;
    try {
        std::rethrow_exception(error);
    } catch (const ZanvoError& e) {
        number = e.Number();
        description = QString::fromStdString(e.Description());
    } catch (const std::bad_alloc&) {
        number = ErrorNumber::OutOfMemory;
        description = QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    } catch (...) {
        description = QStringLiteral("Unknown error");
    }
    if (number == 0)
        return description;
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
}

void ReportCurrentError() noexcept
{
    try {
        const QString text = ErrorMessageText(std::current_exception());
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Zanvo"), text);
    } catch (...) {
        // Nothing sensible is left to do; the program keeps its data and goes on.
    }
}
