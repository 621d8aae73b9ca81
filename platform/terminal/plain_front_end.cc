// The plain front end: a stream of text out, keys in, nothing repositioned.
#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <string>

#include "platform/terminal/fd_io.h"
#include "platform/terminal/key_decoder.h"
#include "platform/terminal/stream_front_ends.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

class PlainFrontEnd : public ConsoleFrontEnd {
 public:
  void Open(const TextGrid&, const ColourMap&) override {}

  void TextWritten(std::string_view ansi) override {
    for (unsigned char c : ansi) {
      if (c == '\n') {
        out_ += '\n';
      } else if (c == 7) {
        out_ += '\a';
      } else if (c >= 32) {
        out_ += AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(&c), 1));
      }
    }
  }

  void DrawSpan(int, int, int) override {}
  void Scrolled() override {}
  void RepaintAll() override {}
  void CursorChanged(int, int, bool) override {}
  void SetTitle(std::string_view) override {}
  void Beep() override {}

  void WaitEvents(ConsoleEvents& sink, int timeout_ms) override {
    Flush();
    if (input_ended_) {
      // Nothing more will come: a wait for a key would never end.
      if (timeout_ms < 0) sink.CloseRequested();
      return;
    }
    pollfd pfd{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&pfd, 1, timeout_ms);
    if (ready <= 0) return;
    char buf[4096];
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n > 0) {
      decoder_.Feed(std::string_view(buf, static_cast<size_t>(n)), sink);
      // A pipe delivers whole sequences; anything left over is complete too.
      pollfd more{STDIN_FILENO, POLLIN, 0};
      if (poll(&more, 1, 0) <= 0) decoder_.Flush(sink);
      return;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    decoder_.Flush(sink);
    input_ended_ = true;
    if (timeout_ms < 0) sink.CloseRequested();
  }

  void Close(bool) override { Flush(); }

 private:
  void Flush() {
    if (out_.empty()) return;
    WriteAll(STDOUT_FILENO, out_);
    out_.clear();
  }

  KeyDecoder decoder_{false};
  std::string out_;
  bool input_ended_ = false;
};

}  // namespace

std::unique_ptr<ConsoleFrontEnd> MakePlainFrontEnd() { return std::make_unique<PlainFrontEnd>(); }

}  // namespace morventa
