// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <utility>

class QString;
class QWidget;

// The window a message box should stand centred over: `concerned` (its window)
// while that is shown and not minimised, else the program's main window. Never a
// hidden window; null only when no window is shown at all.
QWidget* MessageParent(QWidget* concerned = nullptr);

// Tells the user about the error in flight in a modal message box over
// MessageParent(concerned). Call only from inside a catch block.
void ReportCurrentError(QWidget* concerned = nullptr) noexcept;

// The message text for a caught exception, for the box and for tests: the
// sentence first, then the error number.
QString ErrorMessageText(const std::exception_ptr& error);

// Wraps a command so that an error it raises is reported over `concerned` (the
// main window when null) and the program keeps running with its data as it is,
// instead of unwinding through Qt's frames.
template <class F>
auto Guarded(QWidget* concerned, F f)
{
    return [concerned, f = std::move(f)](auto&&... args) {
        try {
            f(std::forward<decltype(args)>(args)...);
        } catch (...) {
            ReportCurrentError(concerned);
        }
    };
}

template <class F>
auto Guarded(F f)
{
    return Guarded(nullptr, std::move(f));
}
