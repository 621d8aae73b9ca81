#include "platform/terminal/key_decoder.h"

#include <cstdlib>
#include <vector>

#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr Modifiers kCtrl{false, true, false};
constexpr Modifiers kAlt{false, false, true};
constexpr size_t kNotASequence = static_cast<size_t>(-1);

// xterm modifier parameter: 1 + (Shift 1) + (Alt 2) + (Ctrl 4) + (Meta 8).
Modifiers FromParameter(int p) {
  Modifiers m;
  if (p < 2) return m;
  const int bits = p - 1;
  m.shift = bits & 1;
  m.alt = (bits & 2) || (bits & 8);
  m.ctrl = bits & 4;
  return m;
}

// "1;5" gives {1, 5}; an empty field counts as 1; sub-parameters after ":"
// (alternate keys, event types) are skipped.
std::vector<int> SplitParams(std::string_view params) {
  std::vector<int> out;
  std::string field;
  bool in_sub = false;
  for (char c : params) {
    if (c == ';') {
      out.push_back(field.empty() ? 1 : std::atoi(field.c_str()));
      field.clear();
      in_sub = false;
    } else if (c == ':') {
      in_sub = true;
    } else if (!in_sub) {
      field += c;
    }
  }
  out.push_back(field.empty() ? 1 : std::atoi(field.c_str()));
  return out;
}

// "ESC [ n ~" keys.
bool TildeKey(int n, SpecialKey& key) {
  switch (n) {
    case 1: case 7: key = SpecialKey::kHome; return true;
    case 2: key = SpecialKey::kInsert; return true;
    case 3: key = SpecialKey::kDelete; return true;
    case 4: case 8: key = SpecialKey::kEnd; return true;
    case 5: key = SpecialKey::kPageUp; return true;
    case 6: key = SpecialKey::kPageDown; return true;
    case 11: key = SpecialKey::kF1; return true;
    case 12: key = SpecialKey::kF2; return true;
    case 13: key = SpecialKey::kF3; return true;
    case 14: key = SpecialKey::kF4; return true;
    case 15: key = SpecialKey::kF5; return true;
    case 17: key = SpecialKey::kF6; return true;
    case 18: key = SpecialKey::kF7; return true;
    case 19: key = SpecialKey::kF8; return true;
    case 20: key = SpecialKey::kF9; return true;
    case 21: key = SpecialKey::kF10; return true;
    case 23: key = SpecialKey::kF11; return true;
    case 24: key = SpecialKey::kF12; return true;
    default: return false;
  }
}

// Final letters of "ESC [ 1 ; m X" and "ESC O X".
bool LetterKey(char final, SpecialKey& key) {
  switch (final) {
    case 'A': key = SpecialKey::kUp; return true;
    case 'B': key = SpecialKey::kDown; return true;
    case 'C': key = SpecialKey::kRight; return true;
    case 'D': key = SpecialKey::kLeft; return true;
    case 'H': key = SpecialKey::kHome; return true;
    case 'F': key = SpecialKey::kEnd; return true;
    case 'P': key = SpecialKey::kF1; return true;
    case 'Q': key = SpecialKey::kF2; return true;
    case 'R': key = SpecialKey::kF3; return true;
    case 'S': key = SpecialKey::kF4; return true;
    default: return false;
  }
}

// rxvt's arrows with modifiers: "ESC [ a" is Shift+Up, "ESC O a" Ctrl+Up.
bool RxvtArrow(char final, SpecialKey& key) {
  if (final < 'a' || final > 'd') return false;
  return LetterKey(static_cast<char>(final - 'a' + 'A'), key);
}

size_t Utf8Length(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// One character of text: UTF-8 when valid, otherwise the byte taken as
// Windows-1252. Returns the bytes used, 0 when a UTF-8 character is cut short
// and the rest may still come.
size_t TextCharacter(std::string_view in, bool final_read, unsigned char& ansi) {
  const unsigned char lead = static_cast<unsigned char>(in[0]);
  const size_t len = Utf8Length(lead);
  if (len > 1) {
    if (len > in.size()) {
      bool could_be_utf8 = true;
      for (size_t k = 1; k < in.size(); ++k)
        could_be_utf8 = could_be_utf8 && (static_cast<unsigned char>(in[k]) & 0xC0) == 0x80;
      if (could_be_utf8 && !final_read) return 0;
    } else if (IsValidUtf8(in.substr(0, len))) {
      ansi = static_cast<unsigned char>(Utf8ToAnsi(in.substr(0, len))[0]);
      return len;
    }
  }
  ansi = lead;
  return 1;
}

// The button byte of SGR and X10 mouse reports.
void MouseReport(int b, ConsoleEvents& sink) {
  if (b & (32 | 128)) return;  // motion; the extra buttons 8 to 11
  if (b & 64) {
    if ((b & 3) == 0) sink.MouseWheel(1);   // away from the user
    if ((b & 3) == 1) sink.MouseWheel(-1);  // towards the user
    return;                                 // 2, 3: sideways
  }
  switch (b & 3) {
    case 0: sink.MouseDown(MouseButton::kLeft); break;
    case 1: sink.MouseDown(MouseButton::kMiddle); break;
    case 2: sink.MouseDown(MouseButton::kRight); break;
    default: break;  // X10 release
  }
}

// rxvt's sequences with the Alt prefix ("ESC ESC [ A"): the keys get Alt.
class WithAlt : public ConsoleEvents {
 public:
  explicit WithAlt(ConsoleEvents& inner) : inner_(inner) {}
  void CharTyped(uint8_t ch, Modifiers mods) override { inner_.CharTyped(ch, mods); }
  void KeyDown(SpecialKey key, Modifiers mods) override {
    mods.alt = true;
    inner_.KeyDown(key, mods);
  }
  void AltKeyDown(char key, Modifiers mods) override { inner_.AltKeyDown(key, mods); }
  void MouseDown(MouseButton button) override { inner_.MouseDown(button); }
  void MouseWheel(int steps) override { inner_.MouseWheel(steps); }
  void FocusChanged(bool focused, bool held) override { inner_.FocusChanged(focused, held); }
  void CloseRequested() override { inner_.CloseRequested(); }
  void RepaintRequested() override { inner_.RepaintRequested(); }

 private:
  ConsoleEvents& inner_;
};

}  // namespace

void KeyDecoder::Feed(std::string_view bytes, ConsoleEvents& sink) {
  // Keys typed in a terminal come one read each: only a pasted CR LF is one Enter.
  if (terminal_ && buffer_.empty()) after_cr_ = false;
  buffer_.append(bytes);
  size_t used = 0;
  while (used < buffer_.size()) {
    const size_t n = DecodeOne(std::string_view(buffer_).substr(used), sink, false);
    if (n == 0) break;
    used += n;
  }
  buffer_.erase(0, used);
}

void KeyDecoder::Flush(ConsoleEvents& sink) {
  size_t used = 0;
  while (used < buffer_.size()) used += DecodeOne(std::string_view(buffer_).substr(used), sink, true);
  buffer_.clear();
}

void KeyDecoder::Character(unsigned char ch, Modifiers mods, ConsoleEvents& sink) {
  if (!mods.alt) {
    sink.CharTyped(ch, mods);
    return;
  }
  const unsigned char upper = (ch >= 'a' && ch <= 'z') ? static_cast<unsigned char>(ch - 32) : ch;
  if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9')) {
    sink.AltKeyDown(static_cast<char>(upper), mods);
  } else if (mods.ctrl) {
    sink.CharTyped(ch, mods);  // Ctrl+Alt types what the layout puts there
  }
  // Alt alone with any other key belongs to the system: nothing is typed.
}

size_t KeyDecoder::DecodeOne(std::string_view in, ConsoleEvents& sink, bool final_read) {
  const unsigned char c = static_cast<unsigned char>(in[0]);
  const bool after_cr = after_cr_;
  after_cr_ = false;
  if (c == 0x1B) return DecodeEscape(in, sink, final_read);
  switch (c) {
    case 0x7F:  // the Backspace key of most terminals
      sink.CharTyped(8, {});
      return 1;
    case 0x08:  // what terminals send for Ctrl+Backspace
      sink.CharTyped(8, kCtrl);
      return 1;
    case 0x0D:
      sink.CharTyped(13, {});
      after_cr_ = true;
      return 1;
    case 0x0A:
      if (after_cr) return 1;  // CR LF is one Enter
      sink.CharTyped(13, terminal_ ? kCtrl : Modifiers{});
      return 1;
    case 0x00:  // Ctrl+Space
      sink.CharTyped(' ', kCtrl);
      return 1;
    default:
      break;
  }
  if (c < 0x20) {
    sink.CharTyped(c, {false, c != 9, false});
    return 1;
  }
  if (c < 0x80) {
    sink.CharTyped(c, {});
    return 1;
  }
  unsigned char ansi;
  const size_t len = TextCharacter(in, final_read, ansi);
  if (len > 0) sink.CharTyped(ansi, {});
  return len;
}

size_t KeyDecoder::EscapeAndNext(std::string_view in, ConsoleEvents& sink) {
  if (!terminal_) {
    sink.CharTyped(27, {});
    return 1;
  }
  Character(static_cast<unsigned char>(in[1]), kAlt, sink);
  return 2;
}

size_t KeyDecoder::DecodeEscape(std::string_view in, ConsoleEvents& sink, bool final_read) {
  if (in.size() == 1) {
    if (!final_read) return 0;
    sink.CharTyped(27, {});
    return 1;
  }
  const unsigned char second = static_cast<unsigned char>(in[1]);
  if (second == '[' || second == 'O') {
    const size_t n = second == '[' ? DecodeCsi(in, sink, final_read) : DecodeSs3(in, sink, final_read);
    return n == kNotASequence ? EscapeAndNext(in, sink) : n;
  }
  if (!terminal_) {
    sink.CharTyped(27, {});
    return 1;
  }
  if (second == 0x1B) {
    // rxvt sends Alt+key as ESC before the key's own sequence.
    if (in.size() == 2 && !final_read) return 0;
    if (in.size() > 2 && (in[2] == '[' || in[2] == 'O')) {
      WithAlt alt_sink(sink);
      const size_t n = DecodeEscape(in.substr(1), alt_sink, final_read);
      if (n == 0) return 0;
      return 1 + n;
    }
    sink.CharTyped(27, {});
    return 1;
  }
  // Alt+key: the key that follows, with Alt held.
  if (second >= 0x80) {
    unsigned char ansi;
    const size_t len = TextCharacter(in.substr(1), final_read, ansi);
    if (len == 0) return 0;
    Character(ansi, kAlt, sink);
    return 1 + len;
  }
  if (second >= 1 && second <= 26 && second != 9 && second != 13) {
    // A control letter: Ctrl+Alt+letter (ESC 0x08 is Ctrl+Alt+H, not Backspace).
    sink.AltKeyDown(static_cast<char>('A' + second - 1), {false, true, true});
    return 2;
  }
  // Alt+Backspace, Alt+Enter, Alt+Tab and Alt with a sign are the system's.
  Character(second == 0x7F ? 8 : second, kAlt, sink);
  return 2;
}

size_t KeyDecoder::DecodeCsi(std::string_view in, ConsoleEvents& sink, bool final_read) {
  if (in.size() < 3) return final_read ? kNotASequence : 0;
  if (in[2] == '[') {
    // Linux console F1..F5: ESC [ [ A .. E
    if (in.size() < 4) return final_read ? kNotASequence : 0;
    static const SpecialKey kLinuxF[] = {SpecialKey::kF1, SpecialKey::kF2, SpecialKey::kF3,
                                         SpecialKey::kF4, SpecialKey::kF5};
    if (in[3] < 'A' || in[3] > 'E') return kNotASequence;
    sink.KeyDown(kLinuxF[in[3] - 'A'], {});
    return 4;
  }
  // Parameters and intermediates, then a final byte 0x40..0x7E; rxvt ends
  // its Shift keys with "$", which is no final byte elsewhere.
  size_t i = 2;
  while (i < in.size() && in[i] >= 0x20 && in[i] <= 0x3F && in[i] != '$') ++i;
  if (i >= in.size()) return final_read ? kNotASequence : 0;
  const char final = in[i];
  if ((final < 0x40 || final > 0x7E) && final != '$') return kNotASequence;
  if (final == 'M' && i == 2) {
    // X10 mouse report: three bytes follow, each 32 + a value.
    if (in.size() < 6) return final_read ? kNotASequence : 0;
    MouseReport(static_cast<unsigned char>(in[3]) - 32, sink);
    return 6;
  }
  CsiSequence(in.substr(2, i - 2), final, sink);
  return i + 1;
}

size_t KeyDecoder::DecodeSs3(std::string_view in, ConsoleEvents& sink, bool final_read) {
  // Some terminals put the modifier parameter between: ESC O 5 P.
  size_t i = 2;
  while (i < in.size() && in[i] >= '0' && in[i] <= '9') ++i;
  if (i >= in.size()) return final_read ? kNotASequence : 0;
  const char final = in[i];
  if (final < 0x40 || final > 0x7E) return kNotASequence;
  const Modifiers mods = i > 2 ? FromParameter(std::atoi(std::string(in.substr(2, i - 2)).c_str())) : Modifiers{};
  SpecialKey key;
  if (LetterKey(final, key)) {
    sink.KeyDown(key, mods);
  } else if (RxvtArrow(final, key)) {
    sink.KeyDown(key, kCtrl);
  } else if (final == 'M') {
    sink.CharTyped(13, mods);  // keypad Enter
  }
  return i + 1;
}

void KeyDecoder::OtherKey(int code, Modifiers mods, ConsoleEvents& sink) {
  if (code == 127) code = 8;
  // Keys that have no character (modifier keys, keypad keys reported alone)
  // live in the private-use area.
  if (code <= 0 || code > 0x10FFFF || (code >= 0xE000 && code <= 0xF8FF)) return;
  const int ansi = AnsiFromCodePoint(static_cast<char32_t>(code));
  unsigned char ch = ansi < 0 ? '?' : static_cast<unsigned char>(ansi);
  if (mods.ctrl && !mods.alt) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<unsigned char>(ch - 96);
    else if (ch >= 'A' && ch <= 'Z') ch = static_cast<unsigned char>(ch - 64);
  }
  Character(ch, mods, sink);
}

void KeyDecoder::CsiSequence(std::string_view params, char final, ConsoleEvents& sink) {
  if (!params.empty() && params[0] == '<' && (final == 'M' || final == 'm')) {
    // SGR mouse report: button;column;row, M pressed and m released.
    if (final == 'm') return;
    const auto p = SplitParams(params.substr(1));
    MouseReport(p[0], sink);
    return;
  }
  if (params.empty() && final == 'I') return sink.FocusChanged(true, false);
  if (params.empty() && final == 'O') return sink.FocusChanged(false, false);
  if (!params.empty() && (params[0] < '0' || params[0] > '9') && params[0] != ';') return;
  const auto p = SplitParams(params);
  const Modifiers mods = p.size() > 1 ? FromParameter(p[1]) : Modifiers{};
  SpecialKey key;
  switch (final) {
    case '~':
      // modifyOtherKeys: ESC [ 27 ; m ; code ~
      if (p[0] == 27 && p.size() >= 3) return OtherKey(p[2], FromParameter(p[1]), sink);
      if (TildeKey(p[0], key)) sink.KeyDown(key, mods);
      return;
    case '$':  // rxvt: Shift, Ctrl, Ctrl+Shift in place of "~"
    case '^':
    case '@':
      if (TildeKey(p[0], key)) sink.KeyDown(key, {final != '^', final != '$', false});
      return;
    case 'u':  // CSI u: ESC [ code ; m u
      return OtherKey(p[0], mods, sink);
    case 'Z':  // Shift+Tab
      return sink.CharTyped(9, {true, false, false});
    default:
      break;
  }
  if (LetterKey(final, key)) {
    sink.KeyDown(key, mods);
  } else if (params.empty() && RxvtArrow(final, key)) {
    sink.KeyDown(key, {true, false, false});
  }
}

}  // namespace morventa
