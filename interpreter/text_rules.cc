#include "interpreter/text_rules.h"

#include <charconv>

namespace morventa {

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

void TrimInPlace(std::string& text) {
  size_t e = text.size();
  while (e > 0 && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  size_t b = 0;
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  if (e < text.size()) text.resize(e);
  if (b > 0) text.erase(0, b);
}

std::string UpperText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
  return out;
}

std::optional<int32_t> ToInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return std::nullopt;
  const char c = text[i];
  size_t hex_start = std::string_view::npos;
  if (c == '$' || c == 'x' || c == 'X') {
    hex_start = i + 1;
  } else if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex_start = i + 2;
  }
  if (hex_start != std::string_view::npos) {
    const size_t n = text.size() - hex_start;
    if (n < 1 || n > 8) return std::nullopt;
    uint32_t v = 0;
    for (size_t k = hex_start; k < text.size(); ++k) {
      const char d = text[k];
      int digit;
      if (d >= '0' && d <= '9') digit = d - '0';
      else if (d >= 'a' && d <= 'f') digit = d - 'a' + 10;
      else if (d >= 'A' && d <= 'F') digit = d - 'A' + 10;
      else return std::nullopt;
      v = (v << 4) | static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(v);
  }
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    const char d = text[i];
    if (d < '0' || d > '9') return std::nullopt;
    v = v * 10 + (d - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::string DecimalText(int64_t value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

}  // namespace morventa
