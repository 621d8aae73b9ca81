#include "tests/doubles/paced_keyboard.h"

#include "platform/terminal/key_decoder.h"
#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

// Keeps each decoded event to replay it later.
class EventTape : public ConsoleEvents {
 public:
  explicit EventTape(PacedDisplay& display) : display_(display) {}
  void CharTyped(uint8_t ch, Modifiers mods) override {
    Add([=](ConsoleEvents& s) { s.CharTyped(ch, mods); });
  }
  void KeyDown(SpecialKey key, Modifiers mods) override {
    Add([=](ConsoleEvents& s) { s.KeyDown(key, mods); });
  }
  void AltKeyDown(char key, Modifiers mods) override {
    Add([=](ConsoleEvents& s) { s.AltKeyDown(key, mods); });
  }
  void MouseDown(MouseButton button) override {
    Add([=](ConsoleEvents& s) { s.MouseDown(button); });
  }
  void MouseWheel(int steps) override {
    Add([=](ConsoleEvents& s) { s.MouseWheel(steps); });
  }
  void FocusChanged(bool, bool) override {}
  void CloseRequested() override {}
  void RepaintRequested() override {}

 private:
  void Add(std::function<void(ConsoleEvents&)> event) { display_.keys.push_back(std::move(event)); }
  PacedDisplay& display_;
};

class PacedFrontEnd : public ConsoleFrontEnd {
 public:
  explicit PacedFrontEnd(std::shared_ptr<PacedDisplay> display) : display_(std::move(display)) {}

  void Open(const TextGrid&, const ColourMap&) override {}
  void TextWritten(std::string_view ansi) override { display_->text += ansi; }
  void DrawSpan(int, int, int) override {}
  void Scrolled() override {}
  void RepaintAll() override {}
  void CursorChanged(int, int, bool) override {}
  void SetTitle(std::string_view) override {}
  void Beep() override {}
  void ShowMagnifier(const MagnifierView& view) override { display_->magnifier.push_back(view); }
  void HideMagnifier() override { ++display_->magnifier_hides; }

  void WaitEvents(ConsoleEvents& sink, int timeout_ms) override {
    if (timeout_ms >= 0) return;  // only a wait for a key gets the next one
    if (display_->on_key_wait) display_->on_key_wait();
    if (display_->keys.empty()) {
      sink.CloseRequested();  // the user has nothing more to type
      return;
    }
    auto key = std::move(display_->keys.front());
    display_->keys.pop_front();
    ++display_->pressed;
    key(sink);
  }

  void Close(bool) override {}

 private:
  std::shared_ptr<PacedDisplay> display_;
};

}  // namespace

void PressLater(PacedDisplay& display, const std::string& notation) {
  EventTape tape(display);
  KeyDecoder decoder(false);
  decoder.Feed(KeyBytes(notation), tape);
  decoder.Flush(tape);
}

FrontEndFactory PacedKeyboard(std::shared_ptr<PacedDisplay> display) {
  return [display] { return std::make_unique<PacedFrontEnd>(display); };
}

}  // namespace morventa::testing
