#include "platform/desktop_launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>

extern char** environ;

namespace morventa {

bool DesktopLauncher::Start(const std::string& program, const std::vector<std::string>& args) {
  ReapEnded();
  if (program.empty()) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // A program drawing on our terminal would spoil the console's grid.
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own session: the terminal's signals and our end do not reach it.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return false;
  started_.push_back(pid);
  return true;
}

bool DesktopLauncher::OpenWithDesktop(const std::string& target) { return Start("xdg-open", {target}); }

void DesktopLauncher::ReapEnded() {
  std::erase_if(started_, [](pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) != 0;
  });
}

}  // namespace morventa
