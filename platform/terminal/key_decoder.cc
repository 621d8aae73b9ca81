#include "platform/terminal/key_decoder.h"

#include <cstdlib>
#include <vector>

#include "system/text_encoding.h"

namespace morventa {
namespace {

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

std::vector<int> SplitParams(std::string_view params) {
  std::vector<int> out;
  std::string field;
  for (char c : params) {
    if (c == ';') {
      out.push_back(field.empty() ? 1 : std::atoi(field.c_str()));
      field.clear();
    } else if (c != ':') {
      field += c;
    } else {
      break;  // sub-parameters are not needed
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

size_t Utf8Length(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

void KeyDecoder::Feed(std::string_view bytes, ConsoleEvents& sink) {
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
  if (mods.alt) {
    // Alt with a letter or digit is a key of its own; other Alt keys type nothing.
    const unsigned char upper = (ch >= 'a' && ch <= 'z') ? ch - 32 : ch;
    if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9')) {
      sink.AltKeyDown(static_cast<char>(upper), mods);
    } else if (ch >= 1 && ch <= 26) {
      // ESC followed by a control letter: Ctrl+Alt+letter.
      Modifiers with_ctrl = mods;
      with_ctrl.ctrl = true;
      sink.AltKeyDown(static_cast<char>('A' + ch - 1), with_ctrl);
    }
    return;
  }
  sink.CharTyped(ch, mods);
}

size_t KeyDecoder::DecodeOne(std::string_view in, ConsoleEvents& sink, bool final_read) {
  const unsigned char c = static_cast<unsigned char>(in[0]);
  if (c == 0x1B) return DecodeEscape(in, sink, final_read);
  if (c == 0x7F) {  // the Backspace key of most terminals
    sink.CharTyped(8, {});
    return 1;
  }
  if (c == 0x08) {  // what terminals send for Ctrl+Backspace
    sink.CharTyped(8, {false, true, false});
    return 1;
  }
  if (c == 0x0A || c == 0x0D) {
    sink.CharTyped(13, {});
    // A CR LF pair from a file is one Enter.
    return (c == 0x0D && in.size() > 1 && in[1] == 0x0A) ? 2 : 1;
  }
  if (c < 0x20) {
    sink.CharTyped(c, {false, c != 9, false});
    return 1;
  }
  if (c < 0x80) {
    sink.CharTyped(c, {});
    return 1;
  }
  const size_t len = Utf8Length(c);
  if (len > in.size() && !final_read) return 0;
  if (len > 1 && len <= in.size() && IsValidUtf8(in.substr(0, len))) {
    const std::string ansi = Utf8ToAnsi(in.substr(0, len));
    sink.CharTyped(static_cast<unsigned char>(ansi[0]), {});
    return len;
  }
  sink.CharTyped(c, {});  // not UTF-8: take the byte as Windows-1252
  return 1;
}

size_t KeyDecoder::DecodeEscape(std::string_view in, ConsoleEvents& sink, bool final_read) {
  if (in.size() == 1) {
    if (!final_read) return 0;
    sink.CharTyped(27, {});
    return 1;
  }
  const char second = in[1];
  if (second == '[') {
    // CSI: parameters and intermediates up to a final byte 0x40..0x7E.
    size_t i = 2;
    while (i < in.size() && !(in[i] >= 0x40 && in[i] <= 0x7E)) ++i;
    if (i >= in.size()) {
      if (!final_read) return 0;
      sink.CharTyped(27, {});
      return 1;
    }
    CsiSequence(in.substr(2, i - 2), in[i], sink);
    return i + 1;
  }
  if (second == 'O') {
    if (in.size() < 3) {
      if (!final_read) return 0;
      sink.CharTyped(27, {});
      return 1;
    }
    SpecialKey key;
    if (LetterKey(in[2], key)) sink.KeyDown(key, {});
    return 3;
  }
  if (!alt_prefix_ || second == 0x1B) {
    sink.CharTyped(27, {});
    return 1;
  }
  // Alt+key: decode the key that follows with Alt held.
  const unsigned char k = static_cast<unsigned char>(second);
  Modifiers alt{false, false, true};
  if (k == 0x7F || k == 0x08) {
    sink.CharTyped(8, {false, k == 0x08, true});  // Alt+Backspace types a Backspace
  } else if (k == 0x0D) {
    sink.CharTyped(13, alt);
  } else {
    Character(k, alt, sink);
  }
  return 2;
}

void KeyDecoder::CsiSequence(std::string_view params, char final, ConsoleEvents& sink) {
  if (!params.empty() && params[0] == '<' && (final == 'M' || final == 'm')) {
    // SGR mouse report: button;column;row, M pressed and m released.
    if (final == 'm') return;
    const auto p = SplitParams(params.substr(1));
    const int b = p.empty() ? 0 : p[0];
    if (b & 32) return;  // motion
    if (b & 64) {
      sink.MouseWheel((b & 1) ? -1 : 1);
      return;
    }
    switch (b & 3) {
      case 0: sink.MouseDown(MouseButton::kLeft); break;
      case 1: sink.MouseDown(MouseButton::kMiddle); break;
      case 2: sink.MouseDown(MouseButton::kRight); break;
      default: break;
    }
    return;
  }
  if (params.empty() && final == 'I') return sink.FocusChanged(true, false);
  if (params.empty() && final == 'O') return sink.FocusChanged(false, false);
  if (!params.empty() && params[0] == '[' && params.size() == 1) {
    // Linux console F1..F5: ESC [ [ A .. E
    static const SpecialKey kLinuxF[] = {SpecialKey::kF1, SpecialKey::kF2, SpecialKey::kF3,
                                         SpecialKey::kF4, SpecialKey::kF5};
    if (final >= 'A' && final <= 'E') sink.KeyDown(kLinuxF[final - 'A'], {});
    return;
  }
  if (!params.empty() && (params[0] < '0' || params[0] > '9') && params[0] != ';') return;
  const auto p = SplitParams(params);
  SpecialKey key;
  if (final == '~') {
    if (p[0] == 27 && p.size() >= 3) {
      // modifyOtherKeys: ESC [ 27 ; m ; code ~
      const Modifiers mods = FromParameter(p[1]);
      const int code = p[2];
      if (code == 13) return sink.CharTyped(13, mods);
      if (code == 8 || code == 127) return sink.CharTyped(8, mods);
      if (code >= 0 && code < 256) {
        unsigned char ch = static_cast<unsigned char>(code);
        if (mods.ctrl && !mods.alt && ch >= 'a' && ch <= 'z') ch = static_cast<unsigned char>(ch - 96);
        if (mods.ctrl && !mods.alt && ch >= 'A' && ch <= 'Z') ch = static_cast<unsigned char>(ch - 64);
        Character(ch, mods, sink);
      }
      return;
    }
    if (TildeKey(p[0], key)) sink.KeyDown(key, p.size() > 1 ? FromParameter(p[1]) : Modifiers{});
    return;
  }
  if (final == 'u') {
    // CSI u: ESC [ code ; m u
    const Modifiers mods = p.size() > 1 ? FromParameter(p[1]) : Modifiers{};
    const int code = p[0];
    if (code == 13) return sink.CharTyped(13, mods);
    if (code == 127 || code == 8) return sink.CharTyped(8, mods);
    if (code == 27) return sink.CharTyped(27, mods);
    if (code > 0 && code < 0x110000) {
      const int ansi = AnsiFromCodePoint(static_cast<char32_t>(code));
      unsigned char ch = ansi < 0 ? '?' : static_cast<unsigned char>(ansi);
      if (mods.ctrl && !mods.alt && ch >= 'a' && ch <= 'z') ch = static_cast<unsigned char>(ch - 96);
      Character(ch, mods, sink);
    }
    return;
  }
  if (LetterKey(final, key)) {
    sink.KeyDown(key, p.size() > 1 ? FromParameter(p[1]) : Modifiers{});
  }
}

}  // namespace morventa
