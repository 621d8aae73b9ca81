// Selection menus: a list of texts in a box of the console, walked with the
// arrow keys; the item under the cursor is highlighted, enlarged and spoken.
// There is one menu at a time, from MENU CRIA to MENU TERMINA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morventa {

class Runtime;

// Colour indexes of a running menu.
constexpr int kMenuCurrentColour = 14;  // yellow
constexpr int kMenuMarkedColour = 2;    // green

struct MenuBox {
  int x1 = 1, y1 = 1, x2 = 1, y2 = 1;  // first and last column and row, 1-based
  int64_t rows() const { return int64_t{y2} - y1 + 1; }
};

// How a run of the menu ended: the final position (0 above the list, count + 1
// below it) and the key, a byte or, after a 0, the code of an extended key.
struct MenuChoice {
  int64_t position = 0;
  uint8_t key = 0;
  bool extended = false;
};

class MenuList {
 public:
  explicit MenuList(MenuBox box) : box_(box) {}

  const MenuBox& box() const { return box_; }
  void Add(std::string text) {
    items_.push_back(std::move(text));
    marks_.push_back(false);
  }
  int64_t count() const { return static_cast<int64_t>(items_.size()); }
  const std::string& item(int64_t index) const { return items_[static_cast<size_t>(index)]; }
  bool marked(int64_t index) const { return marks_[static_cast<size_t>(index)]; }

  // The 1-based item a run opens at; 1 after CRIA.
  int64_t start_item() const { return start_item_; }
  void set_start_item(int64_t n) { start_item_ = n < 1 ? 1 : n; }

  // Runs the menu from the start item until a key ends it.
  MenuChoice Run(Runtime& rt);
  // Blanks the box in the current attribute and puts the cursor at its corner.
  void Clear(Runtime& rt) const;

 private:
  bool OnItem() const { return current_ >= 0 && current_ < count(); }
  void SetMark(int64_t index, bool on);
  // Marks the items first..last that exist; none when last < first.
  void SetMarks(int64_t first, int64_t last, bool on);
  void Scroll();
  void Draw(Runtime& rt, uint8_t text_attribute);
  void Announce(Runtime& rt);
  // Acts on an extended key; false when the key ends the menu.
  bool ExtendedKey(Runtime& rt, uint8_t code, bool shift, bool alt);

  MenuBox box_;
  std::vector<std::string> items_;
  // Marks grow with the items: the list has no size limit of its own.
  std::vector<bool> marks_;
  int64_t start_item_ = 1;
  // Positions are 64-bit so that a huge start item cannot overflow a move.
  int64_t current_ = 0;  // -1 above the list ... count() below it
  int64_t top_ = 0;      // first item shown
};

// The text a key is given to the script as: the character, "#" and the code
// of a control byte, "#0#" and the code of an extended key.
std::string MenuKeyText(uint8_t key, bool extended);

}  // namespace morventa
