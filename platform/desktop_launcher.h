// Starts programs for the user the way the desktop opens a file or a link:
// detached from the console, in a session of their own, with nothing of the
// console's terminal, and without waiting for them. Texts are UTF-8.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace morventa {

class DesktopLauncher {
 public:
  DesktopLauncher() = default;
  DesktopLauncher(const DesktopLauncher&) = delete;
  DesktopLauncher& operator=(const DesktopLauncher&) = delete;

  // Starts program (looked up on the PATH unless it holds a "/") with the
  // arguments, in the current directory. False when it could not be started.
  bool Start(const std::string& program, const std::vector<std::string>& args);
  // Opens a file or an address with the program the desktop associates with
  // it (xdg-open).
  bool OpenWithDesktop(const std::string& target);

 private:
  // Collects the programs started earlier that have ended since.
  void ReapEnded();

  std::vector<pid_t> started_;
};

}  // namespace morventa
