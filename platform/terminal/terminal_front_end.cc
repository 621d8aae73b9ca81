// The terminal front end: the 80 x 25 grid drawn at the top left of the
// user's terminal in raw mode. Output is collected and written once per pump;
// signals are only noted in their handlers and acted on in the event wait.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/terminal/fd_io.h"
#include "platform/terminal/key_decoder.h"
#include "platform/terminal/stream_front_ends.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// What a signal handler needs to put the terminal back; one terminal per process.
struct SavedTerminal {
  int fd = -1;
  termios mode;
  bool raw = false;
};
SavedTerminal g_saved;
int g_signal_pipe[2] = {-1, -1};
volatile sig_atomic_t g_resized = 0;
volatile sig_atomic_t g_close_signalled = 0;

// Resetting the scroll region homes the cursor, so it is saved around that:
// the shell's prompt must come where Close left the cursor, below the grid.
constexpr char kRestoreSequence[] =
    "\x1b[0m\x1b" "7\x1b[r\x1b" "8\x1b[?1006l\x1b[?1000l\x1b[>4;0m\x1b[?25h";

// Async-signal-safe: only tcsetattr and write.
void RestoreTerminal() {
  if (!g_saved.raw) return;
  g_saved.raw = false;
  tcsetattr(g_saved.fd, TCSAFLUSH, &g_saved.mode);
  ssize_t ignored = write(g_saved.fd, kRestoreSequence, sizeof kRestoreSequence - 1);
  (void)ignored;
}

void OnCloseSignal(int sig) {
  g_close_signalled = 1;
  const unsigned char byte = static_cast<unsigned char>(sig);
  ssize_t ignored = write(g_signal_pipe[1], &byte, 1);
  (void)ignored;
}

void OnResize(int) {
  g_resized = 1;
  const unsigned char byte = 0;
  ssize_t ignored = write(g_signal_pipe[1], &byte, 1);
  (void)ignored;
}

void OnFatalSignal(int sig) {
  RestoreTerminal();
  signal(sig, SIG_DFL);
  raise(sig);
}

void AppendNumber(std::string& out, int n) { out += std::to_string(n); }

// Bytes a terminal would obey instead of showing: C0 controls, DEL, and the
// five bytes Windows-1252 leaves undefined, which stand for C1 controls (the
// terminal would take 0x90 as the start of a device control string).
bool Showable(unsigned char c) {
  if (c < 32 || c == 127) return false;
  return CodePointFromAnsi(c) < 0x80 || CodePointFromAnsi(c) > 0x9F;
}

class TerminalFrontEnd : public ConsoleFrontEnd {
 public:
  TerminalFrontEnd() {
    in_fd_ = STDIN_FILENO;
    out_fd_ = STDOUT_FILENO;
    if (!isatty(in_fd_) || !isatty(out_fd_)) {
      own_fd_ = open("/dev/tty", O_RDWR | O_CLOEXEC);
      if (own_fd_ >= 0) in_fd_ = out_fd_ = own_fd_;
    }
  }

  ~TerminalFrontEnd() override {
    Close(false);
    if (own_fd_ >= 0) close(own_fd_);
  }

  void Open(const TextGrid& grid, const ColourMap& colours) override {
    grid_ = &grid;
    colours_ = &colours;
    EnterRawMode();
    QuerySize();
    full_repaint_ = true;
    out_ += "\x1b[?1000h\x1b[?1006h\x1b[>4;1m";
  }

  void DrawSpan(int row, int, int) override { dirty_[row] = true; }

  void Scrolled() override {
    ++pending_scrolls_;
    for (int r = 0; r < kRows - 1; ++r) dirty_[r] = dirty_[r + 1];
    dirty_[kRows - 1] = true;
  }

  void RepaintAll() override { full_repaint_ = true; }

  void CursorChanged(int column, int row, bool awaiting_key) override {
    cursor_column_ = column;
    cursor_row_ = row;
    awaiting_key_ = awaiting_key;
  }

  void SetTitle(std::string_view ansi_title) override {
    out_ += "\x1b]2;";
    for (unsigned char c : ansi_title)
      if (Showable(c)) out_ += AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(&c), 1));
    out_ += '\a';
  }

  void Beep() override { out_ += '\a'; }

  bool CloseSignalled() const override { return g_close_signalled != 0; }

  void WaitEvents(ConsoleEvents& sink, int timeout_ms) override {
    Render();
    pollfd fds[2] = {{in_fd_, POLLIN, 0}, {g_signal_pipe[0], POLLIN, 0}};
    // An Escape alone is told from the start of a sequence by a short pause.
    const int wait = decoder_.pending() ? 30 : timeout_ms;
    const int ready = poll(fds, 2, wait);
    if (ready == 0 && decoder_.pending()) decoder_.Flush(sink);
    if (ready <= 0) return;
    if (fds[1].revents & POLLIN) {
      unsigned char sigs[64];
      const ssize_t n = read(g_signal_pipe[0], sigs, sizeof sigs);
      for (ssize_t i = 0; i < n; ++i)
        if (sigs[i] != 0) sink.CloseRequested();
      if (g_resized) {
        g_resized = 0;
        QuerySize();
        sink.RepaintRequested();
      }
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      char buf[4096];
      const ssize_t n = read(in_fd_, buf, sizeof buf);
      if (n > 0) {
        decoder_.Feed(std::string_view(buf, static_cast<size_t>(n)), sink);
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        sink.CloseRequested();  // the terminal went away
      }
    }
  }

  void Close(bool) override {
    if (!grid_) return;
    Render();
    // Leave the final screen in view and put the shell prompt below it.
    out_ += "\x1b[0m\x1b[r\x1b[";
    AppendNumber(out_, std::min(kRows, term_rows_));
    out_ += ";1H\r\n";
    WriteAll(out_fd_, out_);
    out_.clear();
    RestoreTerminal();
    grid_ = nullptr;
  }

 private:
  void EnterRawMode() {
    if (tcgetattr(in_fd_, &g_saved.mode) != 0) return;
    g_saved.fd = in_fd_;
    termios raw = g_saved.mode;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    raw.c_cflag |= CS8;
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(in_fd_, TCSAFLUSH, &raw);
    g_saved.raw = true;
    if (g_signal_pipe[0] < 0 && pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
      g_signal_pipe[0] = g_signal_pipe[1] = -1;
    }
    std::atexit(RestoreTerminal);
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnCloseSignal;
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(sig, &sa, nullptr);
    sa.sa_handler = OnResize;
    sigaction(SIGWINCH, &sa, nullptr);
    sa.sa_handler = OnFatalSignal;
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(sig, &sa, nullptr);
  }

  void QuerySize() {
    winsize ws;
    if (ioctl(out_fd_, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
      term_rows_ = ws.ws_row;
      term_columns_ = ws.ws_col;
    }
  }

  void Colour(uint8_t attribute) {
    const Rgb fg = colours_->Colour(attribute & 15);
    const Rgb bg = colours_->Colour(attribute >> 4);
    out_ += "\x1b[38;2;";
    AppendNumber(out_, fg.r); out_ += ';'; AppendNumber(out_, fg.g); out_ += ';';
    AppendNumber(out_, fg.b);
    out_ += ";48;2;";
    AppendNumber(out_, bg.r); out_ += ';'; AppendNumber(out_, bg.g); out_ += ';';
    AppendNumber(out_, bg.b);
    out_ += 'm';
  }

  void DrawRow(int row) {
    if (row >= term_rows_) return;
    const int width = std::min(kColumns, term_columns_);
    out_ += "\x1b[";
    AppendNumber(out_, row + 1);
    out_ += ";1H";
    int last = -1;
    for (int col = 0; col < width; ++col) {
      const int at = row * kColumns + col;
      if (grid_->attrs[at] != last) {
        last = grid_->attrs[at];
        Colour(grid_->attrs[at]);
      }
      const unsigned char c = grid_->chars[at];
      if (!Showable(c)) {
        out_ += ' ';
      } else if (c < 128) {
        out_ += static_cast<char>(c);
      } else {
        out_ += AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(&c), 1));
      }
    }
    dirty_[row] = false;
  }

  void Render() {
    if (!grid_) return;
    const int shown_rows = std::min(kRows, term_rows_);
    if (pending_scrolls_ >= shown_rows || (pending_scrolls_ > 0 && term_rows_ < kRows)) {
      full_repaint_ = true;
    }
    if (full_repaint_) {
      out_ += "\x1b[0m\x1b[2J";
      for (int r = 0; r < kRows; ++r) DrawRow(r);
      full_repaint_ = false;
    } else {
      if (pending_scrolls_ > 0) {
        // Let the terminal move the rows; only the new ones are drawn.
        out_ += "\x1b[1;25r\x1b[25;1H";
        out_.append(static_cast<size_t>(pending_scrolls_), '\n');
        out_ += "\x1b[r";
      }
      for (int r = 0; r < kRows; ++r)
        if (dirty_[r]) DrawRow(r);
    }
    pending_scrolls_ = 0;
    out_ += "\x1b[";
    AppendNumber(out_, std::min(cursor_row_ + 1, term_rows_));
    out_ += ';';
    AppendNumber(out_, std::min(std::min(cursor_column_ + 1, kColumns), term_columns_));
    // As the console's caret: shown only while the program waits for a key,
    // so that whoever watches knows when typing is expected.
    out_ += awaiting_key_ ? "H\x1b[?25h" : "H\x1b[?25l";
    WriteAll(out_fd_, out_);
    out_.clear();
  }

  int in_fd_;
  int out_fd_;
  int own_fd_ = -1;
  const TextGrid* grid_ = nullptr;
  const ColourMap* colours_ = nullptr;
  KeyDecoder decoder_{true};
  std::string out_;
  bool dirty_[kRows] = {};
  bool full_repaint_ = true;
  int pending_scrolls_ = 0;
  int cursor_column_ = 0;
  int cursor_row_ = 0;
  bool awaiting_key_ = false;
  int term_rows_ = kRows;
  int term_columns_ = kColumns;
};

}  // namespace

std::unique_ptr<ConsoleFrontEnd> MakeTerminalFrontEnd() {
  return std::make_unique<TerminalFrontEnd>();
}

}  // namespace morventa
