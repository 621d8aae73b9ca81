// The line editor in the real quintera in a pseudo-terminal: a field drawn
// in the user's terminal, moved through by words, a selection shown on dark
// grey, copied and pasted, and Escape blanking a typed line. Each key is
// typed once the program waits for it (the caret shows then), as a user
// listening to it would.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/pty_session.h"
#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

namespace fs = std::filesystem;

constexpr VtColour kBlack{0, 0, 0};
constexpr VtColour kDarkGrey{40, 40, 40};

std::string Dump(const PtySession& s) { return "screen:\n" + s.screen().Text(); }

std::function<bool(const VtScreen&)> At(int row, const std::string& text, int cursor_column) {
  return [=](const VtScreen& v) {
    return v.Row(row) == text && v.cursor_row() == row && v.cursor_column() == cursor_column;
  };
}

TEST(EditorTerminalTest, EditSelectCopyPasteAndEscape) {
  const std::string home = MakeTempDir();
  fs::create_directories(home + "/config/Orbela");
  WriteFile(home + "/teste.q",
            "seja e \"casa azul\"\n"
            "escreve \"Nome: \" &\n"
            "le edita e\n"
            "escreve \"[\" e \"]\"\n"
            "escreve \"Outro: \" &\n"
            "le v\n"
            "escreve \"[\" v \"]\"\n");
  const std::string transcript = home + "/transcript";
  PtySession s({QUINTERA_BINARY, home + "/teste.q"},
               TerminalEnvironment(home, transcript), home, 30);

  // The field opens silently after the prompt, the cursor at its start.
  ASSERT_TRUE(s.WaitUntil([](const VtScreen& v) { return v.cursor_visible() && At(1, "Nome: casa azul", 7)(v); }))
      << Dump(s);
  EXPECT_EQ(ReadFile(transcript), "fala: Nome: \nletra: 58\n");

  ASSERT_TRUE(s.Press("<C-Right>", At(1, "Nome: casa azul", 12))) << Dump(s);
  ASSERT_TRUE(s.Press("<S-Right><S-Right>", At(1, "Nome: casa azul", 14))) << Dump(s);
  EXPECT_EQ(s.screen().Cell(1, 11).bg, kBlack);
  EXPECT_EQ(s.screen().Cell(1, 12).bg, kDarkGrey);
  EXPECT_EQ(s.screen().Cell(1, 13).bg, kDarkGrey);
  EXPECT_EQ(s.screen().Cell(1, 14).bg, kBlack);

  // Copy the selection, paste it at the end: the pasted text stands selected.
  ASSERT_TRUE(s.Press("<C-c><End>", At(1, "Nome: casa azul", 16))) << Dump(s);
  EXPECT_EQ(s.screen().Cell(1, 12).bg, kBlack) << "a plain move drops the selection";
  ASSERT_TRUE(s.Press("<C-v>", At(1, "Nome: casa azulaz", 16))) << Dump(s);
  EXPECT_EQ(s.screen().Cell(1, 16).bg, kDarkGrey);
  EXPECT_EQ(s.screen().Cell(1, 17).bg, kDarkGrey);

  ASSERT_TRUE(s.Press("<Enter>", At(2, "Outro:", 8))) << Dump(s);
  // LE EDITA leaves the cursor at the field's start: the next write covers it.
  EXPECT_EQ(s.screen().Row(1), "Nome: [casa azulaz]");
  EXPECT_EQ(s.screen().Cell(1, 16).bg, kBlack) << "the field is drawn plain at the end";

  // A typed line given up with Escape leaves blanks behind.
  ASSERT_TRUE(s.Press("olá", At(2, "Outro: olá", 11))) << Dump(s);
  s.Send(KeyBytes("<Esc>"));
  EXPECT_EQ(s.WaitExit(), 0) << Dump(s);
  EXPECT_EQ(s.screen().Row(2), "Outro:");
  EXPECT_EQ(s.screen().Row(3), "[]");
  fs::remove_all(home);
}

}  // namespace
}  // namespace morventa::testing
