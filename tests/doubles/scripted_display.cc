#include "tests/doubles/scripted_display.h"

namespace morventa::testing {
namespace {

class Display : public ConsoleFrontEnd {
 public:
  explicit Display(std::shared_ptr<DisplayLog> log) : log_(std::move(log)) {}

  void Open(const TextGrid&, const ColourMap&) override { log_->opened = true; }
  void TextWritten(std::string_view ansi) override { log_->written += ansi; }
  void DrawSpan(int row, int first, int end) override { log_->spans.push_back({row, first, end}); }
  void Scrolled() override { ++log_->scrolls; }
  void RepaintAll() override { ++log_->repaints; }
  void CursorChanged(int column, int row, bool awaiting_key) override {
    log_->cursor_column = column;
    log_->cursor_row = row;
    log_->awaiting_key = awaiting_key;
  }
  void SetTitle(std::string_view ansi_title) override { log_->title = ansi_title; }
  void Beep() override { ++log_->beeps; }
  void Show(WindowShow how) override { log_->shows.push_back(how); }

  void WaitEvents(ConsoleEvents& sink, int timeout_ms) override {
    ++log_->waits;
    if (!log_->batches.empty()) {
      auto batch = std::move(log_->batches.front());
      log_->batches.pop_front();
      batch(sink);
    } else if (timeout_ms < 0) {
      sink.CloseRequested();
    }
  }

  Modifiers HeldModifiers() const override { return log_->held; }
  bool CloseSignalled() const override { return log_->close_signalled; }

  void Close(bool normal_end) override {
    log_->closed = true;
    log_->normal_end = normal_end;
  }

 private:
  std::shared_ptr<DisplayLog> log_;
};

}  // namespace

void DisplayLog::Type(const std::string& ansi) {
  for (unsigned char c : ansi) Then([c](ConsoleEvents& e) { e.CharTyped(c, {}); });
}

FrontEndFactory ScriptedDisplay(std::shared_ptr<DisplayLog> log) {
  return [log] { return std::make_unique<Display>(log); };
}

}  // namespace morventa::testing
