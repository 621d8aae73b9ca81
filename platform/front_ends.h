// The one place that picks how the console is shown.
#pragma once

#include "console/front_end.h"

namespace morventa {

// MORVENTA_CONSOLE=terminal|plain chooses; otherwise terminal when standard
// input and output are terminals, plain when either is a pipe or a file.
FrontEndFactory ChooseFrontEnd();

}  // namespace morventa
