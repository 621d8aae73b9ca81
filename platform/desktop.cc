#include "platform/desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>
#include <vector>

#include "system/text_encoding.h"

namespace morventa {
namespace {

// A window can vanish between two requests (the user closes it while we read
// its title); Xlib's default handler would end the program for that. Failed
// requests simply answer nothing here.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// One property of a window as raw bytes (8-bit formats) or longs (32-bit).
struct Property {
  Atom type = None;
  int format = 0;
  std::vector<unsigned char> bytes;
  std::vector<long> longs;
};

std::optional<Property> ReadProperty(Display* dpy, Window w, Atom name, Atom wanted_type,
                                     long max_longs) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy, w, name, 0, max_longs, False, wanted_type, &type, &format, &count,
                         &after, &data) != Success) {
    return std::nullopt;
  }
  if (type == None || !data) {
    if (data) XFree(data);
    return std::nullopt;
  }
  Property p;
  p.type = type;
  p.format = format;
  if (format == 8) {
    p.bytes.assign(data, data + count);
  } else if (format == 32) {
    // Xlib hands 32-bit items over as longs.
    const long* items = reinterpret_cast<const long*>(data);
    p.longs.assign(items, items + count);
  }
  XFree(data);
  return p;
}

}  // namespace

struct Desktop::Connection {
  explicit Connection(Display* d) : dpy(d) {
    net_active_window = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    net_frame_extents = XInternAtom(dpy, "_NET_FRAME_EXTENTS", False);
    utf8_string = XInternAtom(dpy, "UTF8_STRING", False);
  }
  ~Connection() { XCloseDisplay(dpy); }

  Window Root() const { return DefaultRootWindow(dpy); }

  // The window the window manager says is active; None when it says nothing.
  Window ActiveWindow() {
    auto p = ReadProperty(dpy, Root(), net_active_window, XA_WINDOW, 1);
    if (!p || p->format != 32 || p->longs.empty()) return None;
    return static_cast<Window>(p->longs[0]);
  }

  Display* dpy;
  Atom net_active_window, net_wm_name, net_frame_extents, utf8_string;
};

Desktop::Desktop(std::string display_name) : display_name_(std::move(display_name)) {}

Desktop::~Desktop() = default;

void Desktop::UseDisplay(std::string display_name) {
  connection_.reset();
  tried_ = false;
  display_name_ = std::move(display_name);
}

Desktop::Connection* Desktop::Connect() {
  if (!tried_) {
    // One try per display: a desktop that was not there at the first
    // question is not looked for again on every poll of a wait.
    tried_ = true;
    Display* dpy = XOpenDisplay(display_name_.empty() ? nullptr : display_name_.c_str());
    if (dpy) {
      XSetErrorHandler(IgnoreXError);
      connection_ = std::make_unique<Connection>(dpy);
    }
  }
  return connection_.get();
}

bool Desktop::Reachable() { return Connect() != nullptr; }

std::string Desktop::ActiveWindowTitle(size_t max_chars) {
  Connection* c = Connect();
  if (!c) return {};
  const Window w = c->ActiveWindow();
  if (w == None) return {};
  std::string title;
  // The EWMH name is UTF-8; older clients only set WM_NAME, mostly Latin-1.
  if (auto p = ReadProperty(c->dpy, w, c->net_wm_name, c->utf8_string, 1024); p && p->format == 8) {
    title = Utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(p->bytes.data()), p->bytes.size()));
  } else if (auto q = ReadProperty(c->dpy, w, XA_WM_NAME, AnyPropertyType, 1024); q && q->format == 8) {
    const std::string_view raw(reinterpret_cast<const char*>(q->bytes.data()), q->bytes.size());
    // Latin-1 and Windows-1252 share every printable byte.
    title = q->type == c->utf8_string ? Utf8ToAnsi(raw) : std::string(raw);
  }
  if (title.size() > max_chars) title.resize(max_chars);
  return title;
}

std::optional<ScreenPoint> Desktop::PointerPosition() {
  Connection* c = Connect();
  if (!c) return std::nullopt;
  Window root_return, child;
  int root_x = 0, root_y = 0, win_x = 0, win_y = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(c->dpy, c->Root(), &root_return, &child, &root_x, &root_y, &win_x, &win_y,
                     &mask)) {
    // The pointer is on another screen: where it stands there is no
    // position on ours.
    return ScreenPoint{};
  }
  return ScreenPoint{root_x, root_y};
}

std::optional<WindowFrame> Desktop::ActiveWindowFrame() {
  Connection* c = Connect();
  if (!c) return std::nullopt;
  const Window w = c->ActiveWindow();
  if (w == None) return std::nullopt;
  int x = 0, y = 0;
  Window child;
  if (!XTranslateCoordinates(c->dpy, w, c->Root(), 0, 0, &x, &y, &child)) return std::nullopt;
  // x, y is the window's own top-left corner; the window manager's frame
  // (left, right, top, bottom) lies around it.
  int left = 0, top = 0;
  if (auto p = ReadProperty(c->dpy, w, c->net_frame_extents, XA_CARDINAL, 4);
      p && p->format == 32 && p->longs.size() == 4) {
    left = static_cast<int>(p->longs[0]);
    top = static_cast<int>(p->longs[2]);
  }
  return WindowFrame{x - left, y - top, left};
}

}  // namespace morventa
