// The 80 x 25 console: grid, cursor, colours and key queue, independent of the
// front end that shows it. Created at its first use; closing it ends the program.
#pragma once

#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/clock.h"
#include "console/front_end.h"
#include "console/key_queue.h"
#include "console/tone_generator.h"
#include "platform/clipboard.h"

namespace morventa {

class Config;

// The magnifier strip's colours ([BAIXAVISAO] CORLETRA, CORFUNDO, CORCURSOR).
struct MagnifierColours {
  int letters = 14;
  int background = 6;
  int highlight = 3;
};

// Thrown when the user closes the console (window closed, terminal gone,
// input ended, Ctrl+Break): the program unwinds and ends at once.
struct ConsoleClosed {};

class ConsoleWindow : public ConsoleEvents {
 public:
  ConsoleWindow(const Config& config, FrontEndFactory make_front_end);
  ~ConsoleWindow() override;
  ConsoleWindow(const ConsoleWindow&) = delete;
  ConsoleWindow& operator=(const ConsoleWindow&) = delete;

  void EnsureConsole();
  bool created() const { return front_end_ != nullptr; }

  // Writing and the cursor (positions 1-based).
  void PutText(std::string_view bytes);
  void MoveCursor(int column, int row);
  int CursorColumn() const { return cursor_column_ + 1; }
  int CursorRow() const { return cursor_row_ + 1; }
  void ClearScreen();
  void ClearToLineEnd();
  void SetTextColour(int n);
  void SetBackColour(int n);
  uint8_t TextAttribute() const { return attribute_; }
  // Restores an attribute saved earlier (ignores the colours-fixed flag, which
  // only guards the script's colour changes).
  void RestoreAttribute(uint8_t attribute) { attribute_ = attribute; }
  unsigned char CellChar(int row, int column) const;
  uint8_t CellAttribute(int row, int column) const;
  const ColourMap& colour_map() const { return colour_map_; }
  bool colours_fixed() const { return colours_fixed_; }

  // Keys.
  bool KeyPending();
  uint8_t TakeKey();
  // Modifiers held when the byte last returned by TakeKey was typed.
  Modifiers LastKeyModifiers() const { return last_key_mods_; }
  Modifiers HeldModifiers() const;
  void DelayMs(int ms);
  // Waits for console events up to timeout_ms (for waits of other parts that
  // must keep the console alive).
  void WaitEvents(int timeout_ms);
  KeyQueue& key_queue() { return queue_; }

  // Work that finishes outside the program thread (sound blocks played by the
  // device) is noticed by hooks that run at every pump: KeyPending, DelayMs,
  // TakeKey's wait and WaitEvents. A hook may pump again; it must not add or
  // remove hooks while it runs. Returns the id that RemovePumpHook takes.
  int AddPumpHook(std::function<void()> hook);
  void RemovePumpHook(int id);

  // The program's standard text devices bound to the grid.
  void ConsoleOutput(std::string_view bytes);
  // Reads a line from the keys with a plain echo; returns it with CR LF.
  std::string BasicLineInput();

  // The clipboard, Windows-1252 text on our side. A text is cut at a NUL, as
  // a C string would end there; ClipboardGet gives at most max - 1
  // characters, nothing when the clipboard holds no text or cannot be read.
  void ClipboardPut(std::string_view ansi_text);
  std::string ClipboardGet(size_t max);
  // Replaces the clipboard the environment offers (before its first use).
  void set_clipboard(std::unique_ptr<Clipboard> clipboard) { clipboard_ = std::move(clipboard); }

  // The magnifier strip for low-vision users: factor 0 turns it off, 1 to 10
  // enlarge; a show puts a window of the text around a position on the strip
  // (the character before the position highlighted); hide gives the grid back.
  void MagnifierSet(int factor, const MagnifierColours& colours);
  void MagnifierShow(std::string_view ansi_text, int position);
  void MagnifierHide();
  int magnifier_factor() const { return magnifier_factor_; }

  // One picture over the text. A load replaces the picture only when the
  // file is a BMP the loader takes, and puts it at 0, 0; positions are window
  // pixels.
  bool PictureLoad(std::string_view ansi_file);
  void PictureShow(int x, int y);
  void PictureClear();
  const std::optional<Picture>& picture() const { return picture_; }

  // The looping tone (Braille mode signals), on its own sound output.
  void ToneOn(int frequency) { tone_.On(frequency); }
  void ToneOff() { tone_.Off(); }
  bool tone_playing() const { return tone_.playing(); }
  // Replaces the tone's output (before the first tone).
  void set_tone_output(ToneGenerator::OutputFactory make_output) {
    tone_.SetOutputFactory(std::move(make_output));
  }

  // Title, showing and hiding.
  void SetTitle(std::string_view ansi_title);
  const std::string& title() const { return title_; }
  void Show(WindowShow how);

  // Ends the program at once (throws ConsoleClosed).
  [[noreturn]] void CloseConsole();
  // A close asked for by a signal; cheap enough to test on every script line.
  bool close_requested() const;
  void RequestCloseFromSignal() { close_requested_ = 1; }
  // The normal end of the program, or an end after an error.
  void EndProgram(bool normal_end);

  // ConsoleEvents, called by the front end while it is pumped.
  void CharTyped(uint8_t ch, Modifiers mods) override;
  void KeyDown(SpecialKey key, Modifiers mods) override;
  void AltKeyDown(char key, Modifiers mods) override;
  void MouseDown(MouseButton button) override;
  void MouseWheel(int steps) override;
  void FocusChanged(bool focused, bool button_held) override;
  void CloseRequested() override;
  void RepaintRequested() override;

 private:
  void NewLine(int& left, int& right);
  void Pump(int timeout_ms);
  void NotifyCursor();
  Clipboard& TheClipboard();

  const Config& config_;
  FrontEndFactory make_front_end_;
  std::unique_ptr<ConsoleFrontEnd> front_end_;
  TextGrid grid_;
  ColourMap colour_map_;
  bool colours_fixed_ = false;
  uint8_t attribute_ = 0x0F;
  int cursor_column_ = 0;  // 0..80: may rest just beyond the last column
  int cursor_row_ = 0;
  KeyQueue queue_;
  Modifiers last_key_mods_;
  bool awaiting_key_ = false;
  bool swallow_next_click_ = false;
  std::string title_;
  volatile std::sig_atomic_t close_requested_ = 0;
  bool closing_ = false;
  std::unique_ptr<Clipboard> clipboard_;
  int magnifier_factor_ = 0;
  MagnifierColours magnifier_colours_;
  int magnifier_first_ = 1;  // first text index shown, kept between shows
  std::optional<Picture> picture_;
  ToneGenerator tone_{[] { return AudioOutputFromEnvironment("tom"); }};
  std::vector<std::pair<int, std::function<void()>>> pump_hooks_;
  int next_pump_hook_ = 0;
};

}  // namespace morventa
