// The console in its window on a real X server (Xvfb): what the window shows,
// read back from the server as pixels, and keys and clicks sent through the
// server's XTest extension arriving as the console's key bytes.
#include "platform/window/window_front_end.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/config.h"
#include "console/console_window.h"
#include "platform/clipboard.h"
#include "system/text_encoding.h"
#include "tests/doubles/orbela_environment.h"
#include "tests/doubles/virtual_desktop.h"
#include "tests/unit/bmp_files.h"

namespace morventa::testing {
namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kCyan = 0x00FFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBrown = 0x442222;
constexpr uint32_t kLightGrey = 0xC0C0C0;
constexpr uint32_t kYellow = 0xFFFF00;

// Small cells keep the window well inside the virtual screen.
constexpr char kSmallFont[] = "[VIDEO]\nFONTE=DejaVu Sans Mono\nLARGURALETRA=8\nALTURALETRA=16\n";

class WindowOnX : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { desktop_ = new VirtualDesktop(); }
  static void TearDownTestSuite() {
    delete desktop_;
    desktop_ = nullptr;
  }

  void SetUp() override {
    if (!desktop_->available()) GTEST_SKIP() << "Xvfb could not start";
    const char* old = std::getenv("DISPLAY");
    if (old) saved_display_ = old;
    setenv("DISPLAY", desktop_->display_name().c_str(), 1);
  }

  void TearDown() override {
    console_.reset();
    if (saved_display_) setenv("DISPLAY", saved_display_->c_str(), 1);
    else unsetenv("DISPLAY");
  }

  // Opens the console in its window with the [VIDEO] keys given.
  void Open(const std::string& video_keys = "") {
    env_.WriteUserIni(kSmallFont + video_keys);
    config_ = std::make_unique<Config>(env_.locations());
    console_ = std::make_unique<ConsoleWindow>(*config_, [] {
      std::string error;
      auto window = MakeWindowFrontEnd(&error);
      if (!window) ADD_FAILURE() << error;
      return window;
    });
    console_->EnsureConsole();
    window_ = desktop_->WaitForWindowOf(getpid(), 10000);
    ASSERT_NE(window_, 0u);
    const WindowImage first = desktop_->Capture(window_);
    cell_w_ = first.width / kColumns;
    cell_h_ = first.height / kRows;
  }

  ConsoleWindow& console() { return *console_; }

  // What the window shows once the console has pumped its events.
  WindowImage Shown() {
    console().KeyPending();
    return desktop_->Capture(window_);
  }

  int CountInCell(const WindowImage& image, int row, int column, uint32_t rgb) const {
    return image.Count(column * cell_w_, row * cell_h_, cell_w_, cell_h_, rgb);
  }

  static VirtualDesktop* desktop_;
  OrbelaEnvironment env_;
  std::unique_ptr<Config> config_;
  std::unique_ptr<ConsoleWindow> console_;
  unsigned long window_ = 0;
  int cell_w_ = 0;
  int cell_h_ = 0;
  std::optional<std::string> saved_display_;
};

VirtualDesktop* WindowOnX::desktop_ = nullptr;

TEST_F(WindowOnX, TheWindowHoldsTheGridInCellsMeasuredFromTheFont) {
  Open();
  const WindowImage image = desktop_->Capture(window_);
  EXPECT_EQ(cell_w_, 8);
  EXPECT_GE(cell_h_, 16);
  EXPECT_EQ(image.width, 80 * cell_w_);
  EXPECT_EQ(image.height, 25 * cell_h_);
}

struct ColourCase {
  const char* what;
  const char* video_keys;
  int text_colour;  // -1: leave the colours as configured
  int back_colour;
  uint32_t letters;
  uint32_t background;
};

class WindowColours : public WindowOnX, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(WindowColours, LettersAndBackgroundInTheirColours) {
  const ColourCase& c = GetParam();
  Open(c.video_keys);
  if (c.text_colour >= 0) console().SetTextColour(c.text_colour);
  if (c.back_colour >= 0) console().SetBackColour(c.back_colour);
  console().PutText("MW#");
  const WindowImage image = Shown();
  for (int column = 0; column < 3; ++column) {
    EXPECT_GT(CountInCell(image, 0, column, c.letters), 0) << "letters of column " << column;
    EXPECT_GT(CountInCell(image, 0, column, c.background), cell_w_ * cell_h_ / 3) << "column " << column;
  }
}

const ColourCase kColourCases[] = {
    {"configured colours", "CORFUNDO=1\nCORLETRA=14\n", -1, -1, kYellow, kBlue},
    {"TABCORES draws colour 14 green", "CORFUNDO=1\nCORLETRA=14\nTABCORES=0,1,2,3,4,5,6,7,8,9,10,11,12,13,2,15\n",
     -1, -1, kGreen, kBlue},
    {"TABCORES ending in 0 draws colour 15 black",
     "CORFUNDO=7\nCORLETRA=15\nTABCORES=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,0\n", -1, -1, kBlack, kLightGrey},
    {"COR and FUNDO change the colours", "CORFUNDO=1\nCORLETRA=14\n", 4, 2, kRed, kGreen},
    {"CORESFIXAS keeps the configured colours", "CORFUNDO=1\nCORLETRA=14\nCORESFIXAS=S\n", 4, 2, kYellow, kBlue},
};
INSTANTIATE_TEST_SUITE_P(Window, WindowColours, ::testing::ValuesIn(kColourCases));

TEST_F(WindowOnX, ScrollingMovesTheRowsUpAndOpensARowInTheCurrentBackground) {
  // Enough lines in changing colours to scroll six times, the last line end
  // written on red.
  auto write_and_scroll = [this] {
    for (int i = 1; i <= 30; ++i) {
      console().SetTextColour(i % 16);
      console().SetBackColour(i % 3);
      console().PutText("linha " + std::to_string(i) + "\r\n");
    }
    console().SetBackColour(4);
    console().PutText("fim\r\n");
    return Shown();
  };
  Open();
  const WindowImage repainted = write_and_scroll();
  EXPECT_EQ(repainted.Count(0, 24 * cell_h_, 80 * cell_w_, cell_h_, kRed), 80 * cell_w_ * cell_h_);
  // "fim" on row 24 on red; the row's other cells as the scroll left them.
  EXPECT_GT(CountInCell(repainted, 23, 0, kRed), 0);
  EXPECT_EQ(CountInCell(repainted, 23, 10, kRed), 0);
  console_.reset();

  // Moving pixels (LENTO) shows exactly what repainting every cell shows.
  Open("LENTO=S\n");
  const WindowImage moved = write_and_scroll();
  EXPECT_TRUE(moved.pixels == repainted.pixels);
}

TEST_F(WindowOnX, MagnifierStripShowsTheTextEnlargedWithTheCharacterBeforeThePositionHighlighted) {
  Open();
  console().PutText("texto normal");
  console().MagnifierSet(8, {14, 6, 3});
  console().MagnifierShow("abcdefghijklmnopqrstuvwxyz", 5);
  const WindowImage image = Shown();
  // Ten characters of eight cells' width each, over the top rows.
  const int w = 8 * cell_w_;
  const int h = 8 * 16;
  auto strip_cell = [&](int i, uint32_t rgb) { return image.Count(i * w, 0, w, h, rgb); };
  EXPECT_GT(strip_cell(0, kYellow), 0) << "a";
  EXPECT_EQ(strip_cell(3, kYellow), 0) << "d is highlighted";
  EXPECT_GT(strip_cell(3, kCyan), 0) << "d is highlighted";
  EXPECT_GT(strip_cell(4, kYellow), 0) << "e";
  EXPECT_GT(strip_cell(9, kYellow), 0) << "j";
  EXPECT_EQ(strip_cell(9, kCyan), 0);
  EXPECT_EQ(image.At(80 * cell_w_ - 1, 0), kBrown);
  EXPECT_EQ(image.Count(0, 0, 80 * cell_w_, h, 0xFFFFFF), 0) << "the grid's text lies under the strip";

  console().MagnifierHide();
  const WindowImage grid = Shown();
  EXPECT_EQ(grid.At(80 * cell_w_ - 1, 0), kBlack);
  EXPECT_GT(CountInCell(grid, 0, 0, 0xFFFFFF), 0) << "the grid's text is back";
}

TEST_F(WindowOnX, PictureLiesOverTheTextAtItsPositionUntilCleared) {
  const std::string good = env_.root() + "/quadro.bmp";
  const std::string bad = env_.root() + "/ruim.bmp";
  // Two rows: red, green on top; blue, yellow below.
  WriteBmp(good, Bmp24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00}));
  std::string broken = Bmp24(2, 2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF});
  broken[14] = 12;  // the old 12-byte header
  WriteBmp(bad, broken);
  Open();
  console().PutText(std::string(80, 'M'));
  ASSERT_TRUE(console().PictureLoad(good));
  console().PictureShow(3, 5);
  WindowImage image = Shown();
  EXPECT_EQ(image.At(3, 5), kRed);
  EXPECT_EQ(image.At(4, 5), kGreen);
  EXPECT_EQ(image.At(3, 6), kBlue);
  EXPECT_EQ(image.At(4, 6), kYellow);

  // A file refused leaves the picture where it was, over text drawn anew.
  EXPECT_FALSE(console().PictureLoad(bad));
  EXPECT_FALSE(console().PictureLoad(env_.root() + "/nenhum.bmp"));
  console().MoveCursor(1, 1);
  console().PutText(std::string(80, 'W'));
  image = Shown();
  EXPECT_EQ(image.At(3, 5), kRed);
  EXPECT_EQ(image.At(4, 6), kYellow);

  console().PictureClear();
  image = Shown();
  EXPECT_EQ(image.Count(3, 5, 2, 2, kRed) + image.Count(3, 5, 2, 2, kGreen) + image.Count(3, 5, 2, 2, kBlue), 0);
}

struct KeyCase {
  std::vector<const char*> pressed;  // combinations, one after the other
  std::vector<int> bytes;
};

TEST_F(WindowOnX, KeysAndClicksArriveAsTheConsolesKeyBytes) {
  const KeyCase keys[] = {
      {{"a"}, {97}},
      {{"shift+a"}, {65}},
      {{"ccedilla"}, {231}},
      {{"Return"}, {13}},
      {{"ctrl+Return"}, {10}},
      {{"BackSpace"}, {8}},
      {{"ctrl+BackSpace"}, {127}},
      {{"Escape"}, {27}},
      {{"Tab"}, {9}},
      {{"ctrl+c"}, {3}},
      {{"ctrl+shift+v"}, {22}},
      {{"ctrl+1", "b"}, {98}},
      {{"F1"}, {0, 59}},
      {{"ctrl+F1"}, {0, 94}},
      {{"F12"}, {0, 70}},
      {{"shift+Insert"}, {0, 254}},
      {{"ctrl+Insert"}, {0, 255}},
      {{"Delete"}, {0, 83}},
      {{"ctrl+Home"}, {0, 119}},
      {{"Up"}, {0, 72}},
      {{"ctrl+Left"}, {0, 115}},
      {{"KP_Up"}, {0, 72}},
      {{"alt+a", "b"}, {98}},
      {{"alt+F4", "b"}, {98}},
      {{"alt+Right"}, {0, 77}},
      {{"ctrl+alt+q"}, {0, 16}},
      {{"ctrl+alt+z"}, {0, 44}},
      {{"ctrl+alt+1"}, {0, 120}},
      {{"ctrl+alt+0"}, {0, 129}},
  };
  Open();
  desktop_->Focus(window_);
  for (const KeyCase& k : keys) {
    std::string what;
    for (const char* combination : k.pressed) {
      desktop_->PressKeys(combination);
      what += std::string(combination) + " ";
    }

    std::vector<int> got;
    for (size_t i = 0; i < k.bytes.size(); ++i) got.push_back(console().TakeKey());
    EXPECT_EQ(got, k.bytes) << what;
    EXPECT_FALSE(console().KeyPending()) << what << "left more bytes";
  }

  struct ClickCase {
    int button;  // X's numbers: 1 left, 2 middle, 3 right, 4 and 5 the wheel away and towards
    std::vector<int> bytes;
  };
  const ClickCase clicks[] = {{1, {13}}, {3, {27}}, {2, {0, 67}}, {4, {0, 72}}, {5, {0, 80}}};
  for (const ClickCase& c : clicks) {
    desktop_->Click(window_, 100, 100, c.button);
    std::vector<int> got;
    for (size_t i = 0; i < c.bytes.size(); ++i) got.push_back(console().TakeKey());
    EXPECT_EQ(got, c.bytes) << "button " << c.button;
    EXPECT_FALSE(console().KeyPending());
  }
}

TEST_F(WindowOnX, KeysTypedWhileTheProgramIsBusyAreKeptUpToTheQueuesSize) {
  Open();
  desktop_->Focus(window_);
  console().KeyPending();
  // Nothing is pumped while the keys are typed, as in a long computation.
  for (int i = 0; i < 70; ++i) desktop_->PressKeys("x");
  desktop_->PressKeys("F1");
  console().KeyPending();
  EXPECT_EQ(console().key_queue().size(), 64u);
  std::string got;
  while (console().key_queue().size() > 0) got += static_cast<char>(console().TakeKey());
  EXPECT_EQ(got, std::string(64, 'x'));
}

TEST_F(WindowOnX, ClosingTheWindowOrCtrlBreakClosesTheConsole) {
  for (const bool by_break : {false, true}) {
    Open();
    desktop_->Focus(window_);
    if (by_break) desktop_->PressKeys("ctrl+Pause");
    else desktop_->CloseWindow(window_);
    EXPECT_THROW(console().TakeKey(), ConsoleClosed) << (by_break ? "Ctrl+Break" : "close");
    console_.reset();
  }
}

TEST_F(WindowOnX, PastesWhatAnotherProgramPutOnTheDesktopsClipboard) {
  Open();
  ASSERT_TRUE(MakeX11Clipboard(desktop_->display_name())->PutText("tradução"));
  // xclip takes the selection from a child it forks.
  ASSERT_TRUE(desktop_->WaitForClipboardOwner(10000));
  EXPECT_EQ(console().ClipboardGet(1024), Ansi("tradução"));
  console().ClipboardPut(Ansi("ação"));
  EXPECT_EQ(console().ClipboardGet(1024), Ansi("ação"));
}

}  // namespace
}  // namespace morventa::testing
