// A menu in the real quintera in a pseudo-terminal: the user walks it, marks
// an item, leaves for screen review, searches the screen, comes back and
// chooses. Each key is typed only once the program waits for it (the caret
// is shown then and only then), as a user listening to it would.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/pty_session.h"
#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

namespace fs = std::filesystem;

constexpr VtColour kGreen{0, 255, 0};
constexpr VtColour kYellow{255, 255, 0};
constexpr VtColour kWhite{255, 255, 255};

std::string Dump(const PtySession& s) { return "screen:\n" + s.screen().Text(); }

std::function<bool(const VtScreen&)> CursorAt(int column, int row) {
  return [=](const VtScreen& v) { return v.cursor_column() == column && v.cursor_row() == row; };
}

TEST(MenuTerminalTest, WalkMarkReviewAndChoose) {
  const std::string home = MakeTempDir();
  fs::create_directories(home + "/config/Orbela");
  WriteFile(home + "/teste.q",
            "escreve \"Escolha a cor:\"\n"
            "menu cria 3 2 20 4\n"
            "menu adiciona \"vermelho\"\n"
            "menu adiciona \"verde\"\n"
            "menu adiciona \"azul\"\n"
            "menu adiciona \"amarelo\"\n"
            "seja v 2\n"
            "menu executa v w z\n"
            "menu termina\n"
            "escreve \"Escolhido: \" v \" \" w \" \" z\n");
  const std::string transcript = home + "/transcript";
  PtySession s({QUINTERA_BINARY, home + "/teste.q"},
               // Room below the grid for the shell's prompt at the end.
               TerminalEnvironment(home, transcript), home, 30);

  // The menu opens on the second item, highlighted, with the cursor on it.
  ASSERT_TRUE(s.WaitUntil([](const VtScreen& v) {
    return v.cursor_visible() && v.cursor_column() == 3 && v.cursor_row() == 3 && v.Row(4) == "  azul";
  })) << Dump(s);
  EXPECT_EQ(s.screen().Row(1), "Escolha a cor:");
  EXPECT_EQ(s.screen().Row(2), "  vermelho");
  EXPECT_EQ(s.screen().Row(3), "  verde");
  EXPECT_EQ(s.screen().Cell(2, 3).fg, kWhite);
  EXPECT_EQ(s.screen().Cell(3, 3).fg, kYellow);
  EXPECT_EQ(s.screen().Cell(3, 20).fg, kYellow) << "the whole width of the box";

  // Down twice: the fourth item scrolls the box of three rows.
  ASSERT_TRUE(s.Press("<Down><Down>", CursorAt(3, 4))) << Dump(s);
  EXPECT_EQ(s.screen().Row(2), "  verde");
  EXPECT_EQ(s.screen().Row(4), "  amarelo");
  EXPECT_EQ(s.screen().Cell(4, 3).fg, kYellow);

  // Up, mark "azul" with the space bar (it beeps as it is spoken again, and
  // a beep drops keys typed ahead), and up again: "azul" is green.
  ASSERT_TRUE(s.Press("<Up>", CursorAt(3, 3))) << Dump(s);
  ASSERT_TRUE(s.Press(" ", CursorAt(3, 3))) << Dump(s);
  ASSERT_TRUE(s.Press("<Up>", CursorAt(3, 2))) << Dump(s);
  EXPECT_EQ(s.screen().Cell(3, 3).fg, kGreen);
  EXPECT_EQ(s.screen().Cell(2, 3).fg, kYellow);
  // Down onto the marked item: a beep before it is spoken.
  ASSERT_TRUE(s.Press("<Down>", CursorAt(3, 3))) << Dump(s);

  // Screen review from the menu: the first row, then a search for "azul".
  ASSERT_TRUE(s.Press("<C-A-F9>", CursorAt(3, 3))) << Dump(s);
  ASSERT_TRUE(s.Press("<PgUp>", CursorAt(1, 1))) << Dump(s);
  ASSERT_TRUE(s.Press("<F5>azul<Enter>", CursorAt(3, 3))) << Dump(s);
  ASSERT_TRUE(s.Press("<Home>", CursorAt(1, 3))) << Dump(s);
  // Escape: back in the menu, on the item where the user left it.
  ASSERT_TRUE(s.Press("<Esc>", CursorAt(3, 3))) << Dump(s);
  EXPECT_EQ(s.screen().Cell(3, 3).fg, kYellow);

  // Right starts the menu again at the item v names; Enter chooses it.
  ASSERT_TRUE(s.Press("<Right>", CursorAt(3, 2))) << Dump(s);
  EXPECT_EQ(s.screen().Cell(2, 3).fg, kYellow);
  s.Send(KeyBytes("<Enter>"));
  EXPECT_EQ(s.WaitExit(), 0) << Dump(s);
  // TERMINA blanked the box and left the cursor at its corner.
  EXPECT_EQ(s.screen().Row(2), "  Escolhido: 2 #13 verde");
  EXPECT_EQ(s.screen().Row(3), "");
  EXPECT_EQ(s.screen().Row(4), "");

  EXPECT_EQ(ReadFile(transcript),
            "fala: Escolha a cor:\n"
            "letra: 58\n"
            "fala: verde\n"
            "fala: azul\n"
            "fala: amarelo\n"
            "fala: azul\n"
            "bipe\n"
            "fala: azul\n"
            "fala: verde\n"
            "bipe\n"
            "fala: azul\n"
            "bipe\n"
            "fala: Escolha\n"
            "fala: a\n"
            "fala: cor\n"
            "fala: :\n"
            "letra: 58\n"
            "clique\n"
            "fala: Qual texto\n"
            "letra: 97\n"
            "letra: 122\n"
            "letra: 117\n"
            "letra: 108\n"
            "clique\n"
            "bipe\n"
            "bipe\n"
            "bipe\n"
            "fala: azul\n"
            "fala: verde\n"
            "fala: Escolhido: 2 #13 verde\n"
            "letra: 58\n"
            "som: _dois\n"
            "letra: 35\n"
            "som: _treze\n"
            "fala: Fim do script\n");
  fs::remove_all(home);
}

}  // namespace
}  // namespace morventa::testing
