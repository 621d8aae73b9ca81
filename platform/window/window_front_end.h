// The console in a window of its own on the desktop: SDL2 draws the grid with
// a TrueType face (SDL2_ttf, found with fontconfig), and SDL's key, text and
// mouse events become the console's events.
#pragma once

#include <memory>
#include <string>

#include "console/front_end.h"

namespace morventa {

// True when an X11 or Wayland display answers (DISPLAY, WAYLAND_DISPLAY).
bool WindowDisplayReachable();

// Null, with the reason in *error, when the desktop gives us no window.
std::unique_ptr<ConsoleFrontEnd> MakeWindowFrontEnd(std::string* error);

}  // namespace morventa
