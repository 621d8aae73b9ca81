#include "console/console_window.h"

#include <time.h>

#include <algorithm>
#include <cstring>

#include "console/config.h"
#include "console/picture.h"
#include "system/host_paths.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {40, 40, 40},    {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255}};

struct SpecialKeyCodes {
  SpecialKey key;
  uint8_t plain;
  uint8_t ctrl;
};

// Function and cursor keys: the code byte that follows the 0.
constexpr SpecialKeyCodes kSpecialKeys[] = {
    {SpecialKey::kF1, 59, 94},       {SpecialKey::kF2, 60, 95},
    {SpecialKey::kF3, 61, 96},       {SpecialKey::kF4, 62, 97},
    {SpecialKey::kF5, 63, 98},       {SpecialKey::kF6, 64, 99},
    {SpecialKey::kF7, 65, 100},      {SpecialKey::kF8, 66, 101},
    {SpecialKey::kF9, 67, 102},      {SpecialKey::kF10, 68, 103},
    {SpecialKey::kF11, 69, 104},     {SpecialKey::kF12, 70, 105},
    {SpecialKey::kInsert, 82, 255},  {SpecialKey::kDelete, 83, 83},
    {SpecialKey::kHome, 71, 119},    {SpecialKey::kEnd, 79, 117},
    {SpecialKey::kPageUp, 73, 132},  {SpecialKey::kPageDown, 81, 118},
    {SpecialKey::kUp, 72, 113},      {SpecialKey::kDown, 80, 114},
    {SpecialKey::kLeft, 75, 115},    {SpecialKey::kRight, 77, 116},
};

// Ctrl+Alt+letter codes, A to Z.
constexpr uint8_t kAltLetterCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                         36, 37, 38, 50, 49, 24, 25, 16, 19,
                                         31, 20, 22, 47, 17, 45, 21, 44};

}  // namespace

ColourMap::ColourMap() {
  for (int i = 0; i < 16; ++i) map_[i] = i;
}

Rgb ColourMap::Colour(int index) const { return Palette(map_[index & 15]); }

Rgb ColourMap::Palette(int entry) {
  if (entry < 0 || entry > 15) return kPalette[0];
  return kPalette[entry];
}

ConsoleWindow::ConsoleWindow(const Config& config, FrontEndFactory make_front_end)
    : config_(config), make_front_end_(std::move(make_front_end)) {
  std::memset(grid_.chars, ' ', sizeof grid_.chars);
  std::memset(grid_.attrs, attribute_, sizeof grid_.attrs);
}

ConsoleWindow::~ConsoleWindow() {
  if (front_end_) front_end_->Close(false);
}

void ConsoleWindow::EnsureConsole() {
  if (front_end_ || closing_) return;
  const VideoSettings video = config_.ReadVideo();
  for (int i = 0; i < 16; ++i) colour_map_.Set(i, video.colour_map[i]);
  colours_fixed_ = video.colours_fixed;
  attribute_ = video.initial_attribute;
  std::memset(grid_.chars, ' ', sizeof grid_.chars);
  std::memset(grid_.attrs, attribute_, sizeof grid_.attrs);
  cursor_column_ = cursor_row_ = 0;
  front_end_ = make_front_end_();
  front_end_->UseVideo(video);
  front_end_->Open(grid_, colour_map_);
  if (!title_.empty()) front_end_->SetTitle(title_);
  NotifyCursor();
}

void ConsoleWindow::NotifyCursor() {
  if (front_end_) front_end_->CursorChanged(cursor_column_, cursor_row_, awaiting_key_);
}

void ConsoleWindow::NewLine(int& left, int& right) {
  if (right > left) front_end_->DrawSpan(cursor_row_, left, right);
  if (cursor_row_ < kRows - 1) {
    ++cursor_row_;
  } else {
    std::memmove(grid_.chars, grid_.chars + kColumns, kColumns * (kRows - 1));
    std::memmove(grid_.attrs, grid_.attrs + kColumns, kColumns * (kRows - 1));
    std::memset(grid_.chars + kColumns * (kRows - 1), ' ', kColumns);
    std::memset(grid_.attrs + kColumns * (kRows - 1), attribute_, kColumns);
    front_end_->Scrolled();
  }
  left = right = cursor_column_;
}

void ConsoleWindow::PutText(std::string_view bytes) {
  EnsureConsole();
  if (!front_end_) return;
  if (colour_map_.Colour(attribute_ & 15) == colour_map_.Colour(attribute_ >> 4)) {
    // Text in the colour of its background cannot be seen (a password typed
    // black on black): a front end that follows the text as a stream gets
    // only the control characters, which move the cursor.
    std::string controls;
    for (char c : bytes) {
      if (static_cast<unsigned char>(c) < 32) controls += c;
    }
    front_end_->TextWritten(controls);
  } else {
    front_end_->TextWritten(bytes);
  }
  int left = cursor_column_;
  int right = cursor_column_;
  for (unsigned char c : bytes) {
    switch (c) {
      case 7:
        front_end_->Beep();
        break;
      case 8:
        if (cursor_column_ > 0) {
          --cursor_column_;
          const int at = cursor_row_ * kColumns + std::min(cursor_column_, kColumns - 1);
          grid_.chars[at] = ' ';
          grid_.attrs[at] = attribute_;
          left = std::min(left, cursor_column_);
          right = std::max(right, cursor_column_ + 1);
        }
        break;
      case 10:
        NewLine(left, right);
        cursor_column_ = 0;
        left = right = 0;
        break;
      case 13:
        cursor_column_ = 0;
        left = 0;
        right = std::max(right, 0);
        break;
      default:
        if (c < 32) break;
        if (cursor_column_ >= kColumns) {
          NewLine(left, right);
          cursor_column_ = 0;
          left = right = 0;
        }
        grid_.chars[cursor_row_ * kColumns + cursor_column_] = c;
        grid_.attrs[cursor_row_ * kColumns + cursor_column_] = attribute_;
        ++cursor_column_;
        right = std::max(right, cursor_column_);
        break;
    }
  }
  right = std::min(right, kColumns);
  if (right > left) front_end_->DrawSpan(cursor_row_, left, right);
  NotifyCursor();
}

void ConsoleWindow::MoveCursor(int column, int row) {
  EnsureConsole();
  cursor_column_ = std::clamp(column, 1, kColumns) - 1;
  cursor_row_ = std::clamp(row, 1, kRows) - 1;
  NotifyCursor();
}

void ConsoleWindow::ClearScreen() {
  EnsureConsole();
  std::memset(grid_.chars, ' ', sizeof grid_.chars);
  std::memset(grid_.attrs, attribute_, sizeof grid_.attrs);
  cursor_column_ = cursor_row_ = 0;
  if (front_end_) front_end_->RepaintAll();
  NotifyCursor();
}

void ConsoleWindow::ClearToLineEnd() {
  EnsureConsole();
  if (cursor_column_ >= kColumns) return;
  const int at = cursor_row_ * kColumns;
  std::memset(grid_.chars + at + cursor_column_, ' ', kColumns - cursor_column_);
  std::memset(grid_.attrs + at + cursor_column_, attribute_, kColumns - cursor_column_);
  if (front_end_) front_end_->DrawSpan(cursor_row_, cursor_column_, kColumns);
}

void ConsoleWindow::SetTextColour(int n) {
  EnsureConsole();
  if (colours_fixed_) return;
  attribute_ = static_cast<uint8_t>((attribute_ & 0xF0) | (n & 15));
}

void ConsoleWindow::SetBackColour(int n) {
  EnsureConsole();
  if (colours_fixed_) return;
  attribute_ = static_cast<uint8_t>((attribute_ & 0x0F) | ((n & 15) << 4));
}

unsigned char ConsoleWindow::CellChar(int row, int column) const {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return ' ';
  return grid_.chars[(row - 1) * kColumns + column - 1];
}

uint8_t ConsoleWindow::CellAttribute(int row, int column) const {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return 0;
  return grid_.attrs[(row - 1) * kColumns + column - 1];
}

bool ConsoleWindow::close_requested() const {
  return close_requested_ != 0 || (front_end_ && front_end_->CloseSignalled());
}

void ConsoleWindow::Pump(int timeout_ms) {
  EnsureConsole();
  if (close_requested()) CloseConsole();
  if (front_end_) front_end_->WaitEvents(*this, timeout_ms);
  for (size_t i = 0; i < pump_hooks_.size(); ++i) pump_hooks_[i].second();
  tone_.Pump();
  if (close_requested()) CloseConsole();
}

int ConsoleWindow::AddPumpHook(std::function<void()> hook) {
  pump_hooks_.emplace_back(++next_pump_hook_, std::move(hook));
  return next_pump_hook_;
}

void ConsoleWindow::RemovePumpHook(int id) {
  std::erase_if(pump_hooks_, [id](const auto& entry) { return entry.first == id; });
}

bool ConsoleWindow::KeyPending() {
  Pump(0);
  return !queue_.empty();
}

uint8_t ConsoleWindow::TakeKey() {
  EnsureConsole();
  if (queue_.empty()) {
    awaiting_key_ = true;
    NotifyCursor();
    while (queue_.empty()) {
      // With the console gone no key can come any more.
      if (!front_end_) CloseConsole();
      Pump(-1);
    }
    awaiting_key_ = false;
    NotifyCursor();
  }
  return queue_.Pop(&last_key_mods_);
}

Modifiers ConsoleWindow::HeldModifiers() const {
  return front_end_ ? front_end_->HeldModifiers() : Modifiers{};
}

void ConsoleWindow::DelayMs(int ms) {
  EnsureConsole();
  if (ms > 0) {
    // The sleep handles no events, but a signal to end cuts it short.
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    if (close_requested()) CloseConsole();
    while (nanosleep(&ts, &ts) != 0) {
      if (close_requested()) CloseConsole();
    }
  }
  Pump(0);
}

void ConsoleWindow::WaitEvents(int timeout_ms) { Pump(timeout_ms); }

void ConsoleWindow::ConsoleOutput(std::string_view bytes) {
  PutText(bytes);
  KeyPending();
}

std::string ConsoleWindow::BasicLineInput() {
  std::string line;
  for (;;) {
    const uint8_t key = TakeKey();
    if (key == 13) {
      PutText("\r\n");
      line += "\r\n";
      return line;
    }
    if (key == 8) {
      if (!line.empty()) {
        line.pop_back();
        PutText("\b");
      }
    } else if (key >= 32 && line.size() < 126) {
      line += static_cast<char>(key);
      PutText(std::string_view(reinterpret_cast<const char*>(&key), 1));
    }
  }
}

Clipboard& ConsoleWindow::TheClipboard() {
  if (!clipboard_) {
    EnsureConsole();
    if (front_end_) clipboard_ = front_end_->MakeClipboard();
    if (!clipboard_) clipboard_ = ClipboardFromEnvironment();
  }
  return *clipboard_;
}

void ConsoleWindow::ClipboardPut(std::string_view ansi_text) {
  ansi_text = ansi_text.substr(0, ansi_text.find('\0'));
  TheClipboard().PutText(AnsiToUtf8(ansi_text));
}

std::string ConsoleWindow::ClipboardGet(size_t max) {
  if (max == 0) return {};
  const std::optional<std::string> utf8 = TheClipboard().GetText();
  if (!utf8) return {};
  std::string text = BoundaryToAnsi(*utf8);
  text.resize(std::min(text.find('\0'), std::min(text.size(), max - 1)));
  return text;
}

void ConsoleWindow::MagnifierSet(int factor, const MagnifierColours& colours) {
  EnsureConsole();
  if (magnifier_factor_ != 0 && factor == 0 && front_end_) front_end_->HideMagnifier();
  magnifier_factor_ = std::clamp(factor, 0, 10);
  magnifier_colours_ = colours;
  magnifier_first_ = 1;
}

void ConsoleWindow::MagnifierShow(std::string_view ansi_text, int position) {
  if (magnifier_factor_ == 0) return;
  EnsureConsole();
  if (!front_end_) return;
  const int shown = kColumns / magnifier_factor_;
  const int p = std::max(position, 1);
  int& s = magnifier_first_;
  if (p - 1 < s) s = p - 1;
  s = std::max(s, 1);
  if (p > s + shown) s = p - shown;
  MagnifierView view;
  view.factor = magnifier_factor_;
  view.letter_colour = magnifier_colours_.letters;
  view.background_colour = magnifier_colours_.background;
  view.highlight_colour = magnifier_colours_.highlight;
  if (static_cast<size_t>(s - 1) < ansi_text.size()) view.text = ansi_text.substr(s - 1, shown);
  view.text.resize(shown, ' ');
  if (p > 1 && p - 1 >= s && p - 1 < s + shown) view.highlight = p - 1 - s;
  front_end_->ShowMagnifier(view);
}

void ConsoleWindow::MagnifierHide() {
  if (front_end_) front_end_->HideMagnifier();
}

bool ConsoleWindow::PictureLoad(std::string_view ansi_file) {
  EnsureConsole();
  Picture picture;
  if (!LoadBmpPicture(HostPath(ansi_file), &picture)) return false;
  picture_ = std::move(picture);
  if (front_end_) front_end_->ShowPicture(*picture_, 0, 0);
  return true;
}

void ConsoleWindow::PictureShow(int x, int y) {
  EnsureConsole();
  if (!picture_) return;
  if (front_end_) front_end_->ShowPicture(*picture_, x, y);
}

void ConsoleWindow::PictureClear() {
  EnsureConsole();
  if (!picture_) return;
  picture_.reset();
  if (front_end_) front_end_->ClearPicture();
  KeyPending();
}

void ConsoleWindow::SetTitle(std::string_view ansi_title) {
  title_ = ansi_title;
  EnsureConsole();
  if (front_end_) front_end_->SetTitle(title_);
}

void ConsoleWindow::Show(WindowShow how) {
  EnsureConsole();
  if (front_end_) front_end_->Show(how);
}

void ConsoleWindow::CloseConsole() {
  if (!closing_) {
    closing_ = true;
    queue_.Clear();
    if (front_end_) front_end_->Close(false);
    front_end_.reset();
  }
  throw ConsoleClosed{};
}

void ConsoleWindow::EndProgram(bool normal_end) {
  if (!front_end_) return;
  if (normal_end) SetTitle("Programa terminado");
  front_end_->Close(normal_end);
  front_end_.reset();
  closing_ = true;
}

void ConsoleWindow::CharTyped(uint8_t ch, Modifiers mods) {
  // A lone 0 would make the next key read as a function key's code.
  if (ch == 0) return;
  if (queue_.size() >= KeyQueue::kCapacity) return;
  if (ch == 8 && mods.ctrl) ch = 127;
  else if (ch == 13 && mods.ctrl) ch = 10;
  queue_.Push(ch, mods);
}

void ConsoleWindow::KeyDown(SpecialKey key, Modifiers mods) {
  if (key == SpecialKey::kCancel) {
    close_requested_ = 1;
    return;
  }
  // Alt alone makes these system keys, which type nothing; only Left and
  // Right come through (the line editor reads Alt+Right).
  if (mods.alt && !mods.ctrl && key != SpecialKey::kLeft && key != SpecialKey::kRight) return;
  if (queue_.size() > KeyQueue::kCapacity - 2) return;
  for (const auto& row : kSpecialKeys) {
    if (row.key != key) continue;
    uint8_t code = mods.ctrl ? row.ctrl : row.plain;
    if (key == SpecialKey::kInsert && mods.shift && !mods.ctrl) code = 254;
    queue_.PushExtended(code, mods);
    return;
  }
}

void ConsoleWindow::AltKeyDown(char key, Modifiers mods) {
  // Alt alone belongs to the system; Ctrl+Alt (AltGr included) gives key codes.
  if (!mods.ctrl) return;
  uint8_t code;
  if (key >= 'A' && key <= 'Z') {
    code = kAltLetterCodes[key - 'A'];
  } else if (key >= 'a' && key <= 'z') {
    code = kAltLetterCodes[key - 'a'];
  } else if (key >= '1' && key <= '9') {
    code = static_cast<uint8_t>(120 + key - '1');
  } else if (key == '0') {
    code = 129;
  } else {
    return;
  }
  queue_.PushExtended(code, mods);
}

void ConsoleWindow::MouseDown(MouseButton button) {
  if (swallow_next_click_) {
    swallow_next_click_ = false;
    return;
  }
  switch (button) {
    case MouseButton::kLeft:
      if (queue_.room() >= 1) queue_.Push(13);
      break;
    case MouseButton::kRight:
      if (queue_.room() >= 1) queue_.Push(27);
      break;
    case MouseButton::kMiddle:
      queue_.PushExtended(67);
      break;
  }
}

void ConsoleWindow::MouseWheel(int steps) {
  if (swallow_next_click_) {
    swallow_next_click_ = false;
    return;
  }
  if (steps > 0) queue_.PushExtended(72);
  if (steps < 0) queue_.PushExtended(80);
}

void ConsoleWindow::FocusChanged(bool focused, bool button_held) {
  swallow_next_click_ = focused && button_held;
}

void ConsoleWindow::CloseRequested() { close_requested_ = 1; }

void ConsoleWindow::RepaintRequested() {
  if (front_end_) front_end_->RepaintAll();
}

}  // namespace morventa
