// A stand-in for the user's desktop: a virtual X server (Xvfb) on a free
// display, and the little a window manager would do there: windows with
// titles, one of them named in _NET_ACTIVE_WINDOW, frame extents around it,
// and the pointer put where a test wants it.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace morventa::testing {

class VirtualDesktop {
 public:
  // Starts Xvfb; available() tells whether it came up (it may not be
  // installed). Nothing else works without it.
  VirtualDesktop();
  ~VirtualDesktop();
  VirtualDesktop(const VirtualDesktop&) = delete;
  VirtualDesktop& operator=(const VirtualDesktop&) = delete;

  bool available() const { return display_ != nullptr; }
  const std::string& display_name() const { return name_; }

  // A window of ours at (x, y) on the screen; it does not become active.
  // utf8_title goes into _NET_WM_NAME, or only into WM_NAME as Latin-1 when
  // ewmh_name is false (as older programs set it).
  unsigned long OpenWindow(std::string_view utf8_title, int x, int y, bool ewmh_name = true);
  // What a window manager would say: the frame around a window (left and
  // top border) and which window is active (0: none).
  void SetFrameExtents(unsigned long window, int left, int top);
  void Activate(unsigned long window);
  void MovePointer(int x, int y);

 private:
  void* display_ = nullptr;  // Display*, kept out of this header
  std::string name_;
  pid_t server_ = -1;
};

}  // namespace morventa::testing
