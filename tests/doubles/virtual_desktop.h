// A stand-in for the user's desktop: a virtual X server (Xvfb) on a free
// display, and the little a window manager would do there: windows with
// titles, one of them named in _NET_ACTIVE_WINDOW, frame extents around it,
// and the pointer put where a test wants it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morventa::testing {

// What a window shows, read back from the X server.
struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // How many pixels of the rectangle have the colour.
  int Count(int x, int y, int w, int h, uint32_t rgb) const;
};

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

  // The visible top-level window of a process (its _NET_WM_PID), waiting up
  // to timeout_ms for it to be mapped; 0 when none came.
  unsigned long WaitForWindowOf(pid_t pid, int timeout_ms);
  // Waits until the window's title (UTF-8) satisfies the test; false when
  // the time ran out or the window went away. The last title seen is left in
  // *title when given.
  bool WaitForTitle(unsigned long window, const std::function<bool(const std::string&)>& test,
                    int timeout_ms, std::string* title = nullptr);
  // Waits until what the window shows satisfies the test, looking again each
  // time the window is drawn on; false when the time ran out.
  bool WaitUntilShown(unsigned long window, const std::function<bool(const WindowImage&)>& test,
                      int timeout_ms);
  WindowImage Capture(unsigned long window);
  bool WindowExists(unsigned long window);

  // What a user does: give a window the keyboard, press keys ("a",
  // "ctrl+Return", "shift+Insert", "ccedilla": keysym names joined by "+";
  // the keyboard is a US one with a key for ç added),
  // click a mouse button (1 left, 2 middle, 3 right, 4 and 5 the wheel) at a
  // point of a window, and ask the window to close as its title bar's close
  // button does.
  void Focus(unsigned long window);
  void PressKeys(std::string_view combination);
  void Click(unsigned long window, int x, int y, int button);
  void CloseWindow(unsigned long window);
  // Waits until some program owns the CLIPBOARD selection.
  bool WaitForClipboardOwner(int timeout_ms);

 private:
  void* display_ = nullptr;  // Display*, kept out of this header
  std::string name_;
  pid_t server_ = -1;
};

}  // namespace morventa::testing
