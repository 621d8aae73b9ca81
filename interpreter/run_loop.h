// Program start, the run loop and the report of how the run ended.
#pragma once

#include <string_view>

namespace morventa {

class Runtime;

struct RunOutcome {
  int outcome;  // 0 normal end, 1 a command failed
  int line;     // CurrentLine at the end
};

void ResetInterpreter(Runtime& rt);
void StartUp(Runtime& rt, std::string_view title);
void StoreLine(Runtime& rt, std::string_view text, int n);
RunOutcome RunScript(Runtime& rt);
// Runs the script and tells the user how it ended; returns the outcome.
int ReportOutcome(Runtime& rt);

}  // namespace morventa
