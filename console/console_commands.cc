// Script commands that talk to the user through the console.
#include <string>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// Waits until speech has ended or a key has stopped it.
void WaitForSpeech(Runtime& rt) {
  while (rt.speech.IsSpeaking()) rt.console.WaitEvents(10);
}

}  // namespace

bool EscreveCommand(Runtime& rt, std::string_view args) {
  rt.operation_status = 0;
  bool line_end = true;
  if (!args.empty() && args.back() == '&') {
    args = TrimView(args.substr(0, args.size() - 1));
    line_end = false;
  }
  bool speak = true;
  if (!args.empty() && args[0] == '#') {
    // No channel can be open before the channel commands exist.
    rt.WriteLineSpoken("Erro no processamento de arquivo");
    return false;
  }
  if (StartsWithUpper(args, "MUDO")) {
    args.remove_prefix(4);
    speak = false;
  }
  args = TrimView(args);
  if (args.empty()) {
    rt.console.ConsoleOutput("\r\n");
    if (speak) rt.speech.SpeakText("");
    WaitForSpeech(rt);
    return true;
  }
  std::string text, value;
  bool all_read = true;
  while (!args.empty()) {
    // A failed value may have consumed the rest of the text (a "$" name the
    // table has no room for, a lone "("), so its result decides, not the rest.
    if (!EvaluateValue(rt, args, value)) {
      all_read = false;
      break;
    }
    text += value;
  }
  rt.console.ConsoleOutput(text);
  if (line_end) rt.console.ConsoleOutput("\r\n");
  if (speak) rt.speech.SpeakText(text);
  if (!all_read) return false;
  WaitForSpeech(rt);
  return true;
}

}  // namespace morventa
