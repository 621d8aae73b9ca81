#include "tests/support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace morventa::testing {
namespace {

int64_t NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// Modifier parameter of xterm sequences.
int ModParam(bool shift, bool alt, bool ctrl) { return 1 + (shift ? 1 : 0) + (alt ? 2 : 0) + (ctrl ? 4 : 0); }

std::string KeySequence(const std::string& spec) {
  bool shift = false, alt = false, ctrl = false;
  std::string name = spec;
  while (name.size() > 2 && name[1] == '-') {
    if (name[0] == 'C') ctrl = true;
    else if (name[0] == 'S') shift = true;
    else if (name[0] == 'A') alt = true;
    else break;
    name = name.substr(2);
  }
  const int mod = ModParam(shift, alt, ctrl);
  const bool modified = mod > 1;
  struct Tilde { const char* name; int code; };
  static const Tilde kTilde[] = {{"Ins", 2}, {"Del", 3}, {"PgUp", 5}, {"PgDn", 6},
                                 {"F5", 15}, {"F6", 17}, {"F7", 18}, {"F8", 19},
                                 {"F9", 20}, {"F10", 21}, {"F11", 23}, {"F12", 24}};
  for (const auto& t : kTilde) {
    if (name == t.name) {
      return "\x1b[" + std::to_string(t.code) + (modified ? ";" + std::to_string(mod) : "") + "~";
    }
  }
  struct Letter { const char* name; char final; };
  static const Letter kLetters[] = {{"Up", 'A'}, {"Down", 'B'}, {"Right", 'C'}, {"Left", 'D'},
                                    {"Home", 'H'}, {"End", 'F'}, {"F1", 'P'}, {"F2", 'Q'},
                                    {"F3", 'R'}, {"F4", 'S'}};
  for (const auto& l : kLetters) {
    if (name == l.name) {
      if (modified) return std::string("\x1b[1;") + std::to_string(mod) + l.final;
      const bool ss3 = l.final >= 'P';
      return std::string(ss3 ? "\x1bO" : "\x1b[") + l.final;
    }
  }
  if (name == "Enter") return modified ? "\x1b[27;" + std::to_string(mod) + ";13~" : "\r";
  if (name == "Esc") return "\x1b";
  if (name == "Tab") return "\t";
  if (name == "BS") return ctrl ? "\x08" : "\x7f";
  if (name == "lt") return "<";
  if (name.size() == 1) {
    const char c = name[0];
    if (ctrl && alt) return "\x1b[27;" + std::to_string(mod) + ";" + std::to_string(static_cast<int>(c)) + "~";
    if (ctrl) return std::string(1, static_cast<char>((c & 0x1F)));
    if (alt) return std::string("\x1b") + c;
  }
  throw std::runtime_error("unknown key <" + spec + ">");
}

}  // namespace

std::string KeyBytes(const std::string& notation) {
  std::string out;
  for (size_t i = 0; i < notation.size(); ++i) {
    const char c = notation[i];
    if (c == '\n' || c == '\r') continue;
    if (c == '<') {
      const size_t close = notation.find('>', i + 1);
      if (close != std::string::npos) {
        out += KeySequence(notation.substr(i + 1, close - i - 1));
        i = close;
        continue;
      }
    }
    out += c;
  }
  return out;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& input,
                         const std::map<std::string, std::string>& env, const std::string& cwd,
                         int timeout_seconds) {
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (pipe2(in_pipe, O_CLOEXEC) || pipe2(out_pipe, O_CLOEXEC) || pipe2(err_pipe, O_CLOEXEC))
    throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in_pipe[0], 0);
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  close(err_pipe[1]);
  signal(SIGPIPE, SIG_IGN);
  ProgramResult result;
  size_t written = 0;
  int in_fd = in_pipe[1];
  if (input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  const int64_t deadline = NowMs() + timeout_seconds * 1000LL;
  bool out_open = true, err_open = true;
  while (out_open || err_open) {
    pollfd fds[3] = {{out_open ? out_pipe[0] : -1, POLLIN, 0},
                     {err_open ? err_pipe[0] : -1, POLLIN, 0},
                     {in_fd, POLLOUT, 0}};
    const int64_t left = deadline - NowMs();
    if (left <= 0) {
      kill(pid, SIGKILL);
      result.err += "\n[killed: time-out]";
      break;
    }
    if (poll(fds, 3, static_cast<int>(left)) < 0) continue;
    char buf[8192];
    for (int k = 0; k < 2; ++k) {
      if (fds[k].revents & (POLLIN | POLLHUP)) {
        const ssize_t n = read(fds[k].fd, buf, sizeof buf);
        if (n > 0) (k == 0 ? result.out : result.err).append(buf, static_cast<size_t>(n));
        else (k == 0 ? out_open : err_open) = false;
      }
    }
    if (in_fd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = write(in_fd, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<size_t>(n);
      if (n <= 0 || written == input.size()) {
        close(in_fd);
        in_fd = -1;
      }
    }
  }
  if (in_fd >= 0) close(in_fd);
  close(out_pipe[0]);
  close(err_pipe[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/morventa-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  return pattern;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view contents) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace morventa::testing
