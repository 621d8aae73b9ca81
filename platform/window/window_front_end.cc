// The window front end. The grid is drawn into a text image of our own as the
// console changes it; each pump composes the changed part of that image with
// the picture, the magnifier strip and the caret onto the window and sends
// only that part to the display. Signals are noted in their handlers and
// acted on between events.
#include "platform/window/window_front_end.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "console/config.h"
#include "platform/clipboard.h"
#include "platform/window/console_font.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

volatile sig_atomic_t g_close_signalled = 0;

void OnCloseSignal(int) { g_close_signalled = 1; }

// Xlib's own handler ends the program, with status 1, at any protocol error,
// such as a request that names a window the server has just destroyed while
// the window closes. None of ours is worth ending a script for.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// How often a wait looks up from SDL's event queue for a signal to end.
constexpr int kSignalCheckMs = 200;

struct KeyRow {
  SDL_Keycode sym;
  SpecialKey key;
};

constexpr KeyRow kSpecialKeys[] = {
    {SDLK_F1, SpecialKey::kF1},         {SDLK_F2, SpecialKey::kF2},
    {SDLK_F3, SpecialKey::kF3},         {SDLK_F4, SpecialKey::kF4},
    {SDLK_F5, SpecialKey::kF5},         {SDLK_F6, SpecialKey::kF6},
    {SDLK_F7, SpecialKey::kF7},         {SDLK_F8, SpecialKey::kF8},
    {SDLK_F9, SpecialKey::kF9},         {SDLK_F10, SpecialKey::kF10},
    {SDLK_F11, SpecialKey::kF11},       {SDLK_F12, SpecialKey::kF12},
    {SDLK_INSERT, SpecialKey::kInsert}, {SDLK_DELETE, SpecialKey::kDelete},
    {SDLK_HOME, SpecialKey::kHome},     {SDLK_END, SpecialKey::kEnd},
    {SDLK_PAGEUP, SpecialKey::kPageUp}, {SDLK_PAGEDOWN, SpecialKey::kPageDown},
    {SDLK_UP, SpecialKey::kUp},         {SDLK_DOWN, SpecialKey::kDown},
    {SDLK_LEFT, SpecialKey::kLeft},     {SDLK_RIGHT, SpecialKey::kRight},
};

// The keypad's keys when Num Lock is off.
constexpr KeyRow kKeypadKeys[] = {
    {SDLK_KP_0, SpecialKey::kInsert}, {SDLK_KP_PERIOD, SpecialKey::kDelete},
    {SDLK_KP_7, SpecialKey::kHome},   {SDLK_KP_1, SpecialKey::kEnd},
    {SDLK_KP_9, SpecialKey::kPageUp}, {SDLK_KP_3, SpecialKey::kPageDown},
    {SDLK_KP_8, SpecialKey::kUp},     {SDLK_KP_2, SpecialKey::kDown},
    {SDLK_KP_4, SpecialKey::kLeft},   {SDLK_KP_6, SpecialKey::kRight},
};

std::optional<SpecialKey> FindKey(const KeyRow* rows, size_t count, SDL_Keycode sym) {
  for (size_t i = 0; i < count; ++i)
    if (rows[i].sym == sym) return rows[i].key;
  return std::nullopt;
}

SDL_Rect Unite(const SDL_Rect& a, const SDL_Rect& b) {
  SDL_Rect r;
  SDL_UnionRect(&a, &b, &r);
  return r;
}

std::string ExecutablePath() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("morventa-light");
}

class SdlClipboard : public Clipboard {
 public:
  bool PutText(std::string_view utf8) override {
    return SDL_SetClipboardText(std::string(utf8).c_str()) == 0;
  }
  std::optional<std::string> GetText() override {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (!text) return std::nullopt;
    std::string out = text;
    SDL_free(text);
    return out;
  }
};

class WindowFrontEnd : public ConsoleFrontEnd {
 public:
  ~WindowFrontEnd() override {
    Destroy();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // Leaving, SDL gives Xlib its first handler back; errors of requests
    // still on their way must not turn a normal end into a failure.
    XSetErrorHandler(IgnoreXError);
  }

  void UseVideo(const VideoSettings& video) override { video_ = video; }

  void Open(const TextGrid& grid, const ColourMap& colours) override {
    grid_ = &grid;
    colours_ = &colours;
    SDL_Rect work{0, 0, 1024, 734};
    if (SDL_GetDisplayUsableBounds(0, &work) != 0) work = {0, 0, 1024, 734};
    // Without sizes in the configuration the letters grow with the desktop,
    // so that 80 x 25 cells fill about the same part of any screen.
    font_request_.face_utf8 = AnsiToUtf8(video_.font_face);
    font_request_.weight = video_.letter_weight;
    font_request_.letter_width = video_.letter_width > 0 ? video_.letter_width : std::max(1, work.w * 13 / 1024);
    font_request_.letter_height = video_.letter_height > 0 ? video_.letter_height : std::max(1, work.h * 28 / 734);
    font_ = ConsoleFont::Open(font_request_);
    if (!font_) {
      std::fprintf(stderr, "morventa: nenhuma fonte pôde ser aberta para a janela do console\n");
      failed_ = true;
      return;
    }
    cell_w_ = font_->cell_width();
    cell_h_ = font_->cell_height();
    const int width = kColumns * cell_w_;
    const int height = kRows * cell_h_;
    Uint32 flags = SDL_WINDOW_RESIZABLE;
    if (!video_.normal_size) flags |= SDL_WINDOW_MAXIMIZED;
    window_ = SDL_CreateWindow(ExecutablePath().c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               width, height, flags);
    if (!window_) {
      std::fprintf(stderr, "morventa: a janela do console não pôde ser criada: %s\n", SDL_GetError());
      failed_ = true;
      return;
    }
    // The window never grows beyond the grid; a maximised window is the grid.
    SDL_Rect screen{0, 0, width, height};
    SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &screen);
    SDL_SetWindowMaximumSize(window_, std::min(width, screen.w), std::min(height, screen.h));
    SDL_SetWindowMinimumSize(window_, 16 * cell_w_, 4 * cell_h_);
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    text_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32,
                                           surface ? surface->format->format : Uint32{SDL_PIXELFORMAT_RGB888});
    full_repaint_ = true;
    MarkAll();
    Present();
  }

  void DrawSpan(int row, int first_column, int end_column) override {
    if (!text_) return;
    DrawCells(row, first_column, end_column);
    Mark({first_column * cell_w_, row * cell_h_, (end_column - first_column) * cell_w_, cell_h_});
  }

  void Scrolled() override {
    if (!text_) return;
    if (video_.fast_scroll && !full_repaint_) {
      // Move the pixels of rows 2-25 up one row instead of drawing 2,000 cells.
      auto* pixels = static_cast<uint8_t*>(text_->pixels);
      const size_t row_bytes = static_cast<size_t>(text_->pitch) * cell_h_;
      std::memmove(pixels, pixels + row_bytes, row_bytes * (kRows - 1));
      DrawCells(kRows - 1, 0, kColumns);
    } else {
      full_repaint_ = true;
    }
    MarkAll();
  }

  void RepaintAll() override {
    full_repaint_ = true;
    MarkAll();
  }

  void CursorChanged(int column, int row, bool awaiting_key) override {
    if (column == caret_column_ && row == caret_row_ && awaiting_key == awaiting_key_) return;
    MarkCaret();
    caret_column_ = column;
    caret_row_ = row;
    awaiting_key_ = awaiting_key;
    MarkCaret();
  }

  void SetTitle(std::string_view ansi_title) override {
    if (!window_) return;
    // What was drawn before a title change is on the screen when the new
    // title is: whoever watches the title sees the text it announces.
    Present();
    SDL_SetWindowTitle(window_, AnsiToUtf8(ansi_title).c_str());
  }

  void Beep() override {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window_ && SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
      XBell(info.info.x11.display, 0);
      XFlush(info.info.x11.display);
    }
  }

  void Show(WindowShow how) override {
    if (!window_) return;
    if (how == WindowShow::kHidden) {
      SDL_HideWindow(window_);
    } else {
      SDL_ShowWindow(window_);
      SDL_RestoreWindow(window_);
      SDL_RaiseWindow(window_);
    }
  }

  void ShowMagnifier(const MagnifierView& view) override {
    if (!window_) return;
    if (!magnifier_font_ || magnifier_factor_ != view.factor) {
      FontRequest request = font_request_;
      request.letter_width *= view.factor;
      request.letter_height *= view.factor;
      magnifier_font_ = ConsoleFont::Open(request);
      magnifier_factor_ = view.factor;
      if (!magnifier_font_) return;
    }
    const int w = magnifier_font_->cell_width();
    const int h = magnifier_font_->cell_height();
    HideMagnifier();
    strip_ = SDL_CreateRGBSurfaceWithFormat(0, std::max<int>(1, view.text.size() * w), h, 32,
                                            text_->format->format);
    if (!strip_) return;
    SDL_FillRect(strip_, nullptr, MapColour(strip_, view.background_colour));
    for (size_t i = 0; i < view.text.size(); ++i) {
      const int colour = static_cast<int>(i) == view.highlight ? view.highlight_colour : view.letter_colour;
      DrawGlyph(*magnifier_font_, strip_, static_cast<unsigned char>(view.text[i]), colour,
                static_cast<int>(i) * w, 0, w, h);
    }
    Mark({0, 0, strip_->w, strip_->h});
  }

  void HideMagnifier() override {
    if (!strip_) return;
    Mark({0, 0, strip_->w, strip_->h});
    SDL_FreeSurface(strip_);
    strip_ = nullptr;
  }

  void ShowPicture(const Picture& picture, int x, int y) override {
    if (!text_) return;
    ClearPicture();
    picture_ = SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 32, SDL_PIXELFORMAT_RGB888);
    if (!picture_) return;
    for (int row = 0; row < picture.height; ++row) {
      std::memcpy(static_cast<uint8_t*>(picture_->pixels) + static_cast<size_t>(row) * picture_->pitch,
                  picture.pixels.data() + static_cast<size_t>(row) * picture.width, picture.width * 4u);
    }
    picture_at_ = {x, y, picture.width, picture.height};
    Mark(picture_at_);
  }

  void ClearPicture() override {
    if (!picture_) return;
    Mark(picture_at_);
    SDL_FreeSurface(picture_);
    picture_ = nullptr;
  }

  std::unique_ptr<Clipboard> MakeClipboard() override { return std::make_unique<SdlClipboard>(); }

  void WaitEvents(ConsoleEvents& sink, int timeout_ms) override {
    if (failed_) {
      sink.CloseRequested();
      return;
    }
    Present();
    SDL_Event event;
    bool got = false;
    if (timeout_ms == 0) {
      got = SDL_PollEvent(&event);
    } else {
      const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(timeout_ms);
      for (;;) {
        if (g_close_signalled) return;
        int step = kSignalCheckMs;
        if (timeout_ms > 0) {
          const Uint64 now = SDL_GetTicks64();
          if (now >= deadline) break;
          step = static_cast<int>(std::min<Uint64>(deadline - now, kSignalCheckMs));
        }
        if ((got = SDL_WaitEventTimeout(&event, step))) break;
      }
    }
    // Everything that waited is handled now; the console keeps what fits in
    // its queue.
    while (got) {
      Handle(event, sink);
      got = SDL_PollEvent(&event);
    }
    Present();
  }

  Modifiers HeldModifiers() const override {
    const SDL_Keymod m = SDL_GetModState();
    return {(m & KMOD_SHIFT) != 0, (m & KMOD_CTRL) != 0, (m & KMOD_ALT) != 0};
  }

  bool CloseSignalled() const override { return g_close_signalled != 0; }

  void Close(bool normal_end) override {
    if (!window_) return;
    if (normal_end) {
      // The last screen stays for the user to read; closing the window ends.
      awaiting_key_ = false;
      MarkAll();
      Present();
      SDL_Event event;
      while (!g_close_signalled) {
        if (!SDL_WaitEventTimeout(&event, kSignalCheckMs)) continue;
        if (event.type == SDL_QUIT) break;
        if (event.type != SDL_WINDOWEVENT) continue;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) break;
        MarkAll();
        Present();
      }
    }
    Destroy();
  }

 private:
  void Destroy() {
    SDL_FreeSurface(strip_);
    SDL_FreeSurface(picture_);
    SDL_FreeSurface(text_);
    strip_ = picture_ = text_ = nullptr;
    magnifier_font_.reset();
    font_.reset();
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
  }

  Uint32 MapColour(SDL_Surface* surface, int index) const {
    const Rgb c = colours_->Colour(index);
    return SDL_MapRGB(surface->format, c.r, c.g, c.b);
  }

  void DrawGlyph(ConsoleFont& font, SDL_Surface* target, unsigned char c, int colour, int x, int y, int w,
                 int h) {
    SDL_Surface* glyph = font.Glyph(c);
    if (!glyph) return;
    const Rgb fg = colours_->Colour(colour);
    SDL_SetSurfaceColorMod(glyph, fg.r, fg.g, fg.b);
    SDL_Rect from{0, 0, std::min(glyph->w, w), std::min(glyph->h, h)};
    SDL_Rect to{x, y, from.w, from.h};
    SDL_BlitSurface(glyph, &from, target, &to);
  }

  // Cells of one row drawn in runs of one attribute: the background of a run
  // in one fill, then its letters.
  void DrawCells(int row, int first, int end) {
    first = std::max(first, 0);
    end = std::min(end, kColumns);
    int col = first;
    while (col < end) {
      const uint8_t attr = grid_->attrs[row * kColumns + col];
      int run_end = col + 1;
      while (run_end < end && grid_->attrs[row * kColumns + run_end] == attr) ++run_end;
      SDL_Rect run{col * cell_w_, row * cell_h_, (run_end - col) * cell_w_, cell_h_};
      SDL_FillRect(text_, &run, MapColour(text_, attr >> 4));
      for (int c = col; c < run_end; ++c) {
        DrawGlyph(*font_, text_, grid_->chars[row * kColumns + c], attr & 15, c * cell_w_, row * cell_h_,
                  cell_w_, cell_h_);
      }
      col = run_end;
    }
  }

  void Mark(const SDL_Rect& r) {
    if (r.w <= 0 || r.h <= 0) return;
    dirty_ = has_dirty_ ? Unite(dirty_, r) : r;
    has_dirty_ = true;
  }

  void MarkAll() { Mark({0, 0, INT_MAX / 2, INT_MAX / 2}); }

  SDL_Rect CaretRect() const {
    return {caret_column_ * cell_w_, caret_row_ * cell_h_ + font_->ascent(), cell_w_, 2};
  }

  void MarkCaret() {
    if (font_ && awaiting_key_ && focused_) Mark(CaretRect());
  }

  void Present() {
    if (!window_ || !text_) return;
    if (full_repaint_) {
      for (int row = 0; row < kRows; ++row) DrawCells(row, 0, kColumns);
      full_repaint_ = false;
    }
    if (!has_dirty_) return;
    has_dirty_ = false;
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (!screen) return;
    const SDL_Rect whole{0, 0, screen->w, screen->h};
    SDL_Rect area;
    if (!SDL_IntersectRect(&dirty_, &whole, &area)) return;
    if (area.x + area.w > text_->w || area.y + area.h > text_->h) SDL_FillRect(screen, &area, 0);
    SDL_Rect to = area;
    SDL_BlitSurface(text_, &area, screen, &to);
    // The overlays, in the order they lie over the text.
    SDL_SetClipRect(screen, &area);
    if (picture_) {
      SDL_Rect at = picture_at_;
      SDL_BlitSurface(picture_, nullptr, screen, &at);
    }
    if (strip_) {
      SDL_Rect at{0, 0, strip_->w, strip_->h};
      SDL_BlitSurface(strip_, nullptr, screen, &at);
    }
    SDL_SetClipRect(screen, nullptr);
    SDL_Rect caret = CaretRect();
    SDL_Rect shown;
    if (awaiting_key_ && focused_ && caret_column_ < kColumns && SDL_IntersectRect(&caret, &area, &shown)) {
      // The caret inverts what lies under it, so it shows on every colour.
      SDL_LockSurface(screen);
      for (int y = shown.y; y < shown.y + shown.h; ++y) {
        auto* line = reinterpret_cast<Uint32*>(static_cast<uint8_t*>(screen->pixels) + y * screen->pitch);
        for (int x = shown.x; x < shown.x + shown.w; ++x) line[x] ^= 0x00FFFFFF;
      }
      SDL_UnlockSurface(screen);
    }
    SDL_UpdateWindowSurfaceRects(window_, &area, 1);
  }

  void Handle(const SDL_Event& event, ConsoleEvents& sink) {
    switch (event.type) {
      case SDL_QUIT:
        sink.CloseRequested();
        break;
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            sink.CloseRequested();
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
          case SDL_WINDOWEVENT_FOCUS_LOST:
            MarkCaret();
            focused_ = event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            MarkCaret();
            sink.FocusChanged(focused_, focused_ && (SDL_GetGlobalMouseState(nullptr, nullptr) &
                                                     (SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK)) != 0);
            break;
          default:
            MarkAll();
            break;
        }
        break;
      case SDL_KEYDOWN:
        KeyDown(event.key.keysym, sink);
        break;
      case SDL_TEXTINPUT:
        TextTyped(event.text.text, sink);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (event.button.which == SDL_TOUCH_MOUSEID) break;
        if (event.button.button == SDL_BUTTON_LEFT) sink.MouseDown(MouseButton::kLeft);
        if (event.button.button == SDL_BUTTON_RIGHT) sink.MouseDown(MouseButton::kRight);
        if (event.button.button == SDL_BUTTON_MIDDLE) sink.MouseDown(MouseButton::kMiddle);
        break;
      case SDL_MOUSEWHEEL: {
        int steps = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
        for (int i = 0; i < std::abs(steps); ++i) sink.MouseWheel(steps > 0 ? 1 : -1);
        break;
      }
      default:
        break;
    }
  }

  // Keys as the console knows them. AltGr is Ctrl+Alt, as on the desktops
  // this system comes from, so AltGr+Q gives the Alt code and then its
  // character. Ctrl or a lone Alt keep the key's character to themselves.
  void KeyDown(const SDL_Keysym& key, ConsoleEvents& sink) {
    const Uint16 m = key.mod;
    const bool altgr = (m & (KMOD_RALT | KMOD_MODE)) != 0;
    const bool ctrl = (m & KMOD_CTRL) != 0;
    const bool lone_alt = (m & KMOD_LALT) != 0 && !altgr;
    const Modifiers mods{(m & KMOD_SHIFT) != 0, ctrl || altgr, lone_alt || altgr};
    text_mods_ = mods;
    drop_text_ = ctrl || lone_alt;
    const SDL_Keycode sym = key.sym;
    if (sym == SDLK_CANCEL || (sym == SDLK_PAUSE && ctrl)) {
      sink.KeyDown(SpecialKey::kCancel, mods);
      return;
    }
    std::optional<SpecialKey> special = FindKey(kSpecialKeys, std::size(kSpecialKeys), sym);
    if (!special && !(m & KMOD_NUM)) special = FindKey(kKeypadKeys, std::size(kKeypadKeys), sym);
    if (special) {
      sink.KeyDown(*special, mods);
      return;
    }
    const bool letter = sym >= SDLK_a && sym <= SDLK_z;
    const bool digit = sym >= SDLK_0 && sym <= SDLK_9;
    if (mods.alt && (letter || digit)) {
      sink.AltKeyDown(static_cast<char>(sym), mods);
      return;
    }
    if (lone_alt) return;
    switch (sym) {
      case SDLK_RETURN:
      case SDLK_KP_ENTER: sink.CharTyped(13, mods); return;
      case SDLK_BACKSPACE: sink.CharTyped(8, mods); return;
      case SDLK_ESCAPE: sink.CharTyped(27, mods); return;
      case SDLK_TAB: sink.CharTyped(9, mods); return;
      default: break;
    }
    if (ctrl && letter) sink.CharTyped(static_cast<uint8_t>(sym - SDLK_a + 1), mods);
    if (ctrl && sym == SDLK_LEFTBRACKET) sink.CharTyped(27, mods);
    if (ctrl && sym == SDLK_BACKSLASH) sink.CharTyped(28, mods);
    if (ctrl && sym == SDLK_RIGHTBRACKET) sink.CharTyped(29, mods);
  }

  void TextTyped(const char* utf8, ConsoleEvents& sink) {
    if (drop_text_) {
      drop_text_ = false;
      return;
    }
    for (char c : Utf8ToAnsi(utf8)) sink.CharTyped(static_cast<uint8_t>(c), text_mods_);
  }

  VideoSettings video_;
  const TextGrid* grid_ = nullptr;
  const ColourMap* colours_ = nullptr;
  FontRequest font_request_;
  std::unique_ptr<ConsoleFont> font_;
  std::unique_ptr<ConsoleFont> magnifier_font_;
  int magnifier_factor_ = 0;
  int cell_w_ = 1;
  int cell_h_ = 1;
  SDL_Window* window_ = nullptr;
  SDL_Surface* text_ = nullptr;
  SDL_Surface* strip_ = nullptr;
  SDL_Surface* picture_ = nullptr;
  SDL_Rect picture_at_{};
  bool full_repaint_ = true;
  SDL_Rect dirty_{};
  bool has_dirty_ = false;
  int caret_column_ = 0;
  int caret_row_ = 0;
  bool awaiting_key_ = false;
  bool focused_ = false;
  Modifiers text_mods_;
  bool drop_text_ = false;
  bool failed_ = false;
};

}  // namespace

bool WindowDisplayReachable() {
  const char* x11 = std::getenv("DISPLAY");
  if (x11 && *x11 && X11DisplayAnswers(x11)) return true;
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return wayland && *wayland && WaylandDisplayAnswers(wayland);
}

std::unique_ptr<ConsoleFrontEnd> MakeWindowFrontEnd(std::string* error) {
  // Signals to end are ours to handle (see CloseSignalled), as in a terminal.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  XSetErrorHandler(IgnoreXError);
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // The grid goes to the display as plain images: the window is never made
  // again for a 3D renderer, and no 3D driver is needed.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // SDL's own rule drops any click that comes within 10 ms of its delayed
  // handling of a focus change, activating or not; the console's rule, a
  // button held as the focus comes, is applied instead.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = SDL_GetError();
    return nullptr;
  }
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = OnCloseSignal;
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(sig, &sa, nullptr);
  return std::make_unique<WindowFrontEnd>();
}

}  // namespace morventa
