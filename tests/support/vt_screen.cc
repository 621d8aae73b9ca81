#include "tests/support/vt_screen.h"

#include <algorithm>
#include <cstdlib>

#include "system/text_encoding.h"

namespace morventa::testing {
namespace {

std::vector<int> Params(std::string_view text) {
  std::vector<int> out;
  std::string field;
  for (char c : text) {
    if (c == ';' || c == ':') {
      out.push_back(field.empty() ? 0 : std::atoi(field.c_str()));
      field.clear();
    } else if (c >= '0' && c <= '9') {
      field += c;
    }
  }
  out.push_back(field.empty() ? 0 : std::atoi(field.c_str()));
  return out;
}

}  // namespace

VtScreen::VtScreen(int rows, int columns)
    : rows_(rows), columns_(columns), cells_(static_cast<size_t>(rows * columns)), bottom_(rows - 1) {
  for (auto& cell : cells_) cell = {' ', kDefaultFg, kDefaultBg};
}

const VtCell& VtScreen::Cell(int row, int column) const {
  return cells_[static_cast<size_t>((row - 1) * columns_ + column - 1)];
}

std::string VtScreen::Row(int row) const {
  std::string out;
  for (int column = 1; column <= columns_; ++column) AppendUtf8(out, Cell(row, column).ch);
  return out.substr(0, out.find_last_not_of(' ') + 1);
}

std::string VtScreen::Text() const {
  std::string out;
  for (int row = 1; row <= rows_; ++row) out += Row(row) + "\n";
  return out;
}

bool VtScreen::Contains(std::string_view utf8) const { return Text().find(utf8) != std::string::npos; }

void VtScreen::Feed(std::string_view bytes) {
  for (unsigned char b : bytes) {
    switch (state_) {
      case State::kEscape:
        if (b == '[') {
          state_ = State::kCsi;
          sequence_.clear();
        } else if (b == ']') {
          state_ = State::kOsc;
          sequence_.clear();
        } else {
          state_ = State::kGround;
          if (b == '7') {
            saved_row_ = row_;
            saved_column_ = column_;
          } else if (b == '8') {
            row_ = saved_row_;
            column_ = saved_column_;
            pending_wrap_ = false;
          }
        }
        continue;
      case State::kCsi:
        if (b >= 0x40 && b <= 0x7E) {
          state_ = State::kGround;
          Csi(static_cast<char>(b));
        } else {
          sequence_ += static_cast<char>(b);
        }
        continue;
      case State::kOsc:
        if (b == 7) {
          state_ = State::kGround;
          Osc();
        } else if (b == 0x1B) {
          state_ = State::kOscEscape;
        } else {
          sequence_ += static_cast<char>(b);
        }
        continue;
      case State::kOscEscape:  // ESC \ ends the string
        state_ = State::kGround;
        Osc();
        continue;
      case State::kString:  // DCS, SOS, PM, APC: nothing shows until ST
        if (b == 0x1B) state_ = State::kStringEscape;
        continue;
      case State::kStringEscape:
        state_ = b == '\\' ? State::kGround : State::kString;
        continue;
      case State::kGround:
        break;
    }
    if (utf8_left_ > 0 && (b & 0xC0) == 0x80) {
      utf8_code_ = (utf8_code_ << 6) | (b & 0x3F);
      if (--utf8_left_ == 0) CodePoint(utf8_code_);
      continue;
    }
    utf8_left_ = 0;
    if (b >= 0xC0 && b < 0xE0) {
      utf8_code_ = b & 0x1F, utf8_left_ = 1;
    } else if (b >= 0xE0 && b < 0xF0) {
      utf8_code_ = b & 0x0F, utf8_left_ = 2;
    } else if (b >= 0xF0 && b < 0xF8) {
      utf8_code_ = b & 0x07, utf8_left_ = 3;
    } else if (b >= 0x80) {
      Print(0xFFFD);
    } else if (b == 0x1B) {
      state_ = State::kEscape;
    } else if (b == '\r') {
      column_ = 0;
      pending_wrap_ = false;
    } else if (b == '\n' || b == 0x0B || b == 0x0C) {
      LineFeed();
    } else if (b == '\b') {
      if (column_ > 0) --column_;
      pending_wrap_ = false;
    } else if (b == '\t') {
      column_ = std::min(columns_ - 1, (column_ / 8 + 1) * 8);
    } else if (b == 7) {
      ++bells_;
    } else if (b >= 0x20 && b != 0x7F) {
      Print(b);
    }
  }
}

void VtScreen::CodePoint(char32_t cp) {
  if (cp >= 0x80 && cp <= 0x9F) {
    sequence_.clear();
    if (cp == 0x9B) state_ = State::kCsi;
    if (cp == 0x9D) state_ = State::kOsc;
    if (cp == 0x90 || cp == 0x98 || cp == 0x9E || cp == 0x9F) state_ = State::kString;
    return;
  }
  Print(cp);
}

void VtScreen::Print(char32_t ch) {
  if (pending_wrap_) {
    column_ = 0;
    LineFeed();
  }
  cells_[static_cast<size_t>(row_ * columns_ + column_)] = {ch, fg_, bg_};
  if (column_ == columns_ - 1) {
    pending_wrap_ = true;
  } else {
    ++column_;
  }
}

void VtScreen::LineFeed() {
  pending_wrap_ = false;
  if (row_ == bottom_) {
    ScrollUp();
  } else if (row_ < rows_ - 1) {
    ++row_;
  }
}

void VtScreen::ScrollUp() {
  const auto begin = cells_.begin() + top_ * columns_;
  std::move(begin + columns_, cells_.begin() + (bottom_ + 1) * columns_, begin);
  // New lines take the current background, as xterm fills them.
  for (int column = 0; column < columns_; ++column)
    cells_[static_cast<size_t>(bottom_ * columns_ + column)] = {' ', fg_, bg_};
}

void VtScreen::Erase(int from_row, int from_column, int to_row, int to_column) {
  for (int at = from_row * columns_ + from_column; at <= to_row * columns_ + to_column; ++at)
    cells_[static_cast<size_t>(at)] = {' ', fg_, bg_};
}

void VtScreen::Csi(char final) {
  const char prefix = sequence_.empty() ? '\0' : sequence_[0];
  const bool private_mode = prefix == '?' || prefix == '>' || prefix == '<' || prefix == '=';
  const std::vector<int> p = Params(private_mode ? std::string_view(sequence_).substr(1) : sequence_);
  const auto at = [&p](size_t i, int fallback) { return i < p.size() && p[i] != 0 ? p[i] : fallback; };
  if (prefix == '?') {
    if (final != 'h' && final != 'l') return;
    for (int mode : p) {
      const bool on = final == 'h';
      if (mode == 25) cursor_visible_ = on;
      if (mode == 1000) mouse_reporting_ = on;
      if (mode == 1006) sgr_mouse_ = on;
    }
    return;
  }
  if (prefix == '>') {
    if (final == 'm' && (p.empty() || p[0] == 4)) modify_other_keys_ = p.size() > 1 ? p[1] : 0;
    return;
  }
  if (private_mode) return;
  switch (final) {
    case 'H':
    case 'f':
      row_ = std::clamp(at(0, 1), 1, rows_) - 1;
      column_ = std::clamp(at(1, 1), 1, columns_) - 1;
      pending_wrap_ = false;
      break;
    case 'A': row_ = std::max(0, row_ - at(0, 1)); pending_wrap_ = false; break;
    case 'B': row_ = std::min(rows_ - 1, row_ + at(0, 1)); pending_wrap_ = false; break;
    case 'C': column_ = std::min(columns_ - 1, column_ + at(0, 1)); pending_wrap_ = false; break;
    case 'D': column_ = std::max(0, column_ - at(0, 1)); pending_wrap_ = false; break;
    case 'J': {
      const int mode = p.empty() ? 0 : p[0];
      if (mode == 0) Erase(row_, column_, rows_ - 1, columns_ - 1);
      if (mode == 1) Erase(0, 0, row_, column_);
      if (mode == 2 || mode == 3) Erase(0, 0, rows_ - 1, columns_ - 1);
      break;
    }
    case 'K': {
      const int mode = p.empty() ? 0 : p[0];
      if (mode == 0) Erase(row_, column_, row_, columns_ - 1);
      if (mode == 1) Erase(row_, 0, row_, column_);
      if (mode == 2) Erase(row_, 0, row_, columns_ - 1);
      break;
    }
    case 'm':
      Sgr(p);
      break;
    case 'r': {
      const int top = at(0, 1), bottom = at(1, rows_);
      if (top < bottom && bottom <= rows_) {
        top_ = top - 1;
        bottom_ = bottom - 1;
      }
      row_ = column_ = 0;  // DECSTBM homes the cursor
      pending_wrap_ = false;
      break;
    }
    default:
      break;
  }
}

void VtScreen::Sgr(const std::vector<int>& p) {
  for (size_t i = 0; i < p.size(); ++i) {
    const int code = p[i];
    if (code == 0) {
      fg_ = kDefaultFg;
      bg_ = kDefaultBg;
    } else if (code == 39) {
      fg_ = kDefaultFg;
    } else if (code == 49) {
      bg_ = kDefaultBg;
    } else if ((code == 38 || code == 48) && i + 1 < p.size() && p[i + 1] == 2 && i + 4 < p.size()) {
      const VtColour c{static_cast<uint8_t>(p[i + 2]), static_cast<uint8_t>(p[i + 3]), static_cast<uint8_t>(p[i + 4])};
      (code == 38 ? fg_ : bg_) = c;
      i += 4;
    } else if ((code == 38 || code == 48) && i + 1 < p.size() && p[i + 1] == 5) {
      i += 2;  // indexed colours: not used by the program
    }
  }
}

void VtScreen::Osc() {
  const size_t semicolon = sequence_.find(';');
  if (semicolon == std::string::npos) return;
  const std::string kind = sequence_.substr(0, semicolon);
  if (kind == "0" || kind == "2") title_ = sequence_.substr(semicolon + 1);
}

}  // namespace morventa::testing
