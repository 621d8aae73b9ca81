#include "interpreter/program_entry.h"

#include <utility>

#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "platform/front_ends.h"
#include "system/text_encoding.h"

namespace morventa {

int RunScriptProgram(std::string_view title, const std::vector<std::string>& lines,
                     const std::vector<std::string>& params) {
  RuntimeOptions options;
  options.locations = ConfigLocations::FromEnvironment();
  options.front_end = ChooseFrontEnd();
  options.transcript = Transcript::FromEnvironment();
  for (const auto& p : params) options.params.push_back(BoundaryToAnsi(p));

  Runtime rt(std::move(options));
  try {
    ResetInterpreter(rt);
    StartUp(rt, title);
    for (size_t i = 0; i < lines.size(); ++i) StoreLine(rt, lines[i], static_cast<int>(i + 1));
    const int outcome = ReportOutcome(rt);
    rt.console.EndProgram(outcome == 0);
    return outcome;
  } catch (const ConsoleClosed&) {
    // Closed while the error report waited for Enter: the run had failed.
    const bool failed = rt.interp.fail_flag && rt.interp.script.line_count() == 0;
    return failed ? 1 : 3;
  } catch (const SpeechStartFailed&) {
    return 4;
  }
}

}  // namespace morventa
