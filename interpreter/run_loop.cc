#include "interpreter/run_loop.h"

#include <algorithm>

#include "console/clock.h"
#include "interpreter/dispatch.h"
#include "interpreter/runtime.h"
#include "system/text_encoding.h"

namespace morventa {

void ResetInterpreter(Runtime& rt) {
  InterpreterState& s = rt.interp;
  s.current_line = 1;
  s.fail_flag = s.stop_flag = false;
  s.quiet_end = false;
  s.command_word.clear();
  s.return_stack.clear();
  rt.operation_status = 0;
  s.variables.Clear();
  for (auto& list : s.lists) list.reset();
  const LocalDateTime now = LocalNow();
  s.elapsed_base_weekday = now.weekday;
  s.elapsed_base_time =
      now.hour * 360000 + now.minute * 6000 + now.second * 100 + now.hundredths;
}

void StartUp(Runtime& rt, std::string_view title) {
  const std::string sounds_dir = rt.config.ScriptSoundsDir();
  rt.speech.StartSpeech(0, sounds_dir);
  rt.console.ClearScreen();
  rt.console.SetTitle(title);
}

void StoreLine(Runtime& rt, std::string_view text, int n) { rt.interp.script.StoreLine(text, n); }

namespace {

size_t LongestText(VariableTable& variables) {
  size_t longest = 0;
  for (int slot = VariableTable::kFirstSlot; slot < VariableTable::kFirstSlot + VariableTable::kSlotCount;
       ++slot) {
    longest = std::max(longest, variables.Slot(slot).size());
  }
  return longest;
}

}  // namespace

RunOutcome RunScript(Runtime& rt, const RunLimits& limits) {
  InterpreterState& s = rt.interp;
  s.current_line = 1;
  s.fail_flag = s.stop_flag = false;
  s.command_word.clear();
  s.return_stack.clear();
  rt.operation_status = 0;
  s.allow_command = limits.allow_command;
  // However the run ends (a closed console throws), the filter goes with it.
  struct ClearFilter {
    InterpreterState& s;
    ~ClearFilter() { s.allow_command = nullptr; }
  } clear_filter{s};
  const bool bounded = limits.max_lines > 0 || limits.max_text_bytes > 0;
  int64_t executed = 0;
  bool limit_reached = false;
  while (s.current_line <= s.script.line_count() && !s.stop_flag && !s.fail_flag) {
    if (bounded) {
      if ((limits.max_lines > 0 && executed++ >= limits.max_lines) ||
          (limits.max_text_bytes > 0 && LongestText(s.variables) > limits.max_text_bytes)) {
        limit_reached = true;
        break;
      }
    }
    // A signal asked the program to end: leave as closing the console does.
    if (rt.console.close_requested()) rt.console.CloseConsole();
    ExecuteLine(rt, s.script.Line(s.current_line), false);
    if (!s.stop_flag && !s.fail_flag) ++s.current_line;
  }
  s.script.set_line_count(0);
  return {s.fail_flag ? 1 : 0, s.current_line, limit_reached};
}

int ReportOutcome(Runtime& rt) {
  const RunOutcome result = RunScript(rt);
  if (result.outcome == 0) {
    if (!rt.interp.quiet_end) rt.speech.SpeakText("Fim do script");
    return 0;
  }
  rt.console.Show(WindowShow::kNormal);
  rt.speech.SpeakText(Ansi("Erro de execução na linha "));
  rt.WriteNumberSpoken(result.line);
  rt.console.ConsoleOutput("\r\n");
  rt.console.BasicLineInput();
  return 1;
}

}  // namespace morventa
