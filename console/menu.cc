// MENU and the menu it runs.
#include "console/menu.h"

#include <algorithm>
#include <string_view>

#include "console/screen_review.h"
#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"

namespace morventa {
namespace {

bool IsFunctionKey(uint8_t code) { return code >= 59 && code <= 70; }

// Extended keys that hand the choice back to the script: F1 to F12, Left,
// Right, Ctrl+F1 to Ctrl+F8, Ctrl+F10 to Ctrl+F12, Ctrl+Left, Ctrl+Right.
bool EndsMenu(uint8_t code) {
  return IsFunctionKey(code) || code == 75 || code == 77 || (code >= 94 && code <= 101) ||
         (code >= 103 && code <= 105) || code == 115 || code == 116;
}

// Writes a row of the box, cut to the grid: a menu never writes past the
// right edge, where the text would wrap and could scroll the screen.
void WriteBoxRow(Runtime& rt, const MenuBox& box, int row, std::string_view text) {
  if (row < 1 || row > kRows) return;
  const int64_t first = std::max<int64_t>(box.x1, 1);
  const int64_t last = std::min<int64_t>(box.x2, kColumns);
  if (first > last) return;
  const auto offset = static_cast<size_t>(first - box.x1);
  const auto length = static_cast<size_t>(last - first + 1);
  std::string shown(offset < text.size() ? text.substr(offset, length) : std::string_view());
  shown.resize(length, ' ');
  rt.console.MoveCursor(static_cast<int>(first), row);
  rt.console.ConsoleOutput(shown);
}

}  // namespace

std::string MenuKeyText(uint8_t key, bool extended) {
  if (extended) return "#0#" + DecimalText(key);
  if (key < 32) return "#" + DecimalText(key);
  return std::string(1, static_cast<char>(key));
}

void MenuList::SetMark(int64_t index, bool on) {
  if (index >= 0 && index < count()) marks_[static_cast<size_t>(index)] = on;
}

void MenuList::SetMarks(int64_t first, int64_t last, bool on) {
  for (int64_t i = std::max<int64_t>(first, 0); i <= std::min(last, count() - 1); ++i)
    marks_[static_cast<size_t>(i)] = on;
}

void MenuList::Scroll() {
  if (current_ < top_) top_ = current_;
  if (current_ >= top_ + box_.rows()) top_ = current_ - box_.rows() + 1;
  if (current_ < 0) {
    current_ = -1;
    top_ = 0;
  }
}

void MenuList::Draw(Runtime& rt, uint8_t text_attribute) {
  // Only the rows of the box that lie on the screen.
  const int first_row = static_cast<int>(std::max<int64_t>(box_.y1, 1));
  const int last_row = static_cast<int>(std::min<int64_t>(box_.y2, kRows));
  for (int row = first_row; row <= last_row; ++row) {
    const int64_t index = top_ + (row - box_.y1);
    const bool is_item = index >= 0 && index < count();
    rt.console.RestoreAttribute(text_attribute);
    if (is_item && index == current_) {
      rt.console.SetTextColour(kMenuCurrentColour);
    } else if (is_item && marked(index)) {
      rt.console.SetTextColour(kMenuMarkedColour);
    }
    WriteBoxRow(rt, box_, row, is_item ? std::string_view(item(index)) : std::string_view());
  }
  rt.console.RestoreAttribute(text_attribute);
}

void MenuList::Announce(Runtime& rt) {
  if (!OnItem()) {
    rt.console.MagnifierShow("", 1);
    return;
  }
  if (marked(current_)) rt.speech.PlayBeep();
  rt.console.MagnifierShow(item(current_), 1);
  rt.speech.SpeakText(item(current_));
}

bool MenuList::ExtendedKey(Runtime& rt, uint8_t code, bool shift, bool alt) {
  switch (code) {
    case 80:  // Down
      if (shift && OnItem() && !marked(current_)) {
        rt.speech.PlayBeep();
        SetMark(current_, true);
      }
      ++current_;
      if (shift) SetMark(current_, true);
      return true;
    case 72:  // Up
      if (shift) SetMark(current_, false);
      --current_;
      return true;
    case 81:  // Page Down
      current_ += 10;
      return true;
    case 73:  // Page Up
      current_ -= 10;
      return true;
    case 71:   // Home
    case 132:  // Ctrl+Page Up
      if (shift) SetMarks(0, current_, false);
      rt.speech.PlayBeep();
      current_ = 0;
      return true;
    case 79:   // End
    case 118:  // Ctrl+Page Down
      if (shift) SetMarks(current_, count() - 1, true);
      rt.speech.PlayBeep();
      current_ = count() - 1;
      return true;
    case 119:  // Ctrl+Home: marks only with Shift
      if (shift) {
        SetMarks(0, current_, true);
        rt.speech.PlayBeep();
        current_ = 0;
      }
      return true;
    case 117:  // Ctrl+End: unmarks only with Shift
      if (shift) {
        SetMarks(current_, count() - 1, false);
        current_ = count() - 1;
        rt.speech.PlayBeep();
      }
      return true;
    case 102:  // Ctrl+F9; with Alt the user reads the screen and comes back
      if (!alt) return false;
      ReviewScreen(rt);
      return true;
    default:
      return !EndsMenu(code);
  }
}

MenuChoice MenuList::Run(Runtime& rt) {
  const uint8_t text_attribute = rt.console.TextAttribute();
  current_ = start_item_ - 1;
  MenuChoice choice;
  for (;;) {
    Scroll();
    Draw(rt, text_attribute);
    Announce(rt);
    const int64_t row = OnItem() ? box_.y1 + (current_ - top_) : box_.y1;
    rt.console.MoveCursor(std::clamp<int>(box_.x1, 1, kColumns),
                          static_cast<int>(std::clamp<int64_t>(row, 1, kRows)));
    const uint8_t key = rt.console.TakeKey();
    if (key != 0) {
      const bool ended = [&] {
        switch (key) {
          case ' ':
            if (OnItem()) SetMark(current_, !marked(current_));
            return false;
          case '*':
            SetMarks(0, count() - 1, true);
            return false;
          case '/':
            SetMarks(0, count() - 1, false);
            return false;
          case '+':
            SetMark(current_, true);
            return false;
          case '-':
            SetMark(current_, false);
            return false;
          default:
            return true;
        }
      }();
      if (!ended) continue;
      choice.key = key;
      break;
    }
    const bool shift = rt.console.LastKeyModifiers().shift;
    const uint8_t code = rt.console.TakeKey();
    const bool alt = rt.console.LastKeyModifiers().alt;
    rt.speech.StopSpeech();
    if (!ExtendedKey(rt, code, shift, alt)) {
      choice.key = code;
      choice.extended = true;
      break;
    }
    // The cursor may rest one place outside the list, where nothing is
    // highlighted or spoken; the beep says the edge was passed.
    if (current_ < 0) {
      current_ = -1;
      rt.speech.PlayBeep();
    } else if (current_ >= count()) {
      current_ = count();
      rt.speech.PlayBeep();
    }
  }
  rt.console.RestoreAttribute(text_attribute);
  rt.console.MagnifierHide();
  choice.position = current_ + 1;
  return choice;
}

void MenuList::Clear(Runtime& rt) const {
  const int first_row = static_cast<int>(std::max<int64_t>(box_.y1, 1));
  const int last_row = static_cast<int>(std::min<int64_t>(box_.y2, kRows));
  for (int row = first_row; row <= last_row; ++row) WriteBoxRow(rt, box_, row, {});
  rt.console.MoveCursor(std::clamp<int>(box_.x1, 1, kColumns), std::clamp<int>(box_.y1, 1, kRows));
}

// ---- MENU ------------------------------------------------------------------

namespace {

bool Create(Runtime& rt, std::string_view args) {
  MenuBox box;
  for (int* value : {&box.x1, &box.y1, &box.x2, &box.y2}) {
    int32_t n;
    if (!EvaluateInteger(rt, args, n)) return false;
    *value = n;
  }
  if (!TrimView(args).empty()) return false;
  rt.menu.emplace(box);
  return true;
}

bool Add(Runtime& rt, std::string_view args) {
  if (!rt.menu) return false;
  std::string text;
  if (!EvaluateValue(rt, args, text)) return false;
  if (!TrimView(args).empty()) return false;
  rt.menu->Add(std::move(text));
  return true;
}

bool Execute(Runtime& rt, std::string_view args) {
  const auto v = TakeVariable(rt, args);
  if (!v) return false;
  const auto w = TakeVariable(rt, args);
  if (!w) return false;
  const auto z = TakeVariable(rt, args);
  if (!z) return false;
  if (!TrimView(args).empty() || !rt.menu) return false;
  MenuList& menu = *rt.menu;
  auto& vars = rt.interp.variables;
  MenuChoice choice;
  for (;;) {
    // The item named by v; a text that is no number keeps the last start.
    if (const auto n = ToInteger(TrimView(vars.Slot(*v)))) menu.set_start_item(*n);
    choice = menu.Run(rt);
    // Other keys (Left, Right, Ctrl+F keys ...) start again at v's item.
    if (!choice.extended || IsFunctionKey(choice.key)) break;
  }
  const int64_t index = choice.position - 1;
  vars.Slot(*v) = DecimalText(choice.position);
  vars.Slot(*w) = MenuKeyText(choice.key, choice.extended);
  vars.Slot(*z) = index >= 0 && index < menu.count() ? menu.item(index) : std::string();
  return true;
}

bool Finish(Runtime& rt, std::string_view args) {
  if (!TrimView(args).empty()) return false;
  if (rt.menu) {
    rt.menu->Clear(rt);
    rt.menu.reset();
  }
  return true;
}

struct MenuSubcommand {
  std::string_view word;
  bool (*run)(Runtime&, std::string_view rest);
};

constexpr MenuSubcommand kMenuSubcommands[] = {
    {"CRIA", Create},
    {"ADICIONA", Add},
    {"TERMINA", Finish},
    {"EXECUTA", Execute},
};

}  // namespace

bool MenuCommand(Runtime& rt, std::string_view args) {
  for (const auto& sub : kMenuSubcommands) {
    if (StartsWithUpper(args, sub.word)) return sub.run(rt, args.substr(sub.word.size()));
  }
  return false;
}

}  // namespace morventa
