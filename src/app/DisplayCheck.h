#pragma once

#include <string>

// Why no window could be opened, or empty when a display looks reachable.
// Looks only at the environment and the X server's socket, so it runs before Qt.
std::string MissingDisplayReason();
