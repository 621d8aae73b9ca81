// The one place that picks how the console is shown.
#pragma once

#include "console/front_end.h"

namespace morventa {

// MORVENTA_CONSOLE=window|terminal|plain chooses; otherwise a window when an
// X11 or Wayland display answers, else terminal when standard input and
// output are terminals, plain when either is a pipe or a file.
FrontEndFactory ChooseFrontEnd();

}  // namespace morventa
