#include "DisplayCheck.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>

namespace {

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

std::string MissingDisplayReason()
{
    const std::string platform = env("QT_QPA_PLATFORM");
    if (!platform.empty() && platform.rfind("xcb", 0) != 0 && platform.rfind("wayland", 0) != 0)
        return {}; // offscreen, vnc, ...: Qt needs no display server
    if (!env("WAYLAND_DISPLAY").empty() && platform.rfind("xcb", 0) != 0)
        return {};
    const std::string display = env("DISPLAY");
    if (display.empty())
        return "no display to open a window on (DISPLAY is not set); start Zanvo from a desktop session";
    // A local display ":N" or ":N.S" has a socket we can look for; remote ones are left to Qt.
    if (display[0] == ':') {
        std::string_view number(display);
        number.remove_prefix(1);
        number = number.substr(0, number.find('.'));
        const std::string socket = "/tmp/.X11-unix/X" + std::string(number);
        struct stat info {};
        if (stat(socket.c_str(), &info) != 0)
            return "cannot open display " + display + " (no X server is listening there)";
    }
    return {};
}
