// The real quintera with its console in a window on a virtual X server: the
// window chosen when a display answers, typed keys reaching the script, the
// caret while a key is awaited, the end of the program by closing the window
// or by a signal, and the last screen kept after a normal end.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/doubles/virtual_desktop.h"
#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 20000;
// Exit statuses of quintera.
constexpr int kNormalEnd = 0;
constexpr int kConsoleClosed = 3;

constexpr char kSmallFont[] = "[VIDEO]\nFONTE=DejaVu Sans Mono\nLARGURALETRA=8\nALTURALETRA=16\n";

class WindowProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!desktop_.available()) GTEST_SKIP() << "Xvfb could not start";
    home_ = MakeTempDir();
    WriteFile(home_ + "/config/Orbela/Orbela.ini", kSmallFont);
  }

  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (pidfd_ >= 0) close(pidfd_);
    if (!home_.empty()) fs::remove_all(home_);
  }

  // Starts the script with standard input and output on /dev/null, so that
  // only a display can make the console a window.
  void Start(const std::string& script, std::map<std::string, std::string> env = {}) {
    WriteFile(home_ + "/teste.q", script);
    env.emplace("DISPLAY", desktop_.display_name());
    env.emplace("MORVENTA_AUDIO", "null");
    env.emplace("MORVENTA_TRANSCRIPT", home_ + "/fala.txt");
    env.emplace("HOME", home_);
    env.emplace("XDG_CONFIG_HOME", home_ + "/config");
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      unsetenv("MORVENTA_CONSOLE");
      unsetenv("WAYLAND_DISPLAY");
      for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
      execl(QUINTERA_BINARY, QUINTERA_BINARY, (home_ + "/teste.q").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    window_ = desktop_.WaitForWindowOf(pid_, kWaitMs);
    ASSERT_NE(window_, 0u) << "no window";
    const WindowImage image = desktop_.Capture(window_);
    cell_w_ = image.width / 80;
    cell_h_ = image.height / 25;
  }

  bool WaitTitle(const std::string& wanted) {
    std::string seen;
    const bool ok = desktop_.WaitForTitle(window_, [&](const std::string& t) { return t == wanted; }, kWaitMs, &seen);
    if (!ok) ADD_FAILURE() << "title \"" << seen << "\", not \"" << wanted << "\"";
    return ok;
  }

  bool Running() { return waitpid(pid_, nullptr, WNOHANG) == 0; }

  // The exit status, once the program has ended; -1 when it did not end in time.
  int ExitStatus() {
    pollfd p{pidfd_, POLLIN, 0};
    if (poll(&p, 1, kWaitMs) <= 0) return -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  VirtualDesktop desktop_;
  std::string home_;
  pid_t pid_ = -1;
  int pidfd_ = -1;
  unsigned long window_ = 0;
  int cell_w_ = 0;
  int cell_h_ = 0;
};

TEST_F(WindowProgram, ShowsTheCaretWhileAKeyIsAwaitedAndTypedKeysReachTheScript) {
  Start("escreve \"olá\"\ntitulo \"pronto\"\nle tecla k\ntitulo k\nle tecla k\ntitulo k\nle tecla k\n");
  ASSERT_TRUE(WaitTitle("pronto"));
  desktop_.Focus(window_);
  // The caret: two rows of the empty cell at column 1, row 2 inverted to white.
  const bool caret = desktop_.WaitUntilShown(
      window_, [&](const WindowImage& i) { return i.Count(0, cell_h_, cell_w_, cell_h_, 0xFFFFFF) == 2 * cell_w_; },
      kWaitMs);
  EXPECT_TRUE(caret);
  desktop_.PressKeys("ctrl+F1");
  EXPECT_TRUE(WaitTitle("010#0#94"));
  desktop_.PressKeys("shift+a");
  EXPECT_TRUE(WaitTitle("100#65"));
  desktop_.CloseWindow(window_);
  EXPECT_EQ(ExitStatus(), kConsoleClosed) << ReadFile(home_ + "/fala.txt");
}

TEST_F(WindowProgram, ClosingTheWindowEndsTheScriptAtOnce) {
  Start("titulo \"pronto\"\n@volta\nespera ms 10\ndesvia @volta\n");
  ASSERT_TRUE(WaitTitle("pronto"));
  desktop_.CloseWindow(window_);
  EXPECT_EQ(ExitStatus(), kConsoleClosed);
}

TEST_F(WindowProgram, ASignalToEndClosesTheWindowAndEndsTheProgram) {
  Start("titulo \"pronto\"\nle tecla k\n");
  ASSERT_TRUE(WaitTitle("pronto"));
  kill(pid_, SIGTERM);
  EXPECT_EQ(ExitStatus(), kConsoleClosed);
}

TEST_F(WindowProgram, AfterANormalEndTheLastScreenStaysUntilTheWindowIsClosed) {
  Start("escreve \"até logo\"\n");
  ASSERT_TRUE(WaitTitle("Programa terminado"));
  EXPECT_TRUE(Running());
  const WindowImage image = desktop_.Capture(window_);
  EXPECT_GT(image.Count(0, 0, 8 * cell_w_, cell_h_, 0xFFFFFF), 0) << "the text is still shown";
  desktop_.PressKeys("Return");
  EXPECT_TRUE(Running()) << "keys do nothing any more";
  desktop_.CloseWindow(window_);
  EXPECT_EQ(ExitStatus(), kNormalEnd);
}

TEST_F(WindowProgram, MorventaConsoleChoosesTheStreamEvenWithADisplay) {
  WriteFile(home_ + "/plano.q", "escreve \"sem janela\"\n");
  const ProgramResult r =
      RunProgram({QUINTERA_BINARY, home_ + "/plano.q"}, "",
                 {{"MORVENTA_CONSOLE", "plain"}, {"DISPLAY", desktop_.display_name()}, {"MORVENTA_AUDIO", "null"},
                  {"HOME", home_}, {"XDG_CONFIG_HOME", home_ + "/config"}},
                 home_);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("sem janela"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace morventa::testing
