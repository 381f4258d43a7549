#pragma once

#include <exception>
#include <utility>

class QString;

// Tells the user about the error in flight ("Run-time error '6': Overflow") in a
// modal message box. Call only from inside a catch block.
void ReportCurrentError() noexcept;

// The message text for a caught exception, for the box and for tests.
QString ErrorMessageText(const std::exception_ptr& error);

// Wraps a command so that an error it raises is reported and the program keeps
// running with its data as it is, instead of unwinding through Qt's frames.
template <class F>
auto Guarded(F f)
{
    return [f = std::move(f)](auto&&... args) {
        try {
            f(std::forward<decltype(args)>(args)...);
        } catch (...) {
            ReportCurrentError();
        }
    };
}
