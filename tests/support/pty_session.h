// Runs a program of ours in a pseudo-terminal of a given size and follows its
// screen through a VtScreen. Every wait reads the program's output until a
// condition holds or a deadline passes; nothing sleeps.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/vt_screen.h"

namespace morventa::testing {

// The environment of a program of ours in the terminal: no display to open
// a window on, sound to nowhere, HOME and the configuration folder under
// home, and the speech transcript when a path is given.
std::map<std::string, std::string> TerminalEnvironment(const std::string& home,
                                                       const std::string& transcript = "");

class PtySession {
 public:
  static constexpr int kDeadlineMs = 30000;

  PtySession(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
             const std::string& cwd, int rows = 25, int columns = 80);
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  const VtScreen& screen() const { return screen_; }
  // Everything the program wrote so far, as raw bytes.
  const std::string& output() const { return output_; }

  // Reads output until done() holds; false when the deadline passed first or
  // the program ended without it holding.
  bool WaitUntil(const std::function<bool(const VtScreen&)>& done, int timeout_ms = kDeadlineMs);
  bool WaitForText(const std::string& utf8, int timeout_ms = kDeadlineMs);

  // Types bytes at the terminal's keyboard.
  void Send(const std::string& bytes);
  // Types keys in key notation (KeyBytes) and waits until the program waits
  // for the next key (the caret shows then and only then) with the screen in
  // the state asked for. When the screen was in that state already, the
  // caret hidden while the program worked tells the new wait from the old.
  bool Press(const std::string& keys, const std::function<bool(const VtScreen&)>& state,
             int timeout_ms = kDeadlineMs);
  void Signal(int sig);

  // Reads output until the program ends; its exit status, 128 + the signal
  // that killed it, or -1 when it was still running at the deadline.
  int WaitExit(int timeout_ms = kDeadlineMs);
  bool exited() const { return exited_; }

  // The terminal's modes as the program has set them (or left them), and as
  // they were before it started.
  termios Modes() const;
  const termios& initial_modes() const { return initial_modes_; }

 private:
  // Waits up to timeout_ms for output or the program's end and takes it in.
  void Pump(int timeout_ms);
  void Drain();

  int master_ = -1;
  int slave_ = -1;  // kept open so the terminal keeps its modes after the program ends
  int pidfd_ = -1;
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = -1;
  termios initial_modes_{};
  VtScreen screen_;
  std::string output_;
};

}  // namespace morventa::testing
