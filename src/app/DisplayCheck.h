// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

struct xcb_connection_t;

// Tries the display before Qt does, so that a missing one costs the user one line
// instead of Qt's screenful about platform plugins. The trial connection stays
// open until Release(), to be called once Qt holds its own: an X server whose
// last client leaves starts over, and would refuse Qt for that moment.
class DisplayCheck {
public:
    DisplayCheck();
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // Why no window can be opened, or empty when the display answered (or when
    // Qt needs no display server).
    const std::string& MissingReason() const noexcept { return m_reason; }

    void Release() noexcept;

private:
    std::string m_reason;
    xcb_connection_t* m_connection = nullptr;
};
