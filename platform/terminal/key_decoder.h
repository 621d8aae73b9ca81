// Turns the bytes a terminal sends (UTF-8 text, control codes, xterm escape
// sequences with their modifier parameters, SGR mouse reports) into console
// events. Shared by the terminal and the plain front ends.
#pragma once

#include <string>
#include <string_view>

#include "console/front_end.h"

namespace morventa {

class KeyDecoder {
 public:
  // When escape_then_key_is_alt is set, ESC directly followed by a key in the
  // same read is that key with Alt (what terminals send for Alt+key); a pipe
  // has no timing, so there ESC is always the Escape key.
  explicit KeyDecoder(bool escape_then_key_is_alt) : alt_prefix_(escape_then_key_is_alt) {}

  // Decodes the bytes of one read; an incomplete sequence at the end waits
  // for the next read.
  void Feed(std::string_view bytes, ConsoleEvents& sink);
  // No more bytes came in time: whatever is pending stands for itself.
  void Flush(ConsoleEvents& sink);
  bool pending() const { return !buffer_.empty(); }

 private:
  // Decodes from the front of buffer_; returns bytes used, 0 when incomplete.
  size_t DecodeOne(std::string_view in, ConsoleEvents& sink, bool final_read);
  size_t DecodeEscape(std::string_view in, ConsoleEvents& sink, bool final_read);
  void CsiSequence(std::string_view params, char final, ConsoleEvents& sink);
  void Character(unsigned char ch, Modifiers mods, ConsoleEvents& sink);

  bool alt_prefix_;
  std::string buffer_;
};

}  // namespace morventa
