#include "platform/clipboard.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace morventa {
namespace {

// A clipboard tool that does not answer within this time is given up on: the
// paste is empty, as when the clipboard cannot be opened.
constexpr int kToolTimeoutMs = 3000;
// More than any paste can use; a runaway owner is not read further.
constexpr size_t kMaxText = 16 * 1024 * 1024;

int64_t NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    if (access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// Writing to a tool that has already gone must not end the program with
// SIGPIPE: the signal is held while we write and dropped if it came.
class SigpipeHeld {
 public:
  SigpipeHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~SigpipeHeld() {
    sigset_t pending;
    sigpending(&pending);
    if (sigismember(&pending, SIGPIPE) && !sigismember(&old_, SIGPIPE)) {
      const timespec zero{0, 0};
      sigtimedwait(&pipe_, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t pipe_, old_;
};

struct ToolResult {
  bool exited = false;  // ended by itself within the time
  int status = -1;
  std::string out;
};

// Runs a clipboard tool with input on its standard input and, when capture is
// set, its standard output collected. Nothing else of ours reaches it: its
// other descriptors are closed and its error output goes nowhere. Tools that
// stay behind to serve the clipboard (xclip, wl-copy) fork away from the
// process we wait for.
ToolResult RunTool(const std::vector<std::string>& argv, std::string_view input, bool capture) {
  ToolResult result;
  int in_pipe[2], out_pipe[2] = {-1, -1};
  if (pipe2(in_pipe, O_CLOEXEC) != 0) return result;
  Fd in_read(in_pipe[0]), in_write(in_pipe[1]);
  if (capture && pipe2(out_pipe, O_CLOEXEC) != 0) return result;
  Fd out_read(out_pipe[0]), out_write(out_pipe[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_read.get(), 0);
  if (capture) {
    posix_spawn_file_actions_adddup2(&actions, out_write.get(), 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return result;
  in_read.Close();
  out_write.Close();
  Fd pidfd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));

  const int64_t deadline = NowMs() + kToolTimeoutMs;
  size_t written = 0;
  if (input.empty()) in_write.Close();
  fcntl(in_write.get(), F_SETFL, O_NONBLOCK);
  SigpipeHeld held;
  while (in_write.get() >= 0 || out_read.get() >= 0) {
    const int64_t left = deadline - NowMs();
    if (left <= 0) break;
    pollfd fds[2] = {{in_write.get(), POLLOUT, 0}, {out_read.get(), POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(left)) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents) {
      const ssize_t n = write(in_write.get(), input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<size_t>(n);
      if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size()) in_write.Close();
    }
    if (fds[1].revents) {
      char buf[8192];
      const ssize_t n = read(out_read.get(), buf, sizeof buf);
      if (n > 0 && result.out.size() < kMaxText) {
        result.out.append(buf, static_cast<size_t>(n));
      } else if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
        out_read.Close();
      }
    }
  }
  in_write.Close();
  out_read.Close();

  int status = 0;
  if (pidfd.get() >= 0) {
    const int64_t left = deadline - NowMs();
    pollfd pfd{pidfd.get(), POLLIN, 0};
    if (left > 0 && poll(&pfd, 1, static_cast<int>(left)) > 0) {
      result.exited = waitpid(pid, &status, 0) == pid;
    }
  } else {
    result.exited = waitpid(pid, &status, 0) == pid;
  }
  if (!result.exited) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return result;
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

class ProcessClipboard : public Clipboard {
 public:
  bool PutText(std::string_view utf8) override {
    text_ = std::string(utf8);
    return true;
  }
  std::optional<std::string> GetText() override { return text_; }

 private:
  std::optional<std::string> text_;
};

// A clipboard served by a pair of programs: one reads the new text on its
// standard input, the other writes the current text on its standard output.
class ToolClipboard : public Clipboard {
 public:
  ToolClipboard(std::vector<std::string> put, std::vector<std::string> get)
      : put_(std::move(put)), get_(std::move(get)) {}

  bool PutText(std::string_view utf8) override {
    const ToolResult r = RunTool(put_, utf8, false);
    return r.exited && r.status == 0;
  }

  std::optional<std::string> GetText() override {
    ToolResult r = RunTool(get_, {}, true);
    if (!r.exited || r.status != 0) return std::nullopt;
    return std::move(r.out);
  }

 private:
  std::vector<std::string> put_, get_;
};

bool ConnectUnix(const std::string& path, bool abstract) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path + offset, path.data(), path.size());
  const socklen_t len =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
  Fd s(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  return s.get() >= 0 && connect(s.get(), reinterpret_cast<sockaddr*>(&addr), len) == 0;
}

bool ConnectTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool ok = false;
  for (addrinfo* a = found; a && !ok; a = a->ai_next) {
    Fd s(socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
    if (s.get() < 0) continue;
    if (connect(s.get(), a->ai_addr, a->ai_addrlen) == 0) {
      ok = true;
    } else if (errno == EINPROGRESS) {
      pollfd pfd{s.get(), POLLOUT, 0};
      int error = 0;
      socklen_t len = sizeof error;
      ok = poll(&pfd, 1, 1000) == 1 &&
           getsockopt(s.get(), SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
    }
  }
  freeaddrinfo(found);
  return ok;
}

}  // namespace

std::unique_ptr<Clipboard> MakeProcessClipboard() { return std::make_unique<ProcessClipboard>(); }

std::unique_ptr<Clipboard> MakeX11Clipboard(std::string display_name) {
  std::vector<std::string> common = {"xclip", "-selection", "clipboard"};
  if (!display_name.empty()) {
    common.push_back("-display");
    common.push_back(display_name);
  }
  std::vector<std::string> put = common, get = common;
  put.push_back("-in");
  get.push_back("-out");
  return std::make_unique<ToolClipboard>(std::move(put), std::move(get));
}

std::unique_ptr<Clipboard> MakeWaylandClipboard() {
  return std::make_unique<ToolClipboard>(
      std::vector<std::string>{"wl-copy", "--type", "text/plain;charset=utf-8"},
      std::vector<std::string>{"wl-paste", "--no-newline", "--type", "text"});
}

bool X11DisplayAnswers(std::string_view display) {
  if (display.empty()) return false;
  if (display[0] == '/') return ConnectUnix(std::string(display.substr(0, display.rfind(':'))), false);
  const size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) return false;
  const std::string host(display.substr(0, colon));
  std::string_view rest = display.substr(colon + 1);
  int number = 0;
  size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && digits < 6) {
    number = number * 10 + (rest[digits] - '0');
    ++digits;
  }
  if (digits == 0) return false;
  if (host.empty() || host == "unix") {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    return ConnectUnix(path, true) || ConnectUnix(path, false);
  }
  return ConnectTcp(host, 6000 + number);
}

bool WaylandDisplayAnswers(std::string_view display) {
  if (display.empty()) return false;
  if (display[0] == '/') return ConnectUnix(std::string(display), false);
  const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime_dir || !*runtime_dir) return false;
  return ConnectUnix(std::string(runtime_dir) + "/" + std::string(display), false);
}

std::unique_ptr<Clipboard> ClipboardFromEnvironment() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland && WaylandDisplayAnswers(wayland) && OnPath("wl-copy") && OnPath("wl-paste"))
    return MakeWaylandClipboard();
  const char* x11 = std::getenv("DISPLAY");
  if (x11 && *x11 && X11DisplayAnswers(x11) && OnPath("xclip")) return MakeX11Clipboard();
  return MakeProcessClipboard();
}

}  // namespace morventa
