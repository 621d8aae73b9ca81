#include "tests/support/pty_session.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/support/run_program.h"

namespace morventa::testing {

std::map<std::string, std::string> TerminalEnvironment(const std::string& home,
                                                       const std::string& transcript) {
  std::map<std::string, std::string> env = {{"MORVENTA_CONSOLE", "terminal"},
                                            {"MORVENTA_AUDIO", "null"},
                                            {"DISPLAY", ""},
                                            {"WAYLAND_DISPLAY", ""},
                                            {"HOME", home},
                                            {"XDG_CONFIG_HOME", home + "/config"}};
  if (!transcript.empty()) env["MORVENTA_TRANSCRIPT"] = transcript;
  return env;
}
namespace {

int64_t NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

}  // namespace

PtySession::PtySession(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                       const std::string& cwd, int rows, int columns)
    : screen_(rows, columns) {
  winsize size{};
  size.ws_row = static_cast<unsigned short>(rows);
  size.ws_col = static_cast<unsigned short>(columns);
  if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) throw std::runtime_error("openpty");
  fcntl(master_, F_SETFD, FD_CLOEXEC);
  fcntl(slave_, F_SETFD, FD_CLOEXEC);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  tcgetattr(slave_, &initial_modes_);
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    setsid();
    ioctl(slave_, TIOCSCTTY, 0);
    dup2(slave_, 0);
    dup2(slave_, 1);
    dup2(slave_, 2);
    for (int sig : {SIGPIPE, SIGTERM, SIGHUP, SIGINT, SIGQUIT}) signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    setenv("TERM", "xterm-256color", 1);
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
  if (pidfd_ < 0) throw std::runtime_error("pidfd_open");
}

PtySession::~PtySession() {
  if (!exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  close(pidfd_);
  close(master_);
  close(slave_);
}

void PtySession::Drain() {
  char buf[8192];
  for (;;) {
    const ssize_t n = read(master_, buf, sizeof buf);
    if (n > 0) {
      output_.append(buf, static_cast<size_t>(n));
      screen_.Feed(std::string_view(buf, static_cast<size_t>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return;
  }
}

void PtySession::Pump(int timeout_ms) {
  pollfd fds[2] = {{master_, POLLIN, 0}, {exited_ ? -1 : pidfd_, POLLIN, 0}};
  if (poll(fds, 2, timeout_ms) < 0) return;
  Drain();
  if (!exited_ && (fds[1].revents & POLLIN)) {
    int status = 0;
    waitpid(pid_, &status, 0);
    exited_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    Drain();  // what it wrote just before it ended
  }
}

bool PtySession::WaitUntil(const std::function<bool(const VtScreen&)>& done, int timeout_ms) {
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    if (done(screen_)) return true;
    const int64_t left = deadline - NowMs();
    if (left <= 0 || exited_) return false;
    Pump(static_cast<int>(left));
  }
}

bool PtySession::WaitForText(const std::string& utf8, int timeout_ms) {
  return WaitUntil([&utf8](const VtScreen& s) { return s.Contains(utf8); }, timeout_ms);
}

void PtySession::Send(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      Pump(100);  // the program is not reading yet: keep taking its output
    } else if (n < 0 && errno != EINTR) {
      throw std::runtime_error("write to the terminal");
    }
  }
}

bool PtySession::Press(const std::string& keys, const std::function<bool(const VtScreen&)>& state,
                       int timeout_ms) {
  const size_t from = output_.size();
  const bool already = state(screen_);
  Send(KeyBytes(keys));
  return WaitUntil(
      [&](const VtScreen& v) {
        const bool worked = !already || output_.find("\x1b[?25l", from) != std::string::npos;
        return worked && v.cursor_visible() && state(v);
      },
      timeout_ms);
}

void PtySession::Signal(int sig) {
  if (!exited_) kill(pid_, sig);
}

int PtySession::WaitExit(int timeout_ms) {
  const int64_t deadline = NowMs() + timeout_ms;
  while (!exited_) {
    const int64_t left = deadline - NowMs();
    if (left <= 0) return -1;
    Pump(static_cast<int>(left));
  }
  return status_;
}

termios PtySession::Modes() const {
  termios t{};
  tcgetattr(slave_, &t);
  return t;
}

}  // namespace morventa::testing
