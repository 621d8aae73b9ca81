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
std::string_view TrimView(std::string_view text);

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
bool StartsWithUpper(std::string_view text, std::string_view keyword);
bool EqualsUpper(std::string_view text, std::string_view keyword);

// Decimal with optional sign in the 32-bit range, or hexadecimal after "$",
// "x", "X", "0x", "0X" (one to eight digits, read as a signed pattern);
// leading blanks allowed, nothing after.
std::optional<int32_t> ToInteger(std::string_view text);

std::string DecimalText(int64_t value);

}  // namespace morventa
