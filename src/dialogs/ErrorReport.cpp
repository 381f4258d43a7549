// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorReport.h"

#include "board/ZanvoError.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QString>

#include <new>

namespace {

bool standsOnScreen(const QWidget* window)
{
    return window != nullptr && window->isVisible() && !window->isMinimized();
}

} // namespace

QWidget* MessageParent(QWidget* concerned)
{
    if (concerned != nullptr && standsOnScreen(concerned->window()))
        return concerned->window();
    // Not the active window: right after a file dialog closes there is none, or
    // it is the dialog on its way out.
    QWidget* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!standsOnScreen(w) || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)
            continue;
        if (qobject_cast<QMainWindow*>(w) != nullptr)
            return w;
        if (shown == nullptr && !w->isModal())
            shown = w;
    }
    return shown;
}

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
        description = QString::fromStdString(ZanvoError::OutOfMemory().Description());
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    } catch (...) {
        description = QStringLiteral("The command stopped for a reason the program does not know.");
    }
    if (number == 0)
        return description;
    return QStringLiteral("%1\n\nError %2").arg(description).arg(number);
}

void ReportCurrentError(QWidget* concerned) noexcept
{
    try {
        const QString text = ErrorMessageText(std::current_exception());
        QMessageBox::critical(MessageParent(concerned), QStringLiteral("Zanvo"), text);
    } catch (...) {
        // Nothing sensible is left to do; the program keeps its data and goes on.
    }
}
