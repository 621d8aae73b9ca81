// The desktop around the console: the window in front and the mouse pointer.
// Backed by X11 when a display is reachable; without one there is no window
// in front and the pointer reads as standing at 0, 0, so every command still
// runs in a bare terminal.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace morventa {

struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// Where the window in front lies on the screen, in pixels: the outer edges of
// its frame and the width of the frame's left border (what a window's client
// area is inset by).
struct WindowFrame {
  int left = 0;
  int top = 0;
  int border = 0;
};

class Desktop {
 public:
  // display_name: the X display to use; empty takes the DISPLAY variable.
  // Nothing is opened before the first question.
  explicit Desktop(std::string display_name = {});
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // Uses another display from now on (the connection is opened again).
  void UseDisplay(std::string display_name);
  // True when a display answered.
  bool Reachable();

  // Title of the window in front in Windows-1252, cut to max_chars; empty
  // when there is no display or no window in front.
  std::string ActiveWindowTitle(size_t max_chars);
  // The pointer in screen pixels; none without a display.
  std::optional<ScreenPoint> PointerPosition();
  // The window in front; none without a display or without such a window.
  std::optional<WindowFrame> ActiveWindowFrame();

 private:
  struct Connection;
  Connection* Connect();

  std::string display_name_;
  std::unique_ptr<Connection> connection_;
  bool tried_ = false;
};

}  // namespace morventa
