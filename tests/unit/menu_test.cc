// MENU: what the user hears and sees while walking a menu, what the script
// gets back, and the sub-commands that fail.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/unit/paced_runtime.h"

namespace morventa::testing {
namespace {

// Seven items in a box of six rows: the seventh needs the box to scroll.
void CreateSevenItems(PacedRuntime& t) {
  ASSERT_TRUE(t.Lines({"menu cria 1 1 20 6"}));
  for (const char* item : {"um", "dois", "tres", "quatro", "cinco", "seis", "sete"})
    ASSERT_TRUE(t.Lines({std::string("menu adiciona \"") + item + "\""}));
}

struct ChoiceCase {
  const char* start;  // v before EXECUTA
  const char* keys;
  const char* v;
  const char* w;
  const char* z;
  const char* speech;
};

class MenuChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(MenuChoiceTest, ReturnsPositionKeyAndItemAndSpeaksTheWay) {
  const ChoiceCase& c = GetParam();
  PacedRuntime t;
  CreateSevenItems(t);
  t.Var("v") = c.start;
  t.Press(c.keys);
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  EXPECT_EQ(t.Var("v"), c.v);
  EXPECT_EQ(t.Var("w"), c.w);
  EXPECT_EQ(t.Var("z"), c.z);
  EXPECT_EQ(t.TakeSpeech(), c.speech);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MenuChoiceTest,
    ::testing::Values(
        ChoiceCase{"3", "<Enter>", "3", "#13", "tres", "fala: tres"},
        ChoiceCase{"1", "<Esc>", "1", "#27", "um", "fala: um"},
        ChoiceCase{"1", "<Tab>", "1", "#9", "um", "fala: um"},
        ChoiceCase{"2", "<F1>", "2", "#0#59", "dois", "fala: dois"},
        ChoiceCase{"2", "<F12>", "2", "#0#70", "dois", "fala: dois"},
        ChoiceCase{"2", "b", "2", "b", "dois", "fala: dois"},
        ChoiceCase{"1", "<Down><Down>5", "3", "5", "tres", "fala: um | fala: dois | fala: tres"},
        // Above the first item and below the last: a beep, silence, nothing chosen.
        ChoiceCase{"1", "<Up><Enter>", "0", "#13", "", "fala: um | bipe"},
        ChoiceCase{"1", "<Up><Up><Enter>", "0", "#13", "", "fala: um | bipe | bipe"},
        ChoiceCase{"7", "<Down><Enter>", "8", "#13", "", "fala: sete | bipe"},
        ChoiceCase{"1", "<Up><Down><Enter>", "1", "#13", "um", "fala: um | bipe | fala: um"},
        ChoiceCase{"4", "<Home><Enter>", "1", "#13", "um", "fala: quatro | bipe | fala: um"},
        ChoiceCase{"2", "<End><Enter>", "7", "#13", "sete", "fala: dois | bipe | fala: sete"},
        ChoiceCase{"4", "<C-PgUp><Enter>", "1", "#13", "um", "fala: quatro | bipe | fala: um"},
        ChoiceCase{"2", "<C-PgDn><Enter>", "7", "#13", "sete", "fala: dois | bipe | fala: sete"},
        ChoiceCase{"1", "<PgDn><Enter>", "8", "#13", "", "fala: um | bipe"},
        ChoiceCase{"6", "<PgUp><Enter>", "0", "#13", "", "fala: seis | bipe"},
        // Keys that are not F1 to F12 start again at the item v names.
        ChoiceCase{"2", "<Down><Down><Right><Enter>", "2", "#13", "dois",
                   "fala: dois | fala: tres | fala: quatro | fala: dois"},
        ChoiceCase{"2", "<Down><Left><Up><Enter>", "1", "#13", "um",
                   "fala: dois | fala: tres | fala: dois | fala: um"},
        ChoiceCase{"3", "<C-F9><C-Right><Esc>", "3", "#27", "tres",
                   "fala: tres | fala: tres | fala: tres"},
        // Keys of no meaning in a menu change nothing.
        ChoiceCase{"3", "<Ins><F2>", "3", "#0#60", "tres", "fala: tres | fala: tres"},
        // A start that is no number keeps the last start (1 after CRIA);
        // one below 1 is 1; one past the list opens below it.
        ChoiceCase{"abc", "<Enter>", "1", "#13", "um", "fala: um"},
        ChoiceCase{" 4 ", "<Enter>", "4", "#13", "quatro", "fala: quatro"},
        ChoiceCase{"-5", "<Enter>", "1", "#13", "um", "fala: um"},
        ChoiceCase{"20", "<Up><Enter>", "8", "#13", "", "bipe"},
        // Marks: a marked item beeps before it is spoken.
        ChoiceCase{"1", " <Down><Up><Enter>", "1", "#13", "um",
                   "fala: um | bipe | fala: um | fala: dois | bipe | fala: um"},
        ChoiceCase{"1", "<S-Down><S-Down><Up><Enter>", "2", "#13", "dois",
                   "fala: um | bipe | bipe | fala: dois | bipe | fala: tres | bipe | fala: dois"},
        // Screen review from the menu, then the menu goes on where it was.
        ChoiceCase{"2", "<Down><C-A-F9><Esc><Enter>", "3", "#13", "tres",
                   "fala: dois | fala: tres | bipe | bipe | bipe | fala: tres"}));

// Which items are marked after the keys, one character per item.
std::string Marks(const MenuList& menu) {
  std::string marks;
  for (int64_t i = 0; i < menu.count(); ++i) marks += menu.marked(i) ? 'x' : '.';
  return marks;
}

struct MarkCase {
  const char* start;
  const char* keys;  // the menu is left with Escape afterwards
  const char* marks;
};

class MenuMarkTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MenuMarkTest, MarksAndUnmarksItems) {
  const MarkCase& c = GetParam();
  PacedRuntime t;
  CreateSevenItems(t);
  t.Var("v") = c.start;
  t.Press(std::string(c.keys) + "<Esc>");
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  EXPECT_EQ(t.Var("w"), "#27");
  EXPECT_EQ(Marks(*t.rt().menu), c.marks);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MenuMarkTest,
    ::testing::Values(MarkCase{"2", " ", ".x....."}, MarkCase{"2", "  ", "......."},
                      MarkCase{"3", "*", "xxxxxxx"}, MarkCase{"3", "*/", "......."},
                      MarkCase{"3", "++", "..x...."}, MarkCase{"3", "*-", "xx.xxxx"},
                      MarkCase{"2", "<S-Down><S-Down>", ".xxx..."},
                      MarkCase{"4", "*<S-Up><S-Up>", "xx..xxx"},
                      MarkCase{"4", "*<S-Home>", "....xxx"},
                      MarkCase{"4", "<S-End>", "...xxxx"},
                      MarkCase{"4", "<C-S-Home>", "xxxx..."},
                      MarkCase{"4", "*<C-S-End>", "xxx...."},
                      // Without Shift, Ctrl+Home and Ctrl+End do nothing.
                      MarkCase{"4", "<C-Home><C-End>", "......."},
                      // Outside the list there is no item to mark.
                      MarkCase{"1", "<Up> +", "......."},
                      MarkCase{"7", "<Down> ", "......."},
                      MarkCase{"7", "<Down><S-End>", "......."},
                      MarkCase{"1", "<Up><S-Down>", "x......"}));

TEST(MenuTest, MarksAndItemsStayFromOneRunToTheNext) {
  PacedRuntime t;
  CreateSevenItems(t);
  t.Var("v") = "2";
  t.Press(" <Enter>");
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  t.Press("<Up><Enter>");
  ASSERT_TRUE(t.Lines({"menu adiciona \"oito\"", "menu executa v w z"}));
  EXPECT_EQ(Marks(*t.rt().menu), ".x......");
  EXPECT_EQ(t.Var("v"), "1");
  EXPECT_EQ(t.TakeSpeech(), "fala: dois | bipe | fala: dois | bipe | fala: dois | fala: um");
}

TEST(MenuTest, DrawsTheBoxInItsColoursAndScrollsToTheCurrentItem) {
  PacedRuntime t;
  t.rt().console.SetTextColour(7);
  t.rt().console.SetBackColour(1);
  CreateSevenItems(t);
  ASSERT_TRUE(t.Lines({"escreve \"12345678901234567890resto da linha\""}));
  const uint8_t attribute = t.rt().console.TextAttribute();
  std::vector<std::pair<int, int>> cursor_at_key;
  t.display().on_key_wait = [&] {
    cursor_at_key.emplace_back(t.rt().console.CursorColumn(), t.rt().console.CursorRow());
  };
  t.Var("v") = "5";
  // Mark the second item, then walk down onto the seventh.
  t.Press("<Up><Up><Up> <Down><Down><Down><Down><Down><Enter>");
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  EXPECT_EQ(t.Var("z"), "sete");
  // The box shows items 2 to 7 in 20 columns, over what was there.
  const std::vector<std::string> rows = {"dois                resto da linha", "tres", "quatro",
                                         "cinco", "seis", "sete"};
  for (int r = 1; r <= 6; ++r) EXPECT_EQ(t.Row(r), rows[static_cast<size_t>(r - 1)]) << "row " << r;
  EXPECT_EQ(t.rt().console.CellAttribute(1, 1), 0x12) << "marked: green";
  EXPECT_EQ(t.rt().console.CellAttribute(6, 20), 0x1E) << "current: yellow";
  EXPECT_EQ(t.rt().console.CellAttribute(3, 1), 0x17) << "other: the text colour";
  EXPECT_EQ(t.rt().console.CellAttribute(1, 21), 0x17) << "outside the box";
  EXPECT_EQ(t.rt().console.TextAttribute(), attribute);
  // At each key the cursor stood on the current item's row, column 1.
  const std::vector<std::pair<int, int>> expected_cursor = {
      {1, 5}, {1, 4}, {1, 3}, {1, 2}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 6}};
  EXPECT_EQ(cursor_at_key, expected_cursor);
}

TEST(MenuTest, CurrentItemWinsOverItsMarkAndTheCursorRestsOutsideTheList) {
  PacedRuntime t;
  CreateSevenItems(t);
  std::vector<uint8_t> first_row_colour;
  std::vector<int> cursor_row;
  t.display().on_key_wait = [&] {
    first_row_colour.push_back(t.rt().console.CellAttribute(1, 1) & 0x0F);
    cursor_row.push_back(t.rt().console.CursorRow());
  };
  t.Var("v") = "1";
  t.Press(" <Up><Enter>");
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  EXPECT_EQ(first_row_colour, (std::vector<uint8_t>{14, 14, 2}));
  EXPECT_EQ(cursor_row, (std::vector<int>{1, 1, 1}));
}

TEST(MenuTest, LongItemIsCutOnScreenButSpokenWholeAndMagnified) {
  PacedRuntime t;
  t.rt().console.MagnifierSet(2, MagnifierColours{});
  ASSERT_TRUE(t.Lines({"menu cria 5 3 12 4", "menu adiciona \"uma opção bem comprida\"",
                       "menu adiciona \"curta\"", "seja v 1"}));
  t.Press("<Enter>");
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  EXPECT_EQ(t.Row(3), "    uma opçã");
  EXPECT_EQ(t.Row(4), "    curta");
  EXPECT_EQ(t.TakeSpeech(), "fala: uma opção bem comprida");
  t.Press("<Down><Down><Enter>");
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  EXPECT_EQ(t.TakeSpeech(), "fala: uma opção bem comprida | fala: curta | bipe");
  std::vector<std::string> shown;
  for (const auto& view : t.display().magnifier) shown.push_back(AnsiToUtf8(TrimView(view.text)));
  EXPECT_EQ(shown, (std::vector<std::string>{"uma opção bem comprida", "uma opção bem comprida",
                                             "curta", ""}))
      << "below the list the strip is blank";
  EXPECT_EQ(t.display().magnifier_hides, 2);
}

TEST(MenuTest, BoxPartlyOffTheScreenIsDrawnOnlyWhereItLies) {
  PacedRuntime t;
  ASSERT_TRUE(t.Lines({"menu cria 75 24 90 30", "menu adiciona \"primeiro item\"",
                       "menu adiciona \"segundo item\"", "seja v 1"}));
  t.Press("<Enter>");
  ASSERT_TRUE(t.Lines({"menu executa v w z"}));
  EXPECT_EQ(t.Row(24), std::string(74, ' ') + "primei");
  EXPECT_EQ(t.Row(25), std::string(74, ' ') + "segund");
  ASSERT_TRUE(t.Lines({"menu termina"}));
  EXPECT_EQ(t.rt().console.CursorColumn(), 75);
  EXPECT_EQ(t.rt().console.CursorRow(), 24);
  EXPECT_EQ(t.Row(1), "") << "nothing wrapped or scrolled";
  EXPECT_EQ(t.Row(24), "");
}

TEST(MenuTest, TerminaBlanksTheBoxAndPutsTheCursorAtItsCorner) {
  PacedRuntime t;
  ASSERT_TRUE(t.Lines({"escreve \"abcdefghijklmnopqrstuvwxyz\"", "escreve \"0123456789\"",
                       "menu cria 3 1 6 2", "menu adiciona \"x\"", "menu termina"}));
  EXPECT_EQ(t.Row(1), "ab    ghijklmnopqrstuvwxyz");
  EXPECT_EQ(t.Row(2), "01    6789");
  EXPECT_EQ(t.rt().console.CursorColumn(), 3);
  EXPECT_EQ(t.rt().console.CursorRow(), 1);
  EXPECT_FALSE(t.rt().menu.has_value());
}

TEST(MenuTest, SubcommandsThatFail) {
  struct Case {
    std::vector<std::string_view> lines;  // the last one is expected to fail
  };
  const Case cases[] = {
      {{"menu adiciona \"x\""}},
      {{"menu executa v w z"}},
      {{"menu cria 1 1 20 6", "menu termina", "menu executa v w z"}},
      {{"menu cria 1 1 20"}},
      {{"menu cria 1 1 20 6 7"}},
      {{"seja a \"x\"", "menu cria a 1 20 6"}},
      {{"menu cria 1 1 20 6", "menu adiciona \"a\" \"b\""}},
      {{"menu cria 1 1 20 6", "menu adiciona"}},
      {{"menu cria 1 1 20 6", "menu executa v w"}},
      {{"menu cria 1 1 20 6", "menu executa v w z x"}},
      {{"menu cria 1 1 20 6", "menu termina agora"}},
      {{"menu mostra"}},
      {{"menu"}},
  };
  for (const auto& c : cases) {
    PacedRuntime t;
    std::string trace;
    for (size_t i = 0; i < c.lines.size(); ++i) {
      trace += std::string(c.lines[i]) + "; ";
      const bool ok = t.Lines({c.lines[i]});
      EXPECT_EQ(ok, i + 1 < c.lines.size()) << trace;
    }
    EXPECT_EQ(t.TakeSpeech(), "") << "no message: " << trace;
  }
}

TEST(MenuTest, SubcommandWordsAreReadInAnyCaseAndTerminaWithoutMenuDoesNothing) {
  PacedRuntime t;
  EXPECT_TRUE(t.Lines({"MENU TERMINA"}));
  EXPECT_TRUE(t.Lines({"Menu Cria 1 1 (10 + 10) 6", "menu ADICIONA \"a\"", "seja v 1"}));
  t.Press("<Enter>");
  EXPECT_TRUE(t.Lines({"menu Executa v w z"}));
  EXPECT_EQ(t.Var("z"), "a");
}

}  // namespace
}  // namespace morventa::testing
