// The two front ends that need no display: the user's terminal, drawn with
// xterm sequences, and a plain stream for pipes and for users who read with
// their own screen reader or Braille terminal.
#pragma once

#include <memory>

#include "console/front_end.h"

namespace morventa {

// Draws the grid in the controlling terminal (raw mode, 24-bit colour).
std::unique_ptr<ConsoleFrontEnd> MakeTerminalFrontEnd();
// Writes every text that reaches the grid to standard output as UTF-8 and
// reads keys from standard input.
std::unique_ptr<ConsoleFrontEnd> MakePlainFrontEnd();

}  // namespace morventa
