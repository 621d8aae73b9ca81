// The desktop layer against a real X server: the window in front, its title
// and frame, and the pointer; and what it answers with no display at all.
#include "platform/desktop.h"

#include <gtest/gtest.h>

#include "system/text_encoding.h"
#include "tests/doubles/virtual_desktop.h"

namespace morventa::testing {
namespace {

// A display nobody serves.
constexpr const char* kNoDisplay = ":4093";

TEST(Desktop, WithoutADisplayThereIsNoWindowAndNoPointer) {
  Desktop desktop(kNoDisplay);
  EXPECT_FALSE(desktop.Reachable());
  EXPECT_EQ(desktop.ActiveWindowTitle(249), "");
  EXPECT_FALSE(desktop.PointerPosition().has_value());
  EXPECT_FALSE(desktop.ActiveWindowFrame().has_value());
}

class DesktopOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x_.available()) GTEST_SKIP() << "Xvfb could not start";
    desktop_.UseDisplay(x_.display_name());
  }
  VirtualDesktop x_;
  Desktop desktop_;
};

TEST_F(DesktopOnX, ReadsTheTitleOfTheActiveWindow) {
  struct Case {
    const char* title;  // UTF-8
    bool ewmh_name;
    size_t max_chars;
    const char* expected;  // UTF-8
  };
  const Case cases[] = {
      {"Tradução - Editor", true, 249, "Tradução - Editor"},
      {"Caderno de notas", false, 249, "Caderno de notas"},
      {"Ação em Latin-1", false, 249, "Ação em Latin-1"},
      {"Um título longo", true, 5, "Um tí"},
      {"Símbolo ☃ fora", true, 249, "Símbolo ? fora"},
  };
  for (const auto& c : cases) {
    const unsigned long w = x_.OpenWindow(c.title, 10, 10, c.ewmh_name);
    x_.Activate(w);
    EXPECT_EQ(desktop_.ActiveWindowTitle(c.max_chars), Ansi(c.expected)) << c.title;
  }
  x_.Activate(0);
  EXPECT_EQ(desktop_.ActiveWindowTitle(249), "");
}

TEST_F(DesktopOnX, PointerAndFrameOfTheActiveWindow) {
  x_.MovePointer(300, 200);
  ASSERT_TRUE(desktop_.PointerPosition().has_value());
  EXPECT_EQ(*desktop_.PointerPosition(), (ScreenPoint{300, 200}));

  EXPECT_FALSE(desktop_.ActiveWindowFrame().has_value());  // no window in front
  const unsigned long w = x_.OpenWindow("janela", 100, 50);
  x_.Activate(w);
  auto frame = desktop_.ActiveWindowFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->left, 100);
  EXPECT_EQ(frame->top, 50);
  EXPECT_EQ(frame->border, 0);

  x_.SetFrameExtents(w, 4, 24);
  frame = desktop_.ActiveWindowFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->left, 96);
  EXPECT_EQ(frame->top, 26);
  EXPECT_EQ(frame->border, 4);
}

TEST_F(DesktopOnX, AnActiveWindowThatIsGoneAnswersNothing) {
  // The window manager names a window that no longer exists: the requests
  // fail and the program goes on.
  x_.Activate(0x7fffff);
  EXPECT_EQ(desktop_.ActiveWindowTitle(249), "");
  EXPECT_FALSE(desktop_.ActiveWindowFrame().has_value());
  EXPECT_TRUE(desktop_.PointerPosition().has_value());
}

}  // namespace
}  // namespace morventa::testing
