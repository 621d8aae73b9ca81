#include "console/console_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/config.h"
#include "tests/doubles/orbela_environment.h"
#include "tests/doubles/scripted_display.h"

namespace morventa {
namespace {

using testing::DisplayLog;
using testing::DrawnSpan;
using testing::OrbelaEnvironment;
using testing::ScriptedDisplay;

constexpr Modifiers kNone{};
constexpr Modifiers kShift{true, false, false};
constexpr Modifiers kCtrl{false, true, false};
constexpr Modifiers kAlt{false, false, true};
constexpr Modifiers kCtrlShift{true, true, false};
constexpr Modifiers kCtrlAlt{false, true, true};

class ConsoleTest : public ::testing::Test {
 protected:
  void Open(const std::string& ini = "") {
    if (!ini.empty()) env_.WriteUserIni(ini);
    config_ = std::make_unique<Config>(env_.locations());
    console_ = std::make_unique<ConsoleWindow>(*config_, ScriptedDisplay(log_));
    console_->EnsureConsole();
  }

  ConsoleWindow& console() { return *console_; }

  // The characters of a row (1-based), trailing spaces removed.
  std::string Row(int row) const {
    std::string text;
    for (int column = 1; column <= kColumns; ++column) text += static_cast<char>(console_->CellChar(row, column));
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  // Lets the display hand over its next batch of actions, then empties the
  // queue without waiting.
  std::string PumpAndTakeQueued() {
    console_->KeyPending();
    std::string bytes;
    while (!console_->key_queue().empty()) bytes += static_cast<char>(console_->key_queue().Pop());
    return bytes;
  }

  OrbelaEnvironment env_;
  std::shared_ptr<DisplayLog> log_ = std::make_shared<DisplayLog>();
  std::unique_ptr<Config> config_;
  std::unique_ptr<ConsoleWindow> console_;
};

std::string Bytes(std::initializer_list<int> codes) {
  std::string out;
  for (int c : codes) out += static_cast<char>(c);
  return out;
}

// --- Writing ---------------------------------------------------------------

struct WriteCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> rows;  // rows 1.. as expected, trailing spaces removed
  int column, row;                // cursor afterwards, 1-based
  int beeps;
};

TEST_F(ConsoleTest, PutTextFollowsTheControlCharacterRules) {
  const std::string eighty(80, 'x');
  const WriteCase cases[] = {
      {"bel beeps without moving", "ab\a", {"ab"}, 3, 1, 1},
      {"backspace in column 1 does nothing", "\bab", {"ab"}, 3, 1, 0},
      {"backspace blanks the cell it moves to", "abc\b\bX", {"aX"}, 3, 1, 0},
      {"line feed goes to column 1 of the next row", "ab\ncd", {"ab", "cd"}, 3, 2, 0},
      {"carriage return goes to column 1", "abc\rX", {"Xbc"}, 2, 1, 0},
      {"tab, form feed and NUL leave no trace", std::string("a\tb\fc\0d", 7), {"abcd"}, 5, 1, 0},
      {"other control bytes are dropped", "a\x01\x06\x0B\x0E\x1A\x1B\x1F" "b", {"ab"}, 3, 1, 0},
      {"80 characters leave the cursor beyond column 80", eighty, {eighty, ""}, 81, 1, 0},
      {"the 81st character goes to the next row", eighty + "y", {eighty, "y"}, 2, 2, 0},
      {"CR LF after exactly 80 characters is one line break", eighty + "\r\nz", {eighty, "z"}, 2, 2, 0},
      {"LF after exactly 80 characters is one line break", eighty + "\nz", {eighty, "z"}, 2, 2, 0},
      {"backspace beyond column 80 blanks column 80", eighty + "\b", {std::string(79, 'x')}, 80, 1, 0},
      {"bytes above 127 are characters", "\xE7\xE3\x80", {"\xE7\xE3\x80"}, 4, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log_ = std::make_shared<DisplayLog>();
    Open();
    console().PutText(c.bytes);
    for (size_t r = 0; r < c.rows.size(); ++r) EXPECT_EQ(Row(static_cast<int>(r + 1)), c.rows[r]) << "row " << r + 1;
    EXPECT_EQ(console().CursorColumn(), c.column);
    EXPECT_EQ(console().CursorRow(), c.row);
    EXPECT_EQ(log_->beeps, c.beeps);
    EXPECT_EQ(log_->written, c.bytes);  // stream front ends see the bytes as written
  }
}

TEST_F(ConsoleTest, WritingRedrawsOnlyTheChangedSpanOfTheRow) {
  Open();
  console().MoveCursor(5, 3);
  console().PutText("abc");
  ASSERT_FALSE(log_->spans.empty());
  EXPECT_EQ(log_->spans.back(), (DrawnSpan{2, 4, 7}));
  EXPECT_EQ(log_->cursor_column, 7);  // 0-based, as the display gets it
  EXPECT_EQ(log_->cursor_row, 2);
}

TEST_F(ConsoleTest, CellsTakeTheAttributeCurrentWhenWritten) {
  Open();
  console().PutText("a");
  console().SetTextColour(14);
  console().SetBackColour(1);
  console().PutText("b");
  EXPECT_EQ(console().CellAttribute(1, 1), 0x0F);
  EXPECT_EQ(console().CellAttribute(1, 2), 0x1E);
  EXPECT_EQ(console().CellAttribute(1, 3), 0x0F);  // untouched cells keep the initial one
}

TEST_F(ConsoleTest, LineEndOnRow25ScrollsAndTheNewRowTakesTheCurrentBackground) {
  Open();
  for (int i = 1; i <= 24; ++i) console().PutText("line " + std::to_string(i) + "\r\n");
  console().PutText("line 25");
  EXPECT_EQ(log_->scrolls, 0);
  console().SetBackColour(4);
  console().PutText("\r\n");
  EXPECT_EQ(log_->scrolls, 1);
  EXPECT_EQ(Row(1), "line 2");
  EXPECT_EQ(Row(24), "line 25");
  EXPECT_EQ(Row(25), "");
  EXPECT_EQ(console().CellAttribute(24, 1), 0x0F);
  for (int column = 1; column <= kColumns; ++column) ASSERT_EQ(console().CellAttribute(25, column), 0x4F);
  EXPECT_EQ(console().CursorColumn(), 1);
  EXPECT_EQ(console().CursorRow(), 25);
}

TEST_F(ConsoleTest, The81stCharacterOnRow25Scrolls) {
  Open();
  console().MoveCursor(1, 25);
  console().PutText(std::string(80, 'a') + "b");
  EXPECT_EQ(log_->scrolls, 1);
  EXPECT_EQ(Row(24), std::string(80, 'a'));
  EXPECT_EQ(Row(25), "b");
  EXPECT_EQ(console().CursorRow(), 25);
}

TEST_F(ConsoleTest, ClearScreenBlanksEveryCellWithTheCurrentAttributeAndHomes) {
  Open();
  console().PutText("abc\r\ndef");
  console().SetBackColour(2);
  const int repaints = log_->repaints;
  console().ClearScreen();
  for (int row = 1; row <= kRows; ++row) {
    for (int column = 1; column <= kColumns; ++column) {
      ASSERT_EQ(console().CellChar(row, column), ' ');
      ASSERT_EQ(console().CellAttribute(row, column), 0x2F);
    }
  }
  EXPECT_EQ(console().CursorColumn(), 1);
  EXPECT_EQ(console().CursorRow(), 1);
  EXPECT_EQ(log_->repaints, repaints + 1);
}

TEST_F(ConsoleTest, ClearToLineEndBlanksFromTheCursorAndLeavesItInPlace) {
  Open();
  console().PutText("abcdef\r\nnext");
  console().MoveCursor(3, 1);
  console().SetBackColour(1);
  console().ClearToLineEnd();
  EXPECT_EQ(Row(1), "ab");
  EXPECT_EQ(Row(2), "next");
  EXPECT_EQ(console().CellAttribute(1, 2), 0x0F);
  EXPECT_EQ(console().CellAttribute(1, 3), 0x1F);
  EXPECT_EQ(console().CellAttribute(1, 80), 0x1F);
  EXPECT_EQ(console().CursorColumn(), 3);
  EXPECT_EQ(log_->spans.back(), (DrawnSpan{0, 2, 80}));

  // Beyond column 80 there is nothing left to clear.
  console().MoveCursor(1, 3);
  console().PutText(std::string(80, 'z'));
  console().ClearToLineEnd();
  EXPECT_EQ(Row(3), std::string(80, 'z'));
}

TEST_F(ConsoleTest, MoveCursorClampsToTheGrid) {
  Open();
  struct Case {
    int column, row, want_column, want_row;
  };
  const Case cases[] = {{0, 30, 1, 25}, {81, 0, 80, 1}, {-5, -5, 1, 1}, {40, 12, 40, 12}, {80, 25, 80, 25}};
  for (const auto& c : cases) {
    console().MoveCursor(c.column, c.row);
    EXPECT_EQ(console().CursorColumn(), c.want_column) << c.column << "," << c.row;
    EXPECT_EQ(console().CursorRow(), c.want_row) << c.column << "," << c.row;
  }
}

TEST_F(ConsoleTest, CellsOutsideTheGridReadAsSpaceWithAttributeZero) {
  Open();
  console().SetBackColour(3);
  console().ClearScreen();
  const std::pair<int, int> outside[] = {{0, 1}, {26, 1}, {1, 0}, {1, 81}, {-1, -1}};
  for (const auto& [row, column] : outside) {
    EXPECT_EQ(console().CellChar(row, column), ' ') << row << "," << column;
    EXPECT_EQ(console().CellAttribute(row, column), 0) << row << "," << column;
  }
  EXPECT_EQ(console().CellAttribute(25, 80), 0x3F);
}

// --- Colours ---------------------------------------------------------------

struct ColourCase {
  const char* ini;
  uint8_t initial;
  uint8_t after_changes;  // after SetTextColour(18) and SetBackColour(5)
};

TEST_F(ConsoleTest, ColoursStartFromTheConfigurationAndMayBeFixed) {
  const ColourCase cases[] = {
      {"", 0x0F, 0x52},
      {"[VIDEO]\nCORFUNDO=1\nCORLETRA=14\n", 0x1E, 0x52},
      {"[video]\ncorfundo=1\ncorletra=14\ncoresfixas=S\n", 0x1E, 0x1E},
      {"[VIDEO]\nCORESFIXAS=Sim\n", 0x0F, 0x0F},
      {"[VIDEO]\nCORESFIXAS=N\n", 0x0F, 0x52},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    env_.WriteUserIni(c.ini);
    Open();
    EXPECT_EQ(console().TextAttribute(), c.initial);
    EXPECT_EQ(console().CellAttribute(1, 1), c.initial);
    console().SetTextColour(18);
    console().SetBackColour(5);
    EXPECT_EQ(console().TextAttribute(), c.after_changes);
    console().PutText("x");
    EXPECT_EQ(console().CellAttribute(1, 1), c.after_changes);
  }
}

TEST_F(ConsoleTest, ColourMapFollowsTabcores) {
  struct Case {
    const char* tabcores;
    std::vector<int> entries;  // all sixteen
  };
  const Case cases[] = {
      {nullptr, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,0", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0}},
      {"15,14", {15, 14, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      // Reading stops at the first entry that is not a decimal number.
      {"7,7,x,7,7", {7, 7, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"7,,7", {7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"7,$F,7", {7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tabcores ? c.tabcores : "(absent)");
    env_.WriteUserIni(c.tabcores ? std::string("[VIDEO]\nTABCORES=") + c.tabcores + "\n" : "");
    Open();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(console().colour_map().Entry(i), c.entries[i]) << "entry " << i;
  }
}

TEST_F(ConsoleTest, ColourFifteenMappedToZeroDrawsBlackAndEntriesAbove15DrawBlack) {
  Open("[VIDEO]\nTABCORES=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,0\n");
  const Rgb black{0, 0, 0};
  EXPECT_EQ(console().colour_map().Colour(15), black);
  EXPECT_EQ(console().colour_map().Colour(14), (Rgb{255, 255, 0}));
  EXPECT_EQ(console().colour_map().Colour(6), (Rgb{68, 34, 34}));

  Open("[VIDEO]\nTABCORES=16,200\n");
  EXPECT_EQ(console().colour_map().Colour(0), black);
  EXPECT_EQ(console().colour_map().Colour(1), black);
  EXPECT_EQ(console().colour_map().Colour(9), (Rgb{128, 128, 255}));
}

// --- Keys ------------------------------------------------------------------

struct TypedCase {
  uint8_t ch;
  Modifiers mods;
  std::string queued;
};

TEST_F(ConsoleTest, CharTypedQueuesTheCharacterWithCtrlEnterAndCtrlBackspaceTranslated) {
  Open();
  const TypedCase cases[] = {
      {'a', kNone, "a"},        {13, kNone, "\r"},     {13, kCtrl, "\n"},
      {8, kNone, "\b"},         {8, kCtrl, "\x7F"},    {3, kCtrl, "\x03"},
      {27, kNone, "\x1B"},      {0xE7, kNone, "\xE7"}, {'A', kShift, "A"},
      {13, kShift, "\r"},       {9, kNone, "\t"},
      // A lone 0 would be taken for the start of a function key.
      {0, kCtrl, ""},
  };
  for (const auto& c : cases) {
    log_->Then([&c](ConsoleEvents& e) { e.CharTyped(c.ch, c.mods); });
    EXPECT_EQ(PumpAndTakeQueued(), c.queued) << "char " << int(c.ch);
  }
}

struct KeyCase {
  SpecialKey key;
  Modifiers mods;
  std::string queued;
};

TEST_F(ConsoleTest, KeyDownQueuesZeroAndTheCodeOfTheKeyTable) {
  Open();
  const KeyCase cases[] = {
      {SpecialKey::kF1, kNone, Bytes({0, 59})},       {SpecialKey::kF1, kCtrl, Bytes({0, 94})},
      {SpecialKey::kF10, kNone, Bytes({0, 68})},      {SpecialKey::kF10, kCtrl, Bytes({0, 103})},
      {SpecialKey::kF11, kNone, Bytes({0, 69})},      {SpecialKey::kF11, kCtrl, Bytes({0, 104})},
      {SpecialKey::kF12, kNone, Bytes({0, 70})},      {SpecialKey::kF12, kCtrl, Bytes({0, 105})},
      {SpecialKey::kInsert, kNone, Bytes({0, 82})},   {SpecialKey::kInsert, kShift, Bytes({0, 254})},
      {SpecialKey::kInsert, kCtrl, Bytes({0, 255})},  {SpecialKey::kInsert, kCtrlShift, Bytes({0, 255})},
      {SpecialKey::kDelete, kNone, Bytes({0, 83})},   {SpecialKey::kDelete, kCtrl, Bytes({0, 83})},
      {SpecialKey::kHome, kNone, Bytes({0, 71})},     {SpecialKey::kHome, kCtrl, Bytes({0, 119})},
      {SpecialKey::kEnd, kNone, Bytes({0, 79})},      {SpecialKey::kEnd, kCtrl, Bytes({0, 117})},
      {SpecialKey::kPageUp, kNone, Bytes({0, 73})},   {SpecialKey::kPageUp, kCtrl, Bytes({0, 132})},
      {SpecialKey::kPageDown, kNone, Bytes({0, 81})}, {SpecialKey::kPageDown, kCtrl, Bytes({0, 118})},
      {SpecialKey::kUp, kNone, Bytes({0, 72})},       {SpecialKey::kUp, kCtrl, Bytes({0, 113})},
      {SpecialKey::kDown, kNone, Bytes({0, 80})},     {SpecialKey::kDown, kCtrl, Bytes({0, 114})},
      {SpecialKey::kLeft, kNone, Bytes({0, 75})},     {SpecialKey::kLeft, kCtrl, Bytes({0, 115})},
      {SpecialKey::kRight, kNone, Bytes({0, 77})},    {SpecialKey::kRight, kCtrl, Bytes({0, 116})},
      {SpecialKey::kF5, kShift, Bytes({0, 63})},
      // Alt alone leaves every key but Left and Right to the system.
      {SpecialKey::kLeft, kAlt, Bytes({0, 75})},      {SpecialKey::kRight, kAlt, Bytes({0, 77})},
      {SpecialKey::kUp, kAlt, ""},                    {SpecialKey::kF4, kAlt, ""},
      {SpecialKey::kInsert, Modifiers{true, false, true}, ""},
      // With Ctrl+Alt the table's Ctrl codes apply.
      {SpecialKey::kF9, kCtrlAlt, Bytes({0, 102})},   {SpecialKey::kLeft, kCtrlAlt, Bytes({0, 115})},
  };
  for (const auto& c : cases) {
    log_->Then([&c](ConsoleEvents& e) { e.KeyDown(c.key, c.mods); });
    EXPECT_EQ(PumpAndTakeQueued(), c.queued)
        << "key " << static_cast<int>(c.key) << " shift " << c.mods.shift << " ctrl " << c.mods.ctrl
        << " alt " << c.mods.alt;
  }
}

TEST_F(ConsoleTest, AltKeyDownGivesAltCodesOnlyWithCtrl) {
  Open();
  struct Case {
    char key;
    Modifiers mods;
    std::string queued;
  };
  const Case cases[] = {
      {'Q', kAlt, ""},                     {'1', kAlt, ""},
      {'A', kCtrlAlt, Bytes({0, 30})},     {'a', kCtrlAlt, Bytes({0, 30})},
      {'Q', kCtrlAlt, Bytes({0, 16})},     {'W', kCtrlAlt, Bytes({0, 17})},
      {'E', kCtrlAlt, Bytes({0, 18})},     {'M', kCtrlAlt, Bytes({0, 50})},
      {'Z', kCtrlAlt, Bytes({0, 44})},     {'1', kCtrlAlt, Bytes({0, 120})},
      {'9', kCtrlAlt, Bytes({0, 128})},    {'0', kCtrlAlt, Bytes({0, 129})},
      {'-', kCtrlAlt, ""},
  };
  for (const auto& c : cases) {
    log_->Then([&c](ConsoleEvents& e) { e.AltKeyDown(c.key, c.mods); });
    EXPECT_EQ(PumpAndTakeQueued(), c.queued) << c.key << " ctrl " << c.mods.ctrl;
  }
}

TEST_F(ConsoleTest, TheQueueKeepsTheFirst64BytesAndATwoByteKeyNeedsTwoPlaces) {
  Open();
  std::string seventy;
  for (int i = 0; i < 70; ++i) seventy += static_cast<char>('A' + i % 26);
  log_->Then([&](ConsoleEvents& e) {
    for (unsigned char c : seventy) e.CharTyped(c, kNone);
  });
  EXPECT_EQ(PumpAndTakeQueued(), seventy.substr(0, 64));

  // One character and then function keys: the key that would find one free
  // place is dropped, so fewer than 64 bytes are kept.
  log_->Then([](ConsoleEvents& e) {
    e.CharTyped('x', kNone);
    for (int i = 0; i < 40; ++i) e.KeyDown(SpecialKey::kF1, kNone);
    e.AltKeyDown('Q', kCtrlAlt);
    e.MouseDown(MouseButton::kMiddle);
    e.MouseWheel(1);
  });
  std::string expected = "x";
  for (int i = 0; i < 31; ++i) expected += Bytes({0, 59});
  EXPECT_EQ(PumpAndTakeQueued(), expected);

  // The last free place still takes a one-byte key.
  log_->Then([](ConsoleEvents& e) {
    for (int i = 0; i < 63; ++i) e.CharTyped('a', kNone);
    e.KeyDown(SpecialKey::kUp, kNone);
    e.CharTyped('b', kNone);
    e.CharTyped('c', kNone);
  });
  EXPECT_EQ(PumpAndTakeQueued(), std::string(63, 'a') + "b");
}

TEST_F(ConsoleTest, MouseButtonsAndWheelQueueKeys) {
  Open();
  struct Case {
    std::function<void(ConsoleEvents&)> act;
    std::string queued;
  };
  const Case cases[] = {
      {[](ConsoleEvents& e) { e.MouseDown(MouseButton::kLeft); }, "\r"},
      {[](ConsoleEvents& e) { e.MouseDown(MouseButton::kRight); }, "\x1B"},
      {[](ConsoleEvents& e) { e.MouseDown(MouseButton::kMiddle); }, Bytes({0, 67})},
      {[](ConsoleEvents& e) { e.MouseWheel(1); }, Bytes({0, 72})},
      {[](ConsoleEvents& e) { e.MouseWheel(-1); }, Bytes({0, 80})},
      // The click that brings the window to the front does nothing; the next one acts.
      {[](ConsoleEvents& e) {
         e.FocusChanged(true, true);
         e.MouseDown(MouseButton::kLeft);
         e.MouseDown(MouseButton::kRight);
       },
       "\x1B"},
      {[](ConsoleEvents& e) {
         e.FocusChanged(true, true);
         e.MouseWheel(-1);
         e.MouseWheel(-1);
       },
       Bytes({0, 80})},
      // Gaining the focus with no button held, or losing it again, swallows nothing.
      {[](ConsoleEvents& e) {
         e.FocusChanged(true, false);
         e.MouseDown(MouseButton::kLeft);
       },
       "\r"},
      {[](ConsoleEvents& e) {
         e.FocusChanged(true, true);
         e.FocusChanged(false, false);
         e.MouseDown(MouseButton::kLeft);
       },
       "\r"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    log_->Then(cases[i].act);
    EXPECT_EQ(PumpAndTakeQueued(), cases[i].queued) << "case " << i;
  }
}

TEST_F(ConsoleTest, TakeKeyWaitsWithTheCaretShownAndRemembersModifiers) {
  Open();
  bool caret_while_waiting = false;
  log_->Then([&](ConsoleEvents& e) {
    caret_while_waiting = log_->awaiting_key;
    e.KeyDown(SpecialKey::kRight, kAlt);
    e.CharTyped('A', kShift);
  });
  EXPECT_EQ(console().TakeKey(), 0);
  EXPECT_TRUE(caret_while_waiting);
  EXPECT_FALSE(log_->awaiting_key);
  EXPECT_EQ(console().LastKeyModifiers(), kAlt);
  EXPECT_EQ(console().TakeKey(), 77);
  EXPECT_EQ(console().LastKeyModifiers(), kAlt);
  EXPECT_EQ(console().TakeKey(), 'A');
  EXPECT_EQ(console().LastKeyModifiers(), kShift);
}

TEST_F(ConsoleTest, KeyPendingAndWritesPumpTheDisplay) {
  Open();
  EXPECT_FALSE(console().KeyPending());
  log_->Type("k");
  console().ConsoleOutput("text");
  EXPECT_TRUE(console().KeyPending());
  EXPECT_EQ(console().TakeKey(), 'k');
  EXPECT_FALSE(console().KeyPending());
}

struct LineCase {
  const char* name;
  std::function<void(DisplayLog&)> type;
  std::string line;
  std::string row;  // echo on the grid
};

TEST_F(ConsoleTest, BasicLineInputEchoesAndStoresTheLine) {
  const LineCase cases[] = {
      {"plain line", [](DisplayLog& d) { d.Type("abc\r"); }, "abc\r\n", "abc"},
      {"backspace removes and echoes", [](DisplayLog& d) { d.Type("abc\b\bd\r"); }, "ad\r\n", "ad"},
      {"backspace on an empty line", [](DisplayLog& d) { d.Type("\b\bx\r"); }, "x\r\n", "x"},
      {"control bytes are ignored", [](DisplayLog& d) { d.Type("a\x1B\x03\tb\r"); }, "ab\r\n", "ab"},
      {"an extended key arrives as its code byte",
       [](DisplayLog& d) {
         d.Then([](ConsoleEvents& e) { e.KeyDown(SpecialKey::kUp, {}); });
         d.Type("\r");
       },
       "H\r\n", "H"},
      {"126 characters at most", [](DisplayLog& d) { d.Type(std::string(130, 'q') + "\b\r"); },
       std::string(125, 'q') + "\r\n", std::string(80, 'q')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log_ = std::make_shared<DisplayLog>();
    Open();
    c.type(*log_);
    EXPECT_EQ(console().BasicLineInput(), c.line);
    EXPECT_EQ(Row(1), c.row);
    EXPECT_EQ(console().CursorColumn(), 1);  // the Enter is echoed as CR LF
  }
}

TEST_F(ConsoleTest, BackspaceIsEchoedOnlyWhenACharacterWasStored) {
  Open();
  log_->Type("\ba\b\b\r");
  console().BasicLineInput();
  EXPECT_EQ(log_->written, "a\b\r\n");
}

// --- Closing ---------------------------------------------------------------

TEST_F(ConsoleTest, CtrlBreakAndClosingEndAtTheNextPumpAndDrainTheKeys) {
  const std::function<void(ConsoleEvents&)> closers[] = {
      [](ConsoleEvents& e) { e.KeyDown(SpecialKey::kCancel, kCtrl); },
      [](ConsoleEvents& e) { e.CloseRequested(); },
  };
  for (const auto& close : closers) {
    log_ = std::make_shared<DisplayLog>();
    Open();
    log_->Then([&](ConsoleEvents& e) {
      e.CharTyped('a', kNone);
      close(e);
    });
    EXPECT_THROW(console().KeyPending(), ConsoleClosed);
    EXPECT_TRUE(log_->closed);
    EXPECT_FALSE(log_->normal_end);
    EXPECT_TRUE(console().key_queue().empty());
    // Once closed, a wait for a key cannot wait for ever.
    EXPECT_THROW(console().TakeKey(), ConsoleClosed);
  }
}

TEST_F(ConsoleTest, ASignalToEndIsSeenWithoutWaitingForEvents) {
  Open();
  EXPECT_FALSE(console().close_requested());
  log_->close_signalled = true;
  EXPECT_TRUE(console().close_requested());  // what the run loop asks between lines
  EXPECT_THROW(console().KeyPending(), ConsoleClosed);
  EXPECT_TRUE(log_->closed);
}

TEST_F(ConsoleTest, ASignalToEndCutsALongDelayShort) {
  Open();
  log_->close_signalled = true;
  EXPECT_THROW(console().DelayMs(600000), ConsoleClosed);
}

TEST_F(ConsoleTest, DelayPumpsAfterSleeping) {
  Open();
  log_->Type("k");
  console().DelayMs(1);
  EXPECT_EQ(PumpAndTakeQueued(), "k");
}

TEST_F(ConsoleTest, NormalEndTitlesTheWindowProgramaTerminado) {
  Open();
  console().SetTitle("quintera - x.q");
  EXPECT_EQ(log_->title, "quintera - x.q");
  console().EndProgram(true);
  EXPECT_EQ(log_->title, "Programa terminado");
  EXPECT_TRUE(log_->closed);
  EXPECT_TRUE(log_->normal_end);
  EXPECT_FALSE(console().KeyPending());
  EXPECT_THROW(console().TakeKey(), ConsoleClosed);
}

TEST_F(ConsoleTest, TheConsoleIsCreatedAtItsFirstUse) {
  config_ = std::make_unique<Config>(env_.locations());
  console_ = std::make_unique<ConsoleWindow>(*config_, ScriptedDisplay(log_));
  EXPECT_FALSE(log_->opened);
  EXPECT_EQ(console().CellChar(1, 1), ' ');
  EXPECT_FALSE(log_->opened);
  console().SetTextColour(3);
  EXPECT_TRUE(log_->opened);
}

}  // namespace
}  // namespace morventa
