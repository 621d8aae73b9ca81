// Line parsing and the command table: the language's vocabulary at a glance.
#pragma once

#include <string_view>

namespace morventa {

class Runtime;

// A command handler reads its trimmed argument with the scanners and reports
// success or failure.
using CommandHandler = bool (*)(Runtime& rt, std::string_view args);

struct Command {
  std::string_view keyword;  // Windows-1252, upper case
  CommandHandler handler;
};

// Executes one script line. In nested mode (a single-line SE, CMD) the block
// words are refused.
bool ExecuteLine(Runtime& rt, std::string_view line, bool nested);
bool Dispatch(Runtime& rt, std::string_view word, std::string_view args);

}  // namespace morventa
