// The clipboard as the console offers it (Windows-1252 inside, UTF-8 outside,
// the size limit of a read) and its backends: the one inside the process,
// and the X11 clipboard of a real X server shared with an outside program.
#include "platform/clipboard.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "system/text_encoding.h"
#include "tests/doubles/virtual_desktop.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

// A display nobody serves.
constexpr const char* kNoDisplay = ":4093";

struct ReadCase {
  const char* what;
  std::string put;  // Windows-1252, through ClipboardPut
  size_t max;
  std::string got;
};

class ConsoleClipboard : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ConsoleClipboard, ReadsAtMostOneLessThanItsRoom) {
  TestRuntime t;
  t.rt().console.ClipboardPut(GetParam().put);
  EXPECT_EQ(t.rt().console.ClipboardGet(GetParam().max), GetParam().got);
}

const ReadCase kReads[] = {
    {"a short text", "abc", 1024, "abc"},
    {"5,000 characters read with room for 1,024", std::string(5000, 'x'), 1024, std::string(1023, 'x')},
    {"line ends stay", "a\r\nb", 1024, "a\r\nb"},
    {"room for one holds nothing", "abc", 1, ""},
    {"no room at all", "abc", 0, ""},
    {"a NUL ends the text", std::string("ab\0cd", 5), 1024, "ab"},
    {"accented letters", "a\xE7\xE3o \x80", 1024, "a\xE7\xE3o \x80"},
};
INSTANTIATE_TEST_SUITE_P(Clipboard, ConsoleClipboard, ::testing::ValuesIn(kReads),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(ConsoleClipboard, AnEmptyClipboardReadsAsNothing) {
  TestRuntime t;
  EXPECT_EQ(t.rt().console.ClipboardGet(1024), "");
}

TEST(ConsoleClipboard, OutsideTheTextIsUtf8) {
  TestRuntime t;
  auto backend = MakeProcessClipboard();
  Clipboard* outside = backend.get();
  t.rt().console.set_clipboard(std::move(backend));
  t.rt().console.ClipboardPut(Ansi("ação €"));
  EXPECT_EQ(outside->GetText(), "ação €");
  // From other programs: UTF-8, or single bytes when it is not UTF-8.
  outside->PutText("coração");
  EXPECT_EQ(t.rt().console.ClipboardGet(1024), Ansi("coração"));
  outside->PutText("cora\xE7\xE3o");
  EXPECT_EQ(t.rt().console.ClipboardGet(1024), Ansi("coração"));
  // A character Windows-1252 lacks.
  outside->PutText("π");
  EXPECT_EQ(t.rt().console.ClipboardGet(1024), "?");
}

// What an outside program reads from, and puts on, the X display's clipboard.
std::string OutsideRead(const std::string& display) {
  const std::string command = "xclip -display " + display + " -selection clipboard -out 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return "(xclip failed)";
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  pclose(p);
  return text;
}

void OutsidePut(const std::string& display, const std::string& utf8) {
  // xclip stays behind to serve the text; it must not hold our output open.
  const std::string command = "xclip -display " + display + " -selection clipboard -in >/dev/null 2>&1";
  FILE* p = popen(command.c_str(), "w");
  ASSERT_NE(p, nullptr);
  fwrite(utf8.data(), 1, utf8.size(), p);
  pclose(p);
}

class X11Clipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x_.available()) GTEST_SKIP() << "Xvfb could not start";
    if (system("command -v xclip >/dev/null") != 0) GTEST_SKIP() << "xclip is not installed";
  }
  VirtualDesktop x_;
};

TEST_F(X11Clipboard, SharesTheClipboardWithOtherPrograms) {
  auto clipboard = MakeX11Clipboard(x_.display_name());
  EXPECT_EQ(clipboard->GetText(), std::nullopt) << "nobody owns the clipboard yet";
  ASSERT_TRUE(clipboard->PutText("ação\r\nfim"));
  EXPECT_EQ(OutsideRead(x_.display_name()), "ação\r\nfim");
  OutsidePut(x_.display_name(), "de fora é");
  // xclip takes the selection from a child it forks after reading its input,
  // so the change of owner can come a moment after pclose returns.
  for (int i = 0; i < 100 && OutsideRead(x_.display_name()) != "de fora é"; ++i) usleep(50000);
  EXPECT_EQ(clipboard->GetText(), "de fora é");
}

TEST_F(X11Clipboard, TheEnvironmentChoosesTheDisplayThatAnswers) {
  EXPECT_TRUE(X11DisplayAnswers(x_.display_name()));
  EXPECT_TRUE(X11DisplayAnswers("unix" + x_.display_name() + ".0"));
  EXPECT_FALSE(X11DisplayAnswers(kNoDisplay));
  EXPECT_FALSE(X11DisplayAnswers(""));
  EXPECT_FALSE(X11DisplayAnswers("nonsense"));

  const char* old = getenv("DISPLAY");
  const std::string saved = old ? old : "";
  setenv("DISPLAY", x_.display_name().c_str(), 1);
  ClipboardFromEnvironment()->PutText("escolhido");
  EXPECT_EQ(OutsideRead(x_.display_name()), "escolhido");
  // A display that does not answer leaves the clipboard inside the process.
  setenv("DISPLAY", kNoDisplay, 1);
  auto fallback = ClipboardFromEnvironment();
  fallback->PutText("dentro");
  EXPECT_EQ(fallback->GetText(), "dentro");
  EXPECT_EQ(OutsideRead(x_.display_name()), "escolhido");
  setenv("DISPLAY", saved.c_str(), 1);
}

TEST(WaylandClipboard, ADisplayAnswersWhenItsSocketListens) {
  const std::string dir = MakeEmptyDir();
  const std::string path = dir + "/wayland-7";
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(s, 1), 0);
  EXPECT_TRUE(WaylandDisplayAnswers(path));
  const char* old = getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  EXPECT_TRUE(WaylandDisplayAnswers("wayland-7"));
  EXPECT_FALSE(WaylandDisplayAnswers("wayland-8"));
  setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  close(s);
  unlink(path.c_str());
  rmdir(dir.c_str());
}

}  // namespace
}  // namespace morventa::testing
