// Program start, the run loop and the report of how the run ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace morventa {

class Runtime;

// Bounds for running a script nobody has read, such as the inputs a fuzzer
// makes up: all off by default, and the programs never set them. A run that
// reaches a bound ends at that line as if the script ended there.
struct RunLimits {
  // Lines executed (comments and labels included); 0: no bound.
  int64_t max_lines = 0;
  // Longest text a variable may hold after a line; 0: no bound. Nothing stops
  // a script from doubling a text on every line, so a bounded run needs this
  // as well as the line count.
  size_t max_text_bytes = 0;
  // When set, only command words it accepts (upper-cased) run; any other word
  // fails as an unknown one does. Keeps a made-up script away from files,
  // programs, the network and the desktop.
  bool (*allow_command)(std::string_view upper_word) = nullptr;
};

struct RunOutcome {
  int outcome;  // 0 normal end, 1 a command failed
  int line;     // CurrentLine at the end
  bool limit_reached = false;  // ended by a RunLimits bound
};

void ResetInterpreter(Runtime& rt);
void StartUp(Runtime& rt, std::string_view title);
void StoreLine(Runtime& rt, std::string_view text, int n);
RunOutcome RunScript(Runtime& rt, const RunLimits& limits = {});
// Runs the script and tells the user how it ended; returns the outcome.
int ReportOutcome(Runtime& rt);

}  // namespace morventa
