// The real quintera in a pseudo-terminal with MORVENTA_CONSOLE=terminal: what
// the user sees (text and colours of the 80 x 25 grid), that typed keys reach
// the script, and that the terminal is given back as it was, however the
// program ends.
#include <signal.h>
#include <termios.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/pty_session.h"
#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

namespace fs = std::filesystem;

constexpr VtColour kBlack{0, 0, 0};
constexpr VtColour kBlue{0, 0, 255};
constexpr VtColour kGreen{0, 255, 0};
constexpr VtColour kYellow{255, 255, 0};
constexpr VtColour kWhite{255, 255, 255};

// Exit statuses of quintera.
constexpr int kScriptFailed = 1;
constexpr int kConsoleClosed = 3;

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = MakeTempDir();
    fs::create_directories(home_ + "/config/Orbela");
  }
  void TearDown() override { fs::remove_all(home_); }

  void WriteIni(const std::string& text) { WriteFile(home_ + "/config/Orbela/Orbela.ini", text); }

  std::unique_ptr<PtySession> Start(const std::string& script, int rows = 25) {
    WriteFile(home_ + "/teste.q", script);
    return std::make_unique<PtySession>(std::vector<std::string>{QUINTERA_BINARY, home_ + "/teste.q"},
                                        TerminalEnvironment(home_), home_, rows, 80);
  }

  std::string home_;
};

std::string Dump(const PtySession& s) { return "screen:\n" + s.screen().Text(); }

// The terminal is handed back exactly as the program found it, with mouse
// reports and modifyOtherKeys off, the cursor shown and no scroll region.
void ExpectTerminalRestored(const PtySession& s) {
  const termios before = s.initial_modes();
  const termios after = s.Modes();
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(std::memcmp(after.c_cc, before.c_cc, sizeof before.c_cc), 0);
  EXPECT_FALSE(s.screen().mouse_reporting());
  EXPECT_FALSE(s.screen().sgr_mouse());
  EXPECT_EQ(s.screen().modify_other_keys(), 0);
  EXPECT_TRUE(s.screen().cursor_visible());
  EXPECT_TRUE(s.screen().full_scroll_region());
}

TEST_F(TerminalTest, ShowsTheGridInItsColoursAndTypedKeysReachTheLineInput) {
  // Colour 14 is drawn with palette entry 2 (green); the background is blue.
  WriteIni("[VIDEO]\nCORFUNDO=1\nCORLETRA=14\nTABCORES=0,1,2,3,4,5,6,7,8,9,10,11,12,13,2,15\n");
  auto s = Start("escreve \"olá, mundo\"\nsubtrai $vazio 1\n");
  // The error report: the line number, then the caret on the next row.
  ASSERT_TRUE(s->WaitUntil([](const VtScreen& v) { return v.Row(2) == "2" && v.cursor_row() == 3; }))
      << Dump(*s);
  EXPECT_EQ(s->screen().Row(1), "olá, mundo");
  EXPECT_EQ(s->screen().Cell(1, 1).fg, kGreen);
  EXPECT_EQ(s->screen().Cell(1, 1).bg, kBlue);
  EXPECT_EQ(s->screen().Cell(1, 3).ch, U'á');
  // The whole grid was cleared in the console's colours, not the terminal's.
  EXPECT_EQ(s->screen().Cell(25, 80).bg, kBlue);
  EXPECT_EQ(s->screen().Cell(12, 40).fg, kGreen);
  EXPECT_EQ(s->screen().title(), "quintera - " + home_ + "/teste.q");
  // The error report waits for Enter in raw mode, caret on row 3.
  EXPECT_EQ(s->screen().cursor_row(), 3);
  EXPECT_EQ(s->screen().cursor_column(), 1);
  EXPECT_FALSE(s->Modes().c_lflag & ICANON);
  EXPECT_TRUE(s->screen().mouse_reporting());

  // Backspace, a function key (its code byte "H" arrives) and a UTF-8 letter.
  s->Send("abc\x7F" "d\x1B[Aç");
  ASSERT_TRUE(s->WaitUntil([](const VtScreen& v) { return v.Row(3) == "abdHç" && v.cursor_column() == 6; }))
      << Dump(*s);
  EXPECT_EQ(s->screen().Cell(3, 5).fg, kGreen);
  s->Send("\r");
  EXPECT_EQ(s->WaitExit(), kScriptFailed) << Dump(*s);
  ExpectTerminalRestored(*s);
  // The last screen stays in view; a terminal of 25 rows moves it up one row
  // to make room for the shell's prompt.
  EXPECT_EQ(s->screen().Row(2), "abdHç");
  EXPECT_EQ(s->screen().cursor_row(), 25);
  EXPECT_EQ(s->screen().cursor_column(), 1);
}

TEST_F(TerminalTest, NormalEndKeepsTheScreenAndRestoresTheTerminal) {
  auto s = Start("escreve \"primeira\"\nescreve \"segunda\"\n", 30);
  EXPECT_EQ(s->WaitExit(), 0) << Dump(*s);
  EXPECT_EQ(s->screen().Row(1), "primeira");
  EXPECT_EQ(s->screen().Row(2), "segunda");
  EXPECT_EQ(s->screen().Cell(1, 1).fg, kWhite);  // white on black without Orbela.ini
  EXPECT_EQ(s->screen().Cell(1, 1).bg, kBlack);
  EXPECT_EQ(s->screen().title(), "Programa terminado");
  EXPECT_GT(s->screen().cursor_row(), 25);  // the shell's prompt goes below the grid
  ExpectTerminalRestored(*s);
}

TEST_F(TerminalTest, SignalsEndTheProgramAndRestoreTheTerminal) {
  struct Case {
    int signal;
    const char* script;
    const char* shown;  // on screen when the signal is sent
    int status;
  };
  const Case cases[] = {
      // Waiting for Enter after an error (line 2 is reported).
      {SIGTERM, "escreve \"esperando\"\nsubtrai $vazio 1\n", "esperando\n2\n", kScriptFailed},
      {SIGHUP, "escreve \"esperando\"\nsubtrai $vazio 1\n", "esperando\n2\n", kScriptFailed},
      // Busy in a loop that never waits for anything.
      {SIGTERM, "escreve \"ocupado\"\n@volta\ndesvia @volta\n", "ocupado", kConsoleClosed},
      {SIGHUP, "escreve \"ocupado\"\n@volta\ndesvia @volta\n", "ocupado", kConsoleClosed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(strsignal(c.signal)) + " while " + c.shown);
    auto s = Start(c.script);
    ASSERT_TRUE(s->WaitForText(c.shown)) << Dump(*s);
    s->Signal(c.signal);
    EXPECT_EQ(s->WaitExit(), c.status) << Dump(*s);
    ExpectTerminalRestored(*s);
  }
}

TEST_F(TerminalTest, ManyLinesScrollTheGridInTerminalsOfAnyHeight) {
  WriteIni("[VIDEO]\nCORFUNDO=1\n");
  // 40 lines and the error report's line number: the grid shows the last 24
  // lines written and an empty row 25 for the answer.
  std::vector<std::string> grid;
  for (int i = 18; i <= 40; ++i) grid.push_back("linha " + std::to_string(i));
  grid.push_back("4");
  grid.push_back("");
  for (int rows : {20, 25, 30}) {
    SCOPED_TRACE("terminal of " + std::to_string(rows) + " rows");
    auto s = Start("repete i 40\n  escreve \"linha \" i\nfim repete\nsubtrai $vazio 1\n", rows);
    const auto shows_grid = [&](const VtScreen& v) {
      for (int r = 1; r <= std::min(rows, 25); ++r)
        if (v.Row(r) != grid[static_cast<size_t>(r - 1)]) return false;
      return v.cursor_row() == std::min(rows, 25) && v.cursor_column() == 1;
    };
    ASSERT_TRUE(s->WaitUntil(shows_grid)) << Dump(*s);
    for (int r = 1; r <= std::min(rows, 25); ++r) {
      EXPECT_EQ(s->screen().Cell(r, 1).bg, kBlue) << "row " << r;
      EXPECT_EQ(s->screen().Cell(r, 80).bg, kBlue) << "row " << r;
    }
    // Rows below the grid are the terminal's own and stay untouched.
    for (int r = 26; r <= rows; ++r) {
      EXPECT_EQ(s->screen().Row(r), "") << "row " << r;
      EXPECT_EQ(s->screen().Cell(r, 1).bg, VtScreen::kDefaultBg) << "row " << r;
    }
    s->Send("\r");
    EXPECT_EQ(s->WaitExit(), kScriptFailed) << Dump(*s);
  }
}

TEST_F(TerminalTest, UndefinedWindows1252BytesDoNotDisturbTheTerminal) {
  // U+0090 in the script is the byte 0x90, which Windows-1252 leaves undefined;
  // sent as it stands it would open a device control string.
  auto s = Start("escreve \"antes\xC2\x90" "depois\"\nescreve \"linha 2\"\nsubtrai $vazio 1\n");
  ASSERT_TRUE(s->WaitForText("linha 2")) << Dump(*s);
  EXPECT_EQ(s->screen().Row(1), "antes depois");
  s->Send("\r");
  EXPECT_EQ(s->WaitExit(), kScriptFailed);
}

}  // namespace
}  // namespace morventa::testing
