// What a program of ours does around the script it runs: the runtime built
// from the environment, the calling order of start-up, store and run, and the
// exit status that tells how the run ended.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morventa {

// Exit status of the programs: 0 the script ended normally, 1 a command
// failed (after the error report), 3 the console was closed before the end,
// 4 the voice could not start (its data is missing).
//
// Runs the Windows-1252 script lines in the speaking console with the given
// window title; the parameters arrive as Linux gave them (UTF-8 or not) and
// the script sees them through SEJA PARAMS.
int RunScriptProgram(std::string_view title, const std::vector<std::string>& lines,
                     const std::vector<std::string>& params);

}  // namespace morventa
