// Script commands that talk to the user through the console.
#include <string>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/channels.h"
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
  int channel = -1;
  if (!args.empty() && args[0] == '#') {
    // "#" and one digit; unlike other channel references, no blank is
    // needed after it.
    if (args.size() < 2 || args[1] < '0' || args[1] > '9') {
      rt.WriteLineSpoken("Erro no processamento de arquivo");
      return false;
    }
    channel = args[1] - '0';
    args.remove_prefix(2);
  } else if (StartsWithUpper(args, "MUDO")) {
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
  if (channel >= 0) {
    if (!WriteChannel(rt, channel, text, line_end)) return false;
  } else {
    rt.console.ConsoleOutput(text);
    if (line_end) rt.console.ConsoleOutput("\r\n");
    if (speak) rt.speech.SpeakText(text);
  }
  if (!all_read) return false;
  WaitForSpeech(rt);
  return true;
}

}  // namespace morventa
