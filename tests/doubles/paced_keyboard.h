// A user who presses each key only once the program waits for one, as
// someone editing by ear does: speech and cues are never cut short by keys
// typed ahead, and a beep finds no keys to discard. Keys are written in the
// key notation of tests/support/run_program.h and reach the console through
// the same decoder as a terminal's. The display keeps what the console wrote
// and every drawing of the magnifier strip.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/front_end.h"

namespace morventa::testing {

struct PacedDisplay {
  std::string text;  // every byte written to the grid, Windows-1252
  std::vector<MagnifierView> magnifier;
  int magnifier_hides = 0;
  // One console event per key still to press.
  std::deque<std::function<void(ConsoleEvents&)>> keys;
  // Keys pressed so far.
  int pressed = 0;
  // Called each time the program waits for a key, before it gets one: a
  // look at the screen the user has in front of them.
  std::function<void()> on_key_wait;
};

// Queues the keys of the notation to be pressed one by one.
void PressLater(PacedDisplay& display, const std::string& notation);

FrontEndFactory PacedKeyboard(std::shared_ptr<PacedDisplay> display);

}  // namespace morventa::testing
