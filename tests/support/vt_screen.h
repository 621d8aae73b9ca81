// A small model of a VT/xterm screen, enough to read what the terminal front
// end draws: text (UTF-8), cursor positioning, 24-bit SGR colours, erase in
// display and line, the scroll region with line feeds at its bottom margin,
// auto-wrap, and the modes the program switches on and must switch off again.
// Titles (OSC) are kept aside. C1 controls arriving as UTF-8 act as xterm
// takes them (U+0090 opens a device control string that swallows what
// follows up to ST); everything else is ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morventa::testing {

struct VtColour {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const VtColour&) const = default;
};

struct VtCell {
  char32_t ch = ' ';
  VtColour fg, bg;
};

class VtScreen {
 public:
  // Colours of cells nobody painted: on purpose none of the console's palette.
  static constexpr VtColour kDefaultFg{200, 201, 202};
  static constexpr VtColour kDefaultBg{10, 11, 12};

  VtScreen(int rows, int columns);

  void Feed(std::string_view bytes);

  int rows() const { return rows_; }
  int columns() const { return columns_; }
  // 1-based, as the terminal counts.
  const VtCell& Cell(int row, int column) const;
  // A row as UTF-8 with trailing spaces removed.
  std::string Row(int row) const;
  // Every row, one a line.
  std::string Text() const;
  bool Contains(std::string_view utf8) const;

  int cursor_row() const { return row_ + 1; }
  int cursor_column() const { return column_ + 1; }
  bool cursor_visible() const { return cursor_visible_; }
  const std::string& title() const { return title_; }
  int bells() const { return bells_; }
  bool mouse_reporting() const { return mouse_reporting_; }
  bool sgr_mouse() const { return sgr_mouse_; }
  int modify_other_keys() const { return modify_other_keys_; }
  bool full_scroll_region() const { return top_ == 0 && bottom_ == rows_ - 1; }

 private:
  enum class State { kGround, kEscape, kCsi, kOsc, kOscEscape, kString, kStringEscape };

  void Print(char32_t ch);
  void CodePoint(char32_t cp);
  void LineFeed();
  void ScrollUp();
  void Erase(int from_row, int from_column, int to_row, int to_column);  // inclusive
  void Csi(char final);
  void Sgr(const std::vector<int>& p);
  void Osc();

  int rows_, columns_;
  std::vector<VtCell> cells_;
  int row_ = 0, column_ = 0;
  int saved_row_ = 0, saved_column_ = 0;  // ESC 7 / ESC 8
  bool pending_wrap_ = false;
  int top_ = 0, bottom_;
  VtColour fg_ = kDefaultFg, bg_ = kDefaultBg;
  bool cursor_visible_ = true;
  bool mouse_reporting_ = false;
  bool sgr_mouse_ = false;
  int modify_other_keys_ = 0;
  int bells_ = 0;
  std::string title_;

  State state_ = State::kGround;
  std::string sequence_;  // parameters and intermediates, or the OSC text
  char32_t utf8_code_ = 0;
  int utf8_left_ = 0;
};

}  // namespace morventa::testing
