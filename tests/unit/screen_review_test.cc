// Screen review: each key on a small screen, what is heard and where the
// review cursor ends; reading ranges, search, go-to, copy, and the way back.
#include "console/screen_review.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/unit/paced_runtime.h"

namespace morventa::testing {
namespace {

void Put(PacedRuntime& t, int column, int row, std::string_view utf8, int colour = 15) {
  t.rt().console.MoveCursor(column, row);
  t.rt().console.SetTextColour(colour);
  t.rt().console.PutText(Ansi(utf8));
  t.rt().console.SetTextColour(15);
}

// Row 1 a title, row 2 words of every kind, row 3 two fields of one colour
// parted by "|" and a field of another colour, row 25 the last line.
void FillScreen(PacedRuntime& t) {
  Put(t, 1, 1, "Menu principal");
  Put(t, 1, 2, "  casa  bcd  ==========  x");
  Put(t, 1, 3, "nome|idade");
  Put(t, 12, 3, "verde", 2);
  Put(t, 1, 25, "fim da tela");
}

struct ReviewCase {
  int column, row;  // where the console cursor stands when review starts
  const char* keys;  // Escape is pressed afterwards
  const char* speech;  // between the beep of the start and the two of the end
  int end_column, end_row;  // the review cursor when Escape is pressed
};

class ReviewKeyTest : public ::testing::TestWithParam<ReviewCase> {};

TEST_P(ReviewKeyTest, SpeaksAndMovesTheReviewCursor) {
  const ReviewCase& c = GetParam();
  PacedRuntime t;
  FillScreen(t);
  t.rt().console.MoveCursor(c.column, c.row);
  std::pair<int, int> review{0, 0};
  t.display().on_key_wait = [&] {
    review = {t.rt().console.CursorColumn(), t.rt().console.CursorRow()};
  };
  t.Press(std::string(c.keys) + "<Esc>");
  t.TakeSpeech();
  ReviewScreen(t.rt());
  std::string expected = "bipe";
  if (*c.speech) expected += std::string(" | ") + c.speech;
  expected += " | bipe | bipe";
  EXPECT_EQ(t.TakeSpeech(), expected);
  EXPECT_EQ(review, std::make_pair(c.end_column, c.end_row));
  EXPECT_EQ(t.rt().console.CursorColumn(), c.column) << "the console cursor comes back";
  EXPECT_EQ(t.rt().console.CursorRow(), c.row);
  EXPECT_TRUE(t.display().keys.empty()) << "every key was used";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ReviewKeyTest,
    ::testing::Values(
        ReviewCase{7, 2, "", "", 7, 2},
        // Rows: Up on row 1 and Down on row 25 refuse; otherwise the row is
        // read and the cursor waits at its start.
        ReviewCase{5, 1, "<Up>", "bipe", 5, 1},
        ReviewCase{5, 2, "<Up>", "fala: Menu | fala: principal | clique", 1, 1},
        ReviewCase{5, 25, "<Down>", "clique | bipe", 1, 25},
        ReviewCase{5, 24, "<Down>", "clique | fala: fim | fala: da | fala: tela | clique", 1, 25},
        ReviewCase{5, 24, "<Enter>", "clique", 1, 25},
        ReviewCase{5, 25, "<Enter>", "clique | bipe", 1, 25},
        ReviewCase{5, 12, "<PgUp>", "fala: Menu | fala: principal | clique", 1, 1},
        ReviewCase{5, 12, "<PgDn>", "fala: fim | fala: da | fala: tela | clique", 1, 25},
        ReviewCase{9, 1, " ", "fala: Menu | fala: principal | clique", 9, 1},
        // Characters.
        ReviewCase{3, 2, "<Right>", "letra: 99", 4, 2},
        ReviewCase{3, 2, "<Left>", "letra: 32", 2, 2},
        ReviewCase{3, 2, "<BS><BS>", "letra: 32 | letra: 32", 1, 2},
        ReviewCase{1, 2, "<Left>", "bipe | bipe", 1, 2},
        ReviewCase{80, 2, "<Right><Right>", "letra: 32 | letra: 32 | bipe", 80, 2},
        ReviewCase{9, 2, "<Home>", "", 1, 2},
        ReviewCase{1, 2, "<End>", "", 27, 2},
        ReviewCase{1, 4, "<End>", "", 1, 4},
        ReviewCase{9, 3, "<C-k>", "fala: 3 9", 9, 3},
        // Words: F1 reads the next one; a run of signs is said as three, a
        // word of consonants is spelled; past the last word a click and the
        // end of the row.
        ReviewCase{1, 2, "<F1>", "fala: casa", 7, 2},
        ReviewCase{7, 2, "<F1>", "soletra: bcd | letra: 98 | letra: 99 | letra: 100", 12, 2},
        ReviewCase{12, 2, "<F1>", "fala: === | letra: 61 | letra: 61 | letra: 61", 24, 2},
        ReviewCase{24, 2, "<F1>", "fala: x", 27, 2},
        ReviewCase{27, 2, "<F1>", "clique", 27, 2},
        ReviewCase{5, 2, "<C-Left>", "clique", 3, 2},
        ReviewCase{3, 2, "<C-Left>", "bipe", 1, 2},
        ReviewCase{9, 2, "<C-Left>", "clique", 3, 2},
        ReviewCase{3, 2, "<C-Right>", "clique", 9, 2},
        ReviewCase{26, 2, "<C-Right>", "bipe", 27, 2},
        // Colour blocks: "|" parts one colour; the next colour is its own block.
        ReviewCase{2, 3, "<Tab>", "clique", 6, 3},
        ReviewCase{7, 3, "<Tab>", "clique", 13, 3},
        ReviewCase{12, 3, "<Tab>", "clique", 18, 3},
        ReviewCase{5, 3, "<Tab>", "clique", 6, 3},
        ReviewCase{18, 3, "<Tab>", "", 17, 3},
        ReviewCase{7, 3, "<C-F1>", "fala: idade | clique", 7, 3},
        ReviewCase{5, 3, "<C-F1>", "bipe", 5, 3},
        // The first and the last letter on the screen, and their rows read.
        ReviewCase{9, 12, "<C-PgUp>", "fala: Menu | fala: principal | clique", 1, 1},
        ReviewCase{9, 12, "<C-PgDn>", "fala: fim | fala: da | fala: tela | clique", 11, 25},
        // Keys of no meaning.
        ReviewCase{9, 12, "5", "bipe | clique | bipe", 9, 12},
        ReviewCase{9, 12, "<F2>", "bipe | clique | bipe", 9, 12}));

class ReviewReadingTest : public ::testing::TestWithParam<ReviewCase> {};

TEST_P(ReviewReadingTest, TwoLetterCommandsReadTheirRange) {
  const ReviewCase& c = GetParam();
  PacedRuntime t;
  Put(t, 1, 1, "Menu principal");
  Put(t, 1, 2, "nome|idade");
  Put(t, 12, 2, "verde", 2);
  t.rt().console.MoveCursor(c.column, c.row);
  std::pair<int, int> review{0, 0};
  t.display().on_key_wait = [&] {
    review = {t.rt().console.CursorColumn(), t.rt().console.CursorRow()};
  };
  t.Press(std::string(c.keys) + "<Esc>");
  t.TakeSpeech();
  ReviewScreen(t.rt());
  std::string expected = "bipe";
  if (*c.speech) expected += std::string(" | ") + c.speech;
  expected += " | bipe | bipe";
  EXPECT_EQ(t.TakeSpeech(), expected);
  EXPECT_EQ(review, std::make_pair(c.end_column, c.end_row));
}

// Blank rows each end with their click too.
std::string Clicks(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += i ? " | clique" : "clique";
  return s;
}

const std::string kWholeScreen =
    "fala: Menu | fala: principal | clique | fala: nome | fala: |idade | letra: 124 | "
    "fala: verde | " + Clicks(24);

INSTANTIATE_TEST_SUITE_P(
    Keys, ReviewReadingTest,
    ::testing::Values(
        // Rows and blocks leave the review cursor where it was.
        ReviewCase{9, 2, "tl", "fala: nome | fala: |idade | letra: 124 | fala: verde | clique", 9, 2},
        ReviewCase{9, 2, "LL", "fala: nome | fala: |idade | letra: 124 | fala: verde | clique", 9, 2},
        ReviewCase{8, 2, "il", "fala: nome | fala: |id | letra: 124 | clique", 8, 2},
        ReviewCase{1, 2, "il", "bipe", 1, 2},
        ReviewCase{8, 2, "fl", "fala: ade | fala: verde | clique", 8, 2},
        ReviewCase{8, 2, "tc", "fala: idade | clique", 8, 2},
        ReviewCase{8, 2, "ic", "fala: id | clique", 8, 2},
        ReviewCase{8, 2, "fc", "fala: ade | clique", 8, 2},
        ReviewCase{12, 2, "TC", "fala: verde | clique", 12, 2},
        // The screen commands leave it where reading ended.
        ReviewCase{3, 3, "tt", kWholeScreen.c_str(), 1, 25},
        ReviewCase{3, 3, "lt", kWholeScreen.c_str(), 1, 25},
        ReviewCase{8, 2, "it", "fala: Menu | fala: principal | clique | fala: nome | fala: |id | letra: 124 | clique",
                   8, 2},
        ReviewCase{8, 24, "ft", "clique | clique", 1, 25},
        ReviewCase{1, 1, "it", "bipe", 1, 1},
        // Any other pair.
        ReviewCase{8, 2, "tx", "bipe | clique | bipe", 8, 2},
        ReviewCase{8, 2, "xl", "bipe | clique | bipe", 8, 2},
        ReviewCase{8, 2, "t<F1>", "bipe | clique | bipe", 8, 2}));

TEST(ReviewTest, AKeyEndsTheReadingWhereItGot) {
  PacedRuntime t;
  Put(t, 1, 1, "um dois tres");
  Put(t, 1, 2, "quatro cinco");
  t.rt().console.MoveCursor(1, 1);
  t.Press("tt<C-k><Esc>");
  t.TakeSpeech();
  // The user presses Home while "dois" is being said.
  bool pressed = false;
  t.rt().console.AddPumpHook([&] {
    if (!pressed && t.SpeechSoFar().find("fala: dois") != std::string::npos) {
      pressed = true;
      t.rt().console.key_queue().PushExtended(71);
    }
  });
  ReviewScreen(t.rt());
  // Reading ended in the middle of the first row, with no click, and the
  // review cursor stood after "dois" until Home took it to column 1.
  EXPECT_EQ(t.TakeSpeech(), "bipe | fala: um | fala: dois | fala: 1 1 | bipe | bipe");
}

TEST(ReviewTest, SearchFindsTheTextBelowTheCursorAndAgainFromThere) {
  PacedRuntime t;
  Put(t, 1, 1, "casa azul");
  Put(t, 1, 2, "uma casa");
  Put(t, 1, 3, "outra casa, mais casa");
  t.rt().console.MoveCursor(1, 1);
  std::vector<std::pair<int, int>> at;
  t.display().on_key_wait = [&] { at.emplace_back(t.rt().console.CursorColumn(), t.rt().console.CursorRow()); };
  t.Press("<F5>cas<BS>sa<Enter><C-F5><C-F5><C-F5><C-F5><Esc>");
  t.TakeSpeech();
  ReviewScreen(t.rt());
  EXPECT_EQ(t.TakeSpeech(),
            "bipe | fala: Qual texto | letra: 99 | letra: 97 | letra: 115 | som: _DEL | letra: 115 | "
            "letra: 115 | letra: 97 | clique | clique | clique | bipe | bipe | bipe | bipe | bipe | bipe");
  // The match on the review row itself is passed over: the search starts
  // after the review column.
  const std::vector<std::pair<int, int>> expected = {
      {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1},  // F5 and the text
      {5, 2}, {7, 3}, {18, 3}, {18, 3}, {18, 3}};
  EXPECT_EQ(at, expected);
  EXPECT_EQ(t.rt().review.search_text, "casa");
}

TEST(ReviewTest, SearchCancelledOrEmptyKeepsTheLastText) {
  PacedRuntime t;
  Put(t, 1, 1, "abc");
  Put(t, 1, 3, "abc");
  t.rt().review.search_text = "abc";
  t.rt().console.MoveCursor(1, 1);
  std::vector<std::pair<int, int>> at;
  t.display().on_key_wait = [&] { at.emplace_back(t.rt().console.CursorColumn(), t.rt().console.CursorRow()); };
  t.Press("<F5>x<Esc><F5><Enter><C-F5><F5><F1>z<Enter><Esc>");
  t.TakeSpeech();
  ReviewScreen(t.rt());
  EXPECT_EQ(t.TakeSpeech(),
            "bipe | fala: Qual texto | letra: 120 | fala: Qual texto | clique | fala: Qual texto | "
            "letra: 122 | bipe | bipe | bipe | bipe");
  EXPECT_EQ(t.rt().review.search_text, "z");
  EXPECT_EQ(at.back(), std::make_pair(1, 3));
}

TEST(ReviewTest, GoToTakesFourDigits) {
  struct Case {
    const char* keys;
    const char* speech;
    std::pair<int, int> at;
  };
  const Case cases[] = {
      {"<F6>1005", "fala: Entre linha e coluna | letra: 49 | letra: 48 | letra: 48 | letra: 53", {5, 10}},
      {"<F6>2580", "fala: Entre linha e coluna | letra: 50 | letra: 53 | letra: 56 | letra: 48", {80, 25}},
      {"<F6>1a", "fala: Entre linha e coluna | letra: 49 | bipe | bipe", {7, 3}},
      {"<F6><Up>", "fala: Entre linha e coluna | bipe | bipe", {7, 3}},
      // Outside the screen each correction beeps.
      {"<F6>0000", "fala: Entre linha e coluna | letra: 48 | letra: 48 | letra: 48 | letra: 48 | bipe | bipe",
       {1, 1}},
      {"<F6>9999", "fala: Entre linha e coluna | letra: 57 | letra: 57 | letra: 57 | letra: 57 | bipe | bipe",
       {80, 25}},
      {"<F6>0581", "fala: Entre linha e coluna | letra: 48 | letra: 53 | letra: 56 | letra: 49", {81, 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    PacedRuntime t;
    t.rt().console.MoveCursor(7, 3);
    std::pair<int, int> at;
    t.display().on_key_wait = [&] {
      at = {t.rt().console.CursorColumn(), t.rt().console.CursorRow()};
    };
    t.Press(std::string(c.keys) + "<C-k><Esc>");
    t.TakeSpeech();
    ReviewScreen(t.rt());
    EXPECT_EQ(t.TakeSpeech(), std::string("bipe | ") + c.speech + " | fala: " + std::to_string(c.at.second) +
                                  " " + std::to_string(c.at.first) + " | bipe | bipe");
    // The console cursor cannot stand past column 80; the review cursor can.
    EXPECT_EQ(at, std::make_pair(std::min(c.at.first, 80), c.at.second));
  }
}

TEST(ReviewTest, CtrlCCopiesTheWholeScreenRowByRow) {
  PacedRuntime t;
  Put(t, 1, 1, "primeira linha");
  Put(t, 75, 25, "ultima");
  t.rt().console.MoveCursor(1, 1);
  t.Press("<C-c><Esc>");
  ReviewScreen(t.rt());
  std::string expected;
  for (int r = 1; r <= 25; ++r) {
    std::string row(80, ' ');
    if (r == 1) row.replace(0, 14, "primeira linha");
    if (r == 25) row.replace(74, 6, "ultima");
    expected += row + "\r\n";
  }
  EXPECT_EQ(t.rt().console.ClipboardGet(4096), expected);
}

TEST(ReviewTest, MagnifierFollowsTheReviewRowWithoutItsLeadingBlanks) {
  PacedRuntime t;
  t.rt().console.MagnifierSet(1, MagnifierColours{});
  Put(t, 5, 2, "texto recuado");
  t.rt().console.MoveCursor(1, 2);
  t.Press("<Right><Right><Right><Right><Right><Right><Esc>");
  ReviewScreen(t.rt());
  std::vector<int> highlights;
  for (const auto& view : t.display().magnifier) {
    EXPECT_EQ(TrimView(view.text), "texto recuado");
    highlights.push_back(view.highlight);
  }
  // Columns 1 to 5 lie in the blanks (position 1: nothing highlighted);
  // column 6 is position 2, with the character before it highlighted.
  EXPECT_EQ(highlights, (std::vector<int>{-1, -1, -1, -1, -1, 0, 1}));
  EXPECT_EQ(t.display().magnifier_hides, 1);
}

}  // namespace
}  // namespace morventa::testing
