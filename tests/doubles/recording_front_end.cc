#include "tests/doubles/recording_front_end.h"

namespace morventa::testing {
namespace {

class Recorder : public ConsoleFrontEnd {
 public:
  explicit Recorder(std::shared_ptr<DisplayRecord> record) : record_(std::move(record)) {}

  void Open(const TextGrid&, const ColourMap&) override {}
  void TextWritten(std::string_view ansi) override { record_->text += ansi; }
  void DrawSpan(int, int, int) override {}
  void Scrolled() override {}
  void RepaintAll() override {}
  void CursorChanged(int, int, bool) override {}
  void SetTitle(std::string_view ansi_title) override { record_->title = ansi_title; }
  void Beep() override {}
  void Show(WindowShow how) override { record_->shows.push_back(how); }

  void WaitEvents(ConsoleEvents& sink, int timeout_ms) override {
    if (!record_->keys.empty()) {
      const auto c = static_cast<uint8_t>(record_->keys.front());
      record_->keys.erase(0, 1);
      sink.CharTyped(c, {});
    } else if (timeout_ms < 0) {
      sink.CloseRequested();
    }
  }

  void Close(bool) override {}

 private:
  std::shared_ptr<DisplayRecord> record_;
};

}  // namespace

FrontEndFactory RecordingFrontEnd(std::shared_ptr<DisplayRecord> record) {
  return [record] { return std::make_unique<Recorder>(record); };
}

}  // namespace morventa::testing
