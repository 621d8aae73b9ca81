// quintera FILE [PARAM ...]: runs a QUINTERA script in the speaking console.
//
// Exit status: 0 the script ended normally, 1 a command failed, 2 the script
// could not be loaded, 3 the console was closed before the script ended,
// 4 the voice could not start (its data is missing).
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "interpreter/script_loader.h"
#include "platform/front_ends.h"
#include "system/text_encoding.h"

int main(int argc, char** argv) {
  using namespace morventa;
  if (argc < 2) {
    std::fprintf(stderr, "uso: quintera ARQUIVO [PARÂMETRO ...]\n");
    return 2;
  }
  std::vector<std::string> lines;
  std::string err;
  if (!LoadScript(argv[1], lines, &err)) {
    std::fprintf(stderr, "quintera: %s: %s\n", argv[1], err.c_str());
    return 2;
  }
  RuntimeOptions options;
  options.locations = ConfigLocations::FromEnvironment();
  options.front_end = ChooseFrontEnd();
  options.transcript = Transcript::FromEnvironment();
  for (int i = 2; i < argc; ++i) options.params.push_back(BoundaryToAnsi(argv[i]));

  Runtime rt(std::move(options));
  try {
    ResetInterpreter(rt);
    StartUp(rt, "quintera - " + BoundaryToAnsi(argv[1]));
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
