// Turns the bytes a terminal sends (UTF-8 text, control codes, xterm escape
// sequences with their modifier parameters, mouse reports) into console
// events. Shared by the terminal and the plain front ends.
//
// Combinations a terminal cannot deliver: Ctrl+Break (SIGTERM, SIGHUP or
// SIGINT close the console instead; Ctrl+C is the byte 3, as in the window),
// keys the desktop takes first (Ctrl+Alt+F1..F12 on Linux consoles, Alt+F4);
// Ctrl+Backspace and Ctrl+Enter only where the terminal tells them apart
// (0x08 for Ctrl+Backspace, modifyOtherKeys or CSI u reports); Alt+letter is
// told from Escape followed by a letter only by timing.
#pragma once

#include <string>
#include <string_view>

#include "console/front_end.h"

namespace morventa {

class KeyDecoder {
 public:
  // terminal_keys: the bytes come from a keyboard in a terminal. Then ESC
  // directly followed by a key in the same read is that key with Alt, and a
  // lone line feed is Ctrl+J (Ctrl+Enter). Without it (a pipe or a file) ESC
  // is always the Escape key and a line feed ends a line like Enter.
  explicit KeyDecoder(bool terminal_keys) : terminal_(terminal_keys) {}

  // Decodes the bytes of one read; an incomplete sequence at the end waits
  // for the next read.
  void Feed(std::string_view bytes, ConsoleEvents& sink);
  // No more bytes came in time: whatever is pending stands for itself.
  void Flush(ConsoleEvents& sink);
  bool pending() const { return !buffer_.empty(); }

 private:
  // Decodes from the front of in; returns bytes used, 0 when incomplete.
  size_t DecodeOne(std::string_view in, ConsoleEvents& sink, bool final_read);
  size_t DecodeEscape(std::string_view in, ConsoleEvents& sink, bool final_read);
  size_t DecodeCsi(std::string_view in, ConsoleEvents& sink, bool final_read);
  size_t DecodeSs3(std::string_view in, ConsoleEvents& sink, bool final_read);
  // ESC followed by something that is no sequence after all.
  size_t EscapeAndNext(std::string_view in, ConsoleEvents& sink);
  void CsiSequence(std::string_view params, char final, ConsoleEvents& sink);
  // A key reported by its character code (modifyOtherKeys, CSI u).
  void OtherKey(int code, Modifiers mods, ConsoleEvents& sink);
  void Character(unsigned char ch, Modifiers mods, ConsoleEvents& sink);

  bool terminal_;
  bool after_cr_ = false;  // a line feed right after a carriage return adds nothing
  std::string buffer_;
};

}  // namespace morventa
