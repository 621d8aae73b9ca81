#include "tests/doubles/virtual_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "system/text_encoding.h"

extern char** environ;

namespace morventa::testing {
namespace {

Display* Dpy(void* d) { return static_cast<Display*>(d); }

// Xvfb writes the display number it chose, then a line end, once it accepts
// clients; it closes the pipe without a number when it cannot start.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 30000) <= 0) return {};
    char c;
    const ssize_t n = read(fd, &c, 1);
    if (n <= 0) return {};
    if (c == '\n') return number;
    number += c;
  }
}

}  // namespace

VirtualDesktop::VirtualDesktop() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  if (fds[1] == 3) {
    // dup2 onto itself would keep the close-on-exec flag.
    const int moved = fcntl(fds[1], F_DUPFD_CLOEXEC, 4);
    close(fds[1]);
    fds[1] = moved;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The write end reaches Xvfb as descriptor 3; nothing else of ours leaks.
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp",
                                   "-screen", "0", "1024x768x24"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int spawned = posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    server_ = -1;
    close(fds[0]);
    return;
  }
  const std::string number = ReadDisplayNumber(fds[0]);
  close(fds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
}

VirtualDesktop::~VirtualDesktop() {
  if (display_) XCloseDisplay(Dpy(display_));
  if (server_ > 0) {
    kill(server_, SIGTERM);
    int status;
    waitpid(server_, &status, 0);
  }
}

unsigned long VirtualDesktop::OpenWindow(std::string_view utf8_title, int x, int y, bool ewmh_name) {
  Display* d = Dpy(display_);
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, 200, 100, 0, 0, 0);
  if (ewmh_name) {
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False),
                    8, PropModeReplace, reinterpret_cast<const unsigned char*>(utf8_title.data()),
                    static_cast<int>(utf8_title.size()));
  } else {
    // Windows-1252 and Latin-1 agree on the accented letters a test uses.
    const std::string latin1 = Utf8ToAnsi(utf8_title);
    XChangeProperty(d, w, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(latin1.data()),
                    static_cast<int>(latin1.size()));
  }
  XMapWindow(d, w);
  XSync(d, False);
  return w;
}

void VirtualDesktop::SetFrameExtents(unsigned long window, int left, int top) {
  Display* d = Dpy(display_);
  const long extents[4] = {left, left, top, left};
  XChangeProperty(d, window, XInternAtom(d, "_NET_FRAME_EXTENTS", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(extents), 4);
  XSync(d, False);
}

void VirtualDesktop::Activate(unsigned long window) {
  Display* d = Dpy(display_);
  const long id = static_cast<long>(window);
  XChangeProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_ACTIVE_WINDOW", False), XA_WINDOW,
                  32, PropModeReplace, reinterpret_cast<const unsigned char*>(&id), 1);
  XSync(d, False);
}

void VirtualDesktop::MovePointer(int x, int y) {
  Display* d = Dpy(display_);
  XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, x, y);
  XSync(d, False);
}

}  // namespace morventa::testing
