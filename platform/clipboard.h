// The system clipboard behind one small interface. Text crosses it as UTF-8;
// the console converts to and from the Windows-1252 text of the system.
//
// Backends: the Wayland clipboard (wl-copy and wl-paste of wl-clipboard) when
// WAYLAND_DISPLAY names a compositor that answers, the X11 clipboard (xclip)
// when DISPLAY names an X server that answers, and otherwise a clipboard kept
// inside the process, so copy and paste still work between the line editor,
// TRANSFERE and screen review in a bare terminal.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace morventa {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's contents with a text; false when the clipboard
  // could not take it.
  virtual bool PutText(std::string_view utf8) = 0;
  // The clipboard's text; nothing when it holds no text or cannot be reached.
  virtual std::optional<std::string> GetText() = 0;
};

std::unique_ptr<Clipboard> MakeProcessClipboard();
// The CLIPBOARD selection of the X display named (empty: DISPLAY), served by
// xclip; the program must be on the PATH.
std::unique_ptr<Clipboard> MakeX11Clipboard(std::string display_name = {});
std::unique_ptr<Clipboard> MakeWaylandClipboard();

// True when something accepts connections at the display a DISPLAY value
// names (":0", "unix:0.0", "host:1", a socket path); the same for a
// WAYLAND_DISPLAY value (a name under XDG_RUNTIME_DIR or a path).
bool X11DisplayAnswers(std::string_view display);
bool WaylandDisplayAnswers(std::string_view display);

// The one place that picks the backend, from the environment.
std::unique_ptr<Clipboard> ClipboardFromEnvironment();

}  // namespace morventa
