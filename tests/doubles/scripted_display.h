// A stand-in for the display the console is shown on: it records what the
// console core asks it to draw and, at each wait, hands the core the next batch
// of user actions (keys, clicks, focus changes) a test queued beforehand.
// When nothing is queued, a wait for a key closes the console, as a user
// closing the window would, so a test can never hang on a missing key.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/front_end.h"

namespace morventa::testing {

struct DrawnSpan {
  int row, first_column, end_column;
  bool operator==(const DrawnSpan&) const = default;
};

struct DisplayLog {
  // What the core told the display.
  bool opened = false;
  bool closed = false;
  bool normal_end = false;
  std::string written;  // bytes passed to TextWritten, Windows-1252
  std::vector<DrawnSpan> spans;
  int scrolls = 0;
  int repaints = 0;
  int beeps = 0;
  std::string title;
  int cursor_column = -1;
  int cursor_row = -1;
  bool awaiting_key = false;
  std::vector<WindowShow> shows;
  int waits = 0;

  // What the user does: one batch of actions per wait, in order.
  std::deque<std::function<void(ConsoleEvents&)>> batches;
  Modifiers held;
  bool close_signalled = false;  // as if SIGTERM had come

  void Then(std::function<void(ConsoleEvents&)> batch) { batches.push_back(std::move(batch)); }
  // Each character of the text typed as its own batch, without modifiers.
  void Type(const std::string& ansi);
};

FrontEndFactory ScriptedDisplay(std::shared_ptr<DisplayLog> log);

}  // namespace morventa::testing
