#include "tests/doubles/virtual_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <optional>
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

int64_t NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// A window that goes away while we look at it is no reason to end the test
// program, which is what Xlib's own handler does.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The next event, waiting until the deadline; false when none came.
bool NextEvent(Display* d, XEvent* event, int64_t deadline) {
  while (!XPending(d)) {
    const int64_t left = deadline - NowMs();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left));
  }
  XNextEvent(d, event);
  return true;
}

std::optional<long> CardinalProperty(Display* d, Window w, const char* name) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::optional<long> value;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data && count == 1 && format == 32) {
    value = *reinterpret_cast<long*>(data);
  }
  if (data) XFree(data);
  return value;
}

std::string Utf8Title(Display* d, Window w) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 4096, False,
                         XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after,
                         &data) == Success && data) {
    title.assign(reinterpret_cast<char*>(data), count);
  }
  if (data) XFree(data);
  return title;
}

// Puts a key the keyboard lacks on a keycode nothing uses. Done before any
// program of ours connects: a client learns of a later change only through
// events that may come after the key itself.
void AddKey(Display* d, KeySym sym) {
  int min_code, max_code, per_code;
  XDisplayKeycodes(d, &min_code, &max_code);
  KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(min_code), max_code - min_code + 1, &per_code);
  KeyCode code = 0;
  for (int c = max_code; c >= min_code && code == 0; --c) {
    bool unused = true;
    for (int i = 0; i < per_code; ++i) unused = unused && map[(c - min_code) * per_code + i] == NoSymbol;
    if (unused) code = static_cast<KeyCode>(c);
  }
  XFree(map);
  if (code == 0) return;
  KeySym lower, upper;
  XConvertCase(sym, &lower, &upper);
  KeySym pair[2] = {lower, upper};
  XChangeKeyboardMapping(d, code, 2, pair, 1);
  XSync(d, False);
}

}  // namespace

int WindowImage::Count(int x, int y, int w, int h, uint32_t rgb) const {
  int n = 0;
  for (int row = std::max(y, 0); row < std::min(y + h, height); ++row)
    for (int col = std::max(x, 0); col < std::min(x + w, width); ++col)
      if (At(col, row) == rgb) ++n;
  return n;
}

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
  XSetErrorHandler(IgnoreXError);
  // The Portuguese letter a US keyboard lacks.
  if (display_) AddKey(Dpy(display_), XK_ccedilla);
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

unsigned long VirtualDesktop::WaitForWindowOf(pid_t pid, int timeout_ms) {
  Display* d = Dpy(display_);
  const Window root = DefaultRootWindow(d);
  XSelectInput(d, root, SubstructureNotifyMask);
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    Window parent, unused, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(d, root, &unused, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(d, children[i], &attrs) || attrs.map_state != IsViewable) continue;
        if (CardinalProperty(d, children[i], "_NET_WM_PID") == pid) found = children[i];
      }
      if (children) XFree(children);
    }
    if (found) return found;
    XEvent event;
    if (!NextEvent(d, &event, deadline)) return 0;
  }
}

bool VirtualDesktop::WaitForTitle(unsigned long window, const std::function<bool(const std::string&)>& test,
                                  int timeout_ms, std::string* title) {
  Display* d = Dpy(display_);
  XSelectInput(d, window, PropertyChangeMask | StructureNotifyMask);
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    const std::string now = Utf8Title(d, window);
    if (title) *title = now;
    if (test(now)) return true;
    XEvent event;
    do {
      if (!NextEvent(d, &event, deadline)) return false;
      if (event.type == DestroyNotify && event.xdestroywindow.window == window) return false;
    } while (event.type != PropertyNotify);
  }
}

bool VirtualDesktop::WaitUntilShown(unsigned long window, const std::function<bool(const WindowImage&)>& test,
                                    int timeout_ms) {
  Display* d = Dpy(display_);
  int event_base, error_base;
  if (!XDamageQueryExtension(d, &event_base, &error_base)) return test(Capture(window));
  const Damage damage = XDamageCreate(d, window, XDamageReportNonEmpty);
  const int64_t deadline = NowMs() + timeout_ms;
  bool shown = false;
  for (;;) {
    // Taken before looking, so a drawing made while we look is reported.
    XDamageSubtract(d, damage, None, None);
    XSync(d, False);
    if ((shown = test(Capture(window)))) break;
    XEvent event;
    bool drawn = false;
    while (!drawn && NextEvent(d, &event, deadline)) drawn = event.type == event_base + XDamageNotify;
    if (!drawn) break;
  }
  XDamageDestroy(d, damage);
  XSync(d, False);
  return shown;
}

WindowImage VirtualDesktop::Capture(unsigned long window) {
  Display* d = Dpy(display_);
  WindowImage image;
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(d, window, &attrs)) return image;
  XImage* x = XGetImage(d, window, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
  if (!x) return image;
  image.width = attrs.width;
  image.height = attrs.height;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y)
    for (int col = 0; col < image.width; ++col)
      image.pixels[static_cast<size_t>(y) * image.width + col] = XGetPixel(x, col, y) & 0xFFFFFF;
  XDestroyImage(x);
  return image;
}

bool VirtualDesktop::WindowExists(unsigned long window) {
  XWindowAttributes attrs;
  return XGetWindowAttributes(Dpy(display_), window, &attrs) != 0;
}

void VirtualDesktop::Focus(unsigned long window) {
  Display* d = Dpy(display_);
  XSetInputFocus(d, window, RevertToParent, CurrentTime);
  XSync(d, False);
}

void VirtualDesktop::PressKeys(std::string_view combination) {
  Display* d = Dpy(display_);
  std::vector<KeyCode> codes;
  size_t from = 0;
  while (from <= combination.size()) {
    size_t plus = combination.find('+', from);
    if (plus == std::string_view::npos) plus = combination.size();
    std::string name(combination.substr(from, plus - from));
    if (name == "ctrl") name = "Control_L";
    if (name == "alt") name = "Alt_L";
    if (name == "shift") name = "Shift_L";
    const KeySym sym = XStringToKeysym(name.c_str());
    KeyCode code = XKeysymToKeycode(d, sym);
    codes.push_back(code);
    from = plus + 1;
  }
  for (KeyCode c : codes) XTestFakeKeyEvent(d, c, True, CurrentTime);
  for (auto c = codes.rbegin(); c != codes.rend(); ++c) XTestFakeKeyEvent(d, *c, False, CurrentTime);
  XSync(d, False);
}

void VirtualDesktop::Click(unsigned long window, int x, int y, int button) {
  Display* d = Dpy(display_);
  int root_x, root_y;
  Window child;
  XTranslateCoordinates(d, window, DefaultRootWindow(d), x, y, &root_x, &root_y, &child);
  XTestFakeMotionEvent(d, -1, root_x, root_y, CurrentTime);
  XTestFakeButtonEvent(d, static_cast<unsigned>(button), True, CurrentTime);
  XTestFakeButtonEvent(d, static_cast<unsigned>(button), False, CurrentTime);
  XSync(d, False);
}

void VirtualDesktop::CloseWindow(unsigned long window) {
  Display* d = Dpy(display_);
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &event);
  XSync(d, False);
}

bool VirtualDesktop::WaitForClipboardOwner(int timeout_ms) {
  Display* d = Dpy(display_);
  const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  int event_base, error_base;
  if (XFixesQueryExtension(d, &event_base, &error_base)) {
    XFixesSelectSelectionInput(d, DefaultRootWindow(d), clipboard, XFixesSetSelectionOwnerNotifyMask);
  }
  const int64_t deadline = NowMs() + timeout_ms;
  XEvent event;
  while (XGetSelectionOwner(d, clipboard) == None) {
    if (!NextEvent(d, &event, deadline)) return false;
  }
  return true;
}

}  // namespace morventa::testing
