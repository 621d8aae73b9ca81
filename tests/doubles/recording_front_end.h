// A stand-in for the display: keeps what the console wrote and hands over the
// keys a test typed beforehand. When the typed keys run out, a wait for a key
// closes the console, as a user closing the window would.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "console/front_end.h"

namespace morventa::testing {

struct DisplayRecord {
  std::string text;   // every byte written to the grid, Windows-1252
  std::string title;
  std::vector<WindowShow> shows;  // every hide and restore asked for
  std::string keys;   // characters still to be typed, one per wait
};

FrontEndFactory RecordingFrontEnd(std::shared_ptr<DisplayRecord> record);

}  // namespace morventa::testing
