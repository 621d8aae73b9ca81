// Script commands that talk to the user through the console: writing and
// speaking, reading lines, keys and the mouse, the screen, waits and the
// clipboard.
#include <algorithm>
#include <cstdint>
#include <string>

#include "console/line_editor.h"
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

// Keywords inside arguments are compared upper-cased over exactly their own
// length, the blank included where they end with one; a match is removed.
bool TakeKeyword(std::string_view& args, std::string_view keyword) {
  if (!StartsWithUpper(args, keyword)) return false;
  args.remove_prefix(keyword.size());
  return true;
}

// Where the upper-cased text holds the keyword, or npos.
size_t FindUpper(std::string_view text, std::string_view keyword) {
  for (size_t at = 0; at + keyword.size() <= text.size(); ++at) {
    if (StartsWithUpper(text.substr(at), keyword)) return at;
  }
  return std::string_view::npos;
}

// Reads values until one cannot be read, joined with nothing between them;
// false when a value could not be read.
bool JoinValues(Runtime& rt, std::string_view& args, std::string& text) {
  std::string value;
  while (!args.empty()) {
    // A failed value may have consumed the rest of the text (a "$" name the
    // table has no room for, a lone "("), so its result decides, not the rest.
    if (!EvaluateValue(rt, args, value)) return false;
    text += value;
  }
  return true;
}

void StripLineEnd(std::string& line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
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
  std::string text;
  const bool all_read = JoinValues(rt, args, text);
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

namespace {

constexpr const char* kFileError = "Erro no processamento de arquivo";

// How a script sees a key: the character itself, "#" and the code of a
// control byte, "#0#" and the code after the 0 of a function or cursor key.
// With key-state prefixes every key is "#" and its code, after three digits
// that tell whether Shift, Ctrl and Alt were held.
std::string ReadKeyText(Runtime& rt, bool spoken, bool key_state) {
  const uint8_t key = spoken ? rt.speech.ReadKeySpoken() : rt.console.TakeKey();
  const Modifiers mods = rt.console.LastKeyModifiers();
  std::string text;
  if (key_state) {
    text += mods.shift ? '1' : '0';
    text += mods.ctrl ? '1' : '0';
    text += mods.alt ? '1' : '0';
  }
  if (key == 0) {
    text += "#0#" + DecimalText(rt.console.TakeKey());
  } else if (key < 32 || key_state) {
    text += "#" + DecimalText(key);
  } else {
    text += static_cast<char>(key);
  }
  return text;
}

// LE MOUSE and LE RATO: the pointer in screen pixels with TELA, otherwise
// from the window in front (its left edge inside the frame, 4 pixels below
// its top). With no desktop the pointer reads 0, 0; with no window in front
// the screen is the reference.
bool ReadMouse(Runtime& rt, std::string_view args) {
  const bool screen = TakeKeyword(args, "TELA");
  args = TrimView(args);
  ScreenPoint at;
  if (const auto pointer = rt.desktop.PointerPosition()) {
    at = *pointer;
    if (!screen) {
      if (const auto frame = rt.desktop.ActiveWindowFrame()) {
        at.x -= frame->left + frame->border;
        at.y -= frame->top + 4;
      }
    }
  }
  const auto x = TakeVariable(rt, args);
  if (!x) return false;
  rt.interp.variables.Slot(*x) = DecimalText(at.x);
  const auto y = TakeVariable(rt, args);
  if (!y) return false;
  rt.interp.variables.Slot(*y) = DecimalText(at.y);
  return args.empty();
}

enum class LineMode { kSpoken, kEdit, kQuiet, kHidden };

}  // namespace

bool LeCommand(Runtime& rt, std::string_view args) {
  rt.operation_status = 0;
  if (args.empty()) {
    // The script waits for Enter; the line itself is not wanted.
    rt.console.BasicLineInput();
    return true;
  }
  if (StartsWithUpper(args, "MOUSE ") || StartsWithUpper(args, "RATO ")) {
    args.remove_prefix(5);
    return ReadMouse(rt, TrimView(args));
  }
  std::string without_tecla;
  bool key_state = false;
  if (const size_t at = FindUpper(args, "TECLA "); at != std::string_view::npos) {
    without_tecla = std::string(args.substr(0, at)) + std::string(args.substr(at + 6));
    TrimInPlace(without_tecla);
    if (without_tecla.empty() || without_tecla.back() != '&') without_tecla += '&';
    args = without_tecla;
    key_state = true;
  }
  bool single_key = false;
  if (!args.empty() && args.back() == '&') {
    args = TrimView(args.substr(0, args.size() - 1));
    single_key = true;
    if (args.empty()) {
      rt.console.TakeKey();
      return true;
    }
  }
  std::optional<int> channel;
  LineMode mode = LineMode::kSpoken;
  if (!args.empty() && args[0] == '#') {
    channel = TakeChannel(args);
    if (!channel) return false;
    if (args.empty()) {
      rt.WriteLineSpoken(kFileError);
      return false;
    }
  } else if (TakeKeyword(args, "EDITA")) {
    mode = LineMode::kEdit;
  } else if (TakeKeyword(args, "CONSOLE ")) {
    args = TrimView(args);
    const auto slot = TakeVariable(rt, args);
    if (!slot) return false;
    // What a program started by the script wrote to its pipe; no program
    // is started with one yet, so there is nothing to read.
    rt.interp.variables.Slot(*slot).clear();
    return true;
  } else if (TakeKeyword(args, "MUDO")) {
    mode = LineMode::kQuiet;
  } else if (TakeKeyword(args, "SENHA")) {
    mode = LineMode::kHidden;
  }
  args = TrimView(args);
  const auto slot = TakeVariable(rt, args);
  if (!slot) return false;
  // Text after the variable is ignored.
  if (channel) return ReadChannelLine(rt, *channel, *slot);
  std::string text;
  if (single_key) {
    text = ReadKeyText(rt, mode == LineMode::kSpoken || mode == LineMode::kEdit, key_state);
  } else if (mode == LineMode::kQuiet || mode == LineMode::kHidden) {
    const uint8_t attribute = rt.console.TextAttribute();
    // Black on black: what is typed stays off the screen.
    if (mode == LineMode::kHidden) rt.console.RestoreAttribute(0);
    text = rt.console.BasicLineInput();
    rt.console.RestoreAttribute(attribute);
    StripLineEnd(text);
  } else if (mode == LineMode::kEdit) {
    text = rt.interp.variables.Slot(*slot);
    if (EditAtCursor(rt, text, 1024) == 27) text.clear();
  } else {
    ReadLineSpoken(rt, text);
  }
  rt.interp.variables.Slot(*slot) = std::move(text);
  return true;
}

bool ObservaCommand(Runtime& rt, std::string_view args) {
  std::optional<int> channel;
  if (!TakeKeyword(args, "TECLADO ")) {
    channel = TakeChannel(args);
    if (!channel) return false;
  }
  args = TrimView(args);
  const auto slot = TakeVariable(rt, args);
  if (!slot || !args.empty()) return false;
  // A waiting key stays queued for the next read.
  const bool waiting = channel ? ChannelHasData(rt, *channel) : rt.console.KeyPending();
  rt.interp.variables.Slot(*slot) = waiting ? "1" : "0";
  return true;
}

namespace {

struct ScreenWord {
  std::string_view word;
  void (*act)(ConsoleWindow&);
};

constexpr ScreenWord kScreenWords[] = {
    {"LIMPA", [](ConsoleWindow& c) { c.ClearScreen(); }},
    {"MINIMIZADA", [](ConsoleWindow& c) { c.Show(WindowShow::kHidden); }},
    {"NORMAL", [](ConsoleWindow& c) { c.Show(WindowShow::kNormal); }},
};

}  // namespace

bool TelaCommand(Runtime& rt, std::string_view args) {
  if (args.empty()) return false;
  std::string text = UpperText(args);
  // A lone letter names the variable that holds the word, as it stands.
  if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z') {
    text = rt.interp.variables.Slot(static_cast<unsigned char>(text[0]));
  }
  for (const auto& w : kScreenWords) {
    if (text.starts_with(w.word)) {
      w.act(rt.console);
      return true;
    }
  }
  if (text.empty() || text[0] != '@') return false;
  const std::string_view place = std::string_view(text).substr(1);
  const size_t comma = place.find(',');
  if (comma == std::string_view::npos) return false;
  const auto column = ToInteger(TrimView(place.substr(0, comma)));
  const auto row = ToInteger(TrimView(place.substr(comma + 1)));
  if (!column || !row) return false;
  rt.console.MoveCursor(*column, *row);
  return true;
}

bool CorCommand(Runtime& rt, std::string_view args) {
  int32_t colour;
  if (!EvaluateInteger(rt, args, colour)) return false;
  rt.console.SetTextColour(colour);
  return true;
}

bool FundoCommand(Runtime& rt, std::string_view args) {
  int32_t colour;
  if (!EvaluateInteger(rt, args, colour)) return false;
  rt.console.SetBackColour(colour);
  return true;
}

bool TituloCommand(Runtime& rt, std::string_view args) {
  if (args.empty()) return false;
  std::string title;
  if (!EvaluateValue(rt, args, title)) return false;
  // The window's title holds 300 characters.
  if (title.size() > 300) title.resize(300);
  rt.console.SetTitle(title);
  return true;
}

bool BipaCommand(Runtime& rt, std::string_view args) {
  std::string sound = "0";
  if (!args.empty() && !EvaluateValue(rt, args, sound)) return false;
  if (sound == "1") {
    rt.speech.PlayClick();
  } else {
    rt.speech.PlayBeep();
  }
  return true;
}

bool EsperaCommand(Runtime& rt, std::string_view args) {
  if (args.empty()) return false;
  rt.operation_status = 0;
  const bool milliseconds = TakeKeyword(args, "MS");
  args = TrimView(args);
  int32_t count;
  if (!EvaluateInteger(rt, args, count)) return false;
  std::string wanted;
  if (!args.empty() && EvaluateValue(rt, args, wanted)) {
    // Up to count seconds, looking at the window in front twice a second
    // (whatever MS said).
    wanted = UpperText(wanted);
    const int64_t looks = count > 0 ? 2 * static_cast<int64_t>(count) : 0;
    for (int64_t i = 0; i < looks; ++i) {
      if (UpperText(rt.desktop.ActiveWindowTitle(249)).find(wanted) != std::string::npos) return true;
      rt.console.DelayMs(500);
    }
    rt.operation_status = 1;
    return true;
  }
  // The pause is a 16-bit count of milliseconds: longer ones stop at its
  // top, negative ones do not pause.
  const int64_t ms = milliseconds ? count : static_cast<int64_t>(count) * 1000;
  rt.console.DelayMs(static_cast<int>(std::clamp<int64_t>(ms, 0, 65535)));
  return true;
}

bool FalaCommand(Runtime& rt, std::string_view args) {
  bool wait = true;
  if (!args.empty() && args.back() == '&') {
    args = TrimView(args.substr(0, args.size() - 1));
    wait = false;
  }
  if (args.empty()) {
    rt.speech.StopSpeech();
    if (wait) WaitForSpeech(rt);
    return true;
  }
  std::string text;
  const bool all_read = JoinValues(rt, args, text);
  rt.speech.SpeakText(text);
  if (wait) WaitForSpeech(rt);
  return all_read;
}

bool FalahoraCommand(Runtime& rt, std::string_view args) {
  if (args.empty()) return false;
  std::string time;
  if (!EvaluateValue(rt, args, time)) return false;
  auto digit = [&](size_t i) { return time[i] >= '0' && time[i] <= '9'; };
  // Hours and minutes are two digits each; anything else is no time.
  if (time.size() != 5 || time[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4)) {
    return false;
  }
  rt.speech.SpeakTime((time[0] - '0') * 10 + (time[1] - '0'), (time[3] - '0') * 10 + (time[4] - '0'));
  WaitForSpeech(rt);
  return true;
}

bool SoletraCommand(Runtime& rt, std::string_view args) {
  if (args.empty()) return false;
  std::string text;
  if (!EvaluateValue(rt, args, text)) return false;
  // Text after the value is ignored.
  rt.speech.SpellText(text);
  rt.console.ConsoleOutput(text);
  WaitForSpeech(rt);
  return true;
}

bool TransfereCommand(Runtime& rt, std::string_view args) {
  if (args.empty()) return false;
  bool to_clipboard;
  if (TakeKeyword(args, "DE ")) {
    to_clipboard = true;
  } else if (TakeKeyword(args, "PARA ")) {
    to_clipboard = false;
  } else {
    return false;
  }
  args = TrimView(args);
  const auto slot = TakeVariable(rt, args);
  args = TrimView(args);
  if (!slot || !args.empty()) return false;
  std::string& variable = rt.interp.variables.Slot(*slot);
  // Both ways go through a buffer of 1,024 characters.
  if (to_clipboard) {
    rt.console.ClipboardPut(std::string_view(variable).substr(0, 1023));
  } else {
    variable = rt.console.ClipboardGet(1024);
  }
  return true;
}

}  // namespace morventa
