// The seam between the console core and whatever shows it: a terminal, a pipe,
// a window. The core owns the grid, cursor, colours and key queue; a front end
// draws what the core tells it and reports what the user does as ConsoleEvents.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clipboard.h"

namespace morventa {

struct VideoSettings;

constexpr int kColumns = 80;
constexpr int kRows = 25;

struct TextGrid {
  // Row-major, kColumns * kRows cells; characters are Windows-1252 bytes.
  unsigned char chars[kColumns * kRows];
  uint8_t attrs[kColumns * kRows];
};

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// Sixteen colour indexes drawn through a configurable map onto a fixed palette.
class ColourMap {
 public:
  ColourMap();
  // Entry i names the palette colour drawn for colour index i; above 15 is black.
  void Set(int index, int palette_entry) { map_[index & 15] = palette_entry; }
  int Entry(int index) const { return map_[index & 15]; }
  Rgb Colour(int index) const;
  static Rgb Palette(int entry);

 private:
  int map_[16];
};

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool operator==(const Modifiers&) const = default;
};

enum class SpecialKey {
  kF1, kF2, kF3, kF4, kF5, kF6, kF7, kF8, kF9, kF10, kF11, kF12,
  kInsert, kDelete, kHome, kEnd, kPageUp, kPageDown, kUp, kDown, kLeft, kRight,
  kCancel,  // Ctrl+Break
};

enum class MouseButton { kLeft, kRight, kMiddle };

// What a front end reports. The console core turns these into key bytes with
// its own tables and limits, so every front end yields the same bytes.
class ConsoleEvents {
 public:
  virtual ~ConsoleEvents() = default;
  // A character typed (the code of a Windows-1252 byte, control codes included:
  // 8 Backspace, 13 Enter, 27 Escape, 1..26 Ctrl+letter).
  virtual void CharTyped(uint8_t ch, Modifiers mods) = 0;
  // A function or cursor key went down.
  virtual void KeyDown(SpecialKey key, Modifiers mods) = 0;
  // A letter or digit key went down with Alt held ('A'..'Z', '0'..'9').
  virtual void AltKeyDown(char key, Modifiers mods) = 0;
  virtual void MouseDown(MouseButton button) = 0;
  // Wheel turned: positive away from the user, negative towards.
  virtual void MouseWheel(int steps) = 0;
  virtual void FocusChanged(bool focused, bool button_held) = 0;
  // The user closed the window or the terminal, or input ended.
  virtual void CloseRequested() = 0;
  // The whole grid must be drawn again (resize, expose).
  virtual void RepaintRequested() = 0;
};

enum class WindowShow { kHidden, kNormal };

// A picture shown over the text: 0xRRGGBB pixels, row by row from the top.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// One drawing of the magnifier strip: a few characters of a text enlarged
// over the top of the grid for low-vision users. Colours are indexes of the
// console's colour map.
struct MagnifierView {
  int factor = 1;  // 1..10: the strip shows 80 / factor characters
  int letter_colour = 14;
  int background_colour = 6;
  int highlight_colour = 3;
  std::string text;    // exactly 80 / factor Windows-1252 characters
  int highlight = -1;  // index in text of the character drawn highlighted, -1 none
};

class ConsoleFrontEnd {
 public:
  virtual ~ConsoleFrontEnd() = default;
  // The [VIDEO] settings, given just before Open, for front ends that choose
  // a font and a window size (a terminal keeps its own).
  virtual void UseVideo(const VideoSettings& /*video*/) {}
  // The console exists: show the grid for the first time.
  virtual void Open(const TextGrid& grid, const ColourMap& colours) = 0;
  // Bytes just placed on the grid by a write, exactly as written (control
  // characters included), for front ends that follow the text as a stream.
  // Text drawn in the colour of its background arrives as its control
  // characters alone: what cannot be seen is not told either.
  virtual void TextWritten(std::string_view /*ansi*/) {}
  // Cells [first_column, end_column) of a row changed (0-based).
  virtual void DrawSpan(int row, int first_column, int end_column) = 0;
  // The grid scrolled up one row (already done in the grid).
  virtual void Scrolled() = 0;
  // Everything changed.
  virtual void RepaintAll() = 0;
  // Where the cursor stands (0-based; column may be kColumns) and whether a
  // key is being awaited (the caret is shown then).
  virtual void CursorChanged(int column, int row, bool awaiting_key) = 0;
  virtual void SetTitle(std::string_view ansi_title) = 0;
  virtual void Beep() = 0;
  virtual void Show(WindowShow /*how*/) {}
  // The magnifier strip, for front ends that can draw it (a terminal cannot
  // enlarge text and leaves it undrawn). Hiding gives the grid back.
  virtual void ShowMagnifier(const MagnifierView& /*view*/) {}
  virtual void HideMagnifier() {}
  // One picture drawn over the text at (x, y) in window pixels until it is
  // cleared or replaced; a terminal cannot show it.
  virtual void ShowPicture(const Picture& /*picture*/, int /*x*/, int /*y*/) {}
  virtual void ClearPicture() {}
  // The clipboard as this front end reaches the desktop's; null leaves the
  // choice to the environment.
  virtual std::unique_ptr<Clipboard> MakeClipboard() { return nullptr; }
  // Pushes pending output, then reports events to the sink. Waits at most
  // timeout_ms for the first event (0: do not wait; -1: wait as long as it takes).
  virtual void WaitEvents(ConsoleEvents& sink, int timeout_ms) = 0;
  // Modifier keys held now, as far as the front end knows.
  virtual Modifiers HeldModifiers() const { return {}; }
  // True once a signal asked the process to end. Asked between script lines,
  // so a script that never waits still ends; it must be cheap.
  virtual bool CloseSignalled() const { return false; }
  // The program ends: normal_end says whether the script ended without error.
  // A window keeps showing "Programa terminado"; a terminal is restored.
  virtual void Close(bool normal_end) = 0;
};

using FrontEndFactory = std::function<std::unique_ptr<ConsoleFrontEnd>()>;

}  // namespace morventa
