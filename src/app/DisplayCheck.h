#pragma once

#include <string>

// Why no window could be opened, or empty when a display answered. Runs before Qt,
// so the user gets one line instead of Qt's screenful about platform plugins.
std::string MissingDisplayReason();
