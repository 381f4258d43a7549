// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisplayCheck.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace {

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

DisplayCheck::DisplayCheck()
{
    const std::string platform = env("QT_QPA_PLATFORM");
    if (!platform.empty() && platform.rfind("xcb", 0) != 0 && platform.rfind("wayland", 0) != 0)
        return; // offscreen, vnc, ...: Qt needs no display server
    if (!env("WAYLAND_DISPLAY").empty() && platform.rfind("xcb", 0) != 0)
        return;
    const std::string display = env("DISPLAY");
    if (display.empty()) {
        m_reason = "no display to open a window on (DISPLAY is not set); start Zanvo from a desktop session";
        return;
    }
    // Only a connection tells: the X library may reach the server through an
    // abstract socket, or over the network, where no socket file can be seen.
    m_connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection) != 0) {
        Release();
        m_reason = "cannot open display " + display + " (no X server answers there)";
    }
}

DisplayCheck::~DisplayCheck()
{
    Release();
}

void DisplayCheck::Release() noexcept
{
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}
