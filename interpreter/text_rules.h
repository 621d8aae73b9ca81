// The language's text rules: trimming, its two upper-case rules, and the
// conversion of a text to a 32-bit integer. Texts are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morventa {

// Removes every byte of code 32 or less from both ends.
void TrimInPlace(std::string& text);
std::string Trim(std::string_view text);
// Inline, as the scanners trim on every step of every line.
inline std::string_view TrimView(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  return text.substr(b, e - b);
}

// a..z to A..Z and 224..255 lowered by 32.
inline unsigned char UpperChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 224) return static_cast<unsigned char>(c - 32);
  return c;
}
std::string UpperText(std::string_view text);
// a..z to A..Z only.
inline unsigned char SimpleUpper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}
// Whether the text starts with the keyword once upper-cased by UpperText.
// Inline, so that a search through a table of keywords mostly stops at the
// first byte without a call.
inline bool StartsWithUpper(std::string_view text, std::string_view keyword) {
  if (text.size() < keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    if (UpperChar(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(keyword[i]))
      return false;
  }
  return true;
}
inline bool EqualsUpper(std::string_view text, std::string_view keyword) {
  return text.size() == keyword.size() && StartsWithUpper(text, keyword);
}

// Decimal with optional sign in the 32-bit range, or hexadecimal after "$",
// "x", "X", "0x", "0X" (one to eight digits, read as a signed pattern);
// leading blanks allowed, nothing after.
std::optional<int32_t> ToInteger(std::string_view text);

std::string DecimalText(int64_t value);

}  // namespace morventa
