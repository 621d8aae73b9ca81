// The line editor as a user meets it: keys pressed one at a time, the field
// that comes back, the key that ended editing, what was heard, what the
// screen showed and what went to the clipboard.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/line_editor.h"
#include "tests/unit/paced_runtime.h"

namespace morventa::testing {
namespace {

constexpr int kEnter = 13;

// Edits a field of 40 columns at row 1 and returns the ending byte.
int Edit(PacedRuntime& t, std::string& field, int limit, const std::string& keys) {
  t.Press(keys);
  return LineEditor(t.rt(), field, 1, 1, 40, limit);
}

struct EditCase {
  const char* what;
  const char* initial;  // UTF-8
  int limit;
  const char* keys;
  const char* field;  // UTF-8
  int ended;
};

class Edits : public ::testing::TestWithParam<EditCase> {};

TEST_P(Edits, GiveTheFieldAndTheEndingKey) {
  const EditCase& c = GetParam();
  PacedRuntime t;
  std::string field = Ansi(c.initial);
  EXPECT_EQ(Edit(t, field, c.limit, c.keys), c.ended);
  EXPECT_EQ(AnsiToUtf8(field), c.field);
  EXPECT_TRUE(t.display().keys.empty()) << "keys left unread";
}

const EditCase kEdits[] = {
    {"typing into an empty field", "", 255, "ação<Enter>", "ação", kEnter},
    {"the first letter replaces the text", "casas", 5, "x<Enter>", "x", kEnter},
    {"a move first keeps the text", "casas", 5, "<Right>x<Enter>", "cxasa", kEnter},
    {"a letter beyond a full field changes nothing", "casas", 5, "<End>x<Enter>", "casas", kEnter},
    {"inserting at the start of a full field drops its last letter", "casas", 5, "<Home>x<Enter>",
     "xcasa", kEnter},
    {"backspace deletes before the cursor", "abc", 10, "<End><BS><BS><Enter>", "a", kEnter},
    {"backspace at the start changes nothing", "abc", 10, "<BS><Enter>", "abc", kEnter},
    {"delete removes at the cursor", "abc", 10, "<Right><Del><Enter>", "ac", kEnter},
    {"ctrl+d blanks from the cursor on", "abcdef", 10, "<Right><Right><C-d><Enter>", "ab", kEnter},
    {"ctrl+s deletes before the cursor", "abcdef", 10, "<Right><Right><C-s>x<Enter>", "xcdef", kEnter},
    {"ctrl+y blanks the field", "abcdef", 10, "<End><C-y>x<Enter>", "x", kEnter},
    {"ctrl+u restores the text the editor started with", "abc", 10, "xyz<C-u><Enter>", "abc", kEnter},
    {"ctrl+backspace deletes the word and its spaces", "um dois tres", 20,
     "<C-Right><Right><C-BS><Enter>", "um tres", kEnter},
    {"ctrl+backspace inside a word", "um dois tres", 20, "<C-Right><Right><Right><C-BS><Enter>",
     "um tres", kEnter},
    {"ctrl+backspace on the space after a word", "um dois tres", 20,
     "<C-Right><C-Right><Left><C-BS><Enter>", "um tres", kEnter},
    {"a control key first keeps the text", "abc", 10, "<C-a><End>d<Enter>", "abcd", kEnter},
    {"escape", "abc", 10, "<Esc>", "abc", 27},
    {"tab", "abc", 10, "<Tab>", "abc", 9},
    {"ctrl+enter", "abc", 10, "<C-Enter>", "abc", 10},
    {"ctrl+b", "abc", 10, "<C-b>", "abc", 2},
    {"up ends with its code", "abc", 10, "<Up>", "abc", 72},
    {"f2 ends with its code", "abc", 10, "<F2>", "abc", 60},
    {"ctrl+f9 without alt ends", "abc", 10, "<C-F9>", "abc", 102},
    {"alt+ctrl+f9 reviews the screen, then editing goes on", "abc", 10, "<C-A-F9><Esc>x<Enter>", "xabc",
     kEnter},
    {"insert ends with its code", "abc", 10, "<Ins>", "abc", 82},
    {"ctrl+alt+letter ends with its code", "abc", 10, "<C-A-x>", "abc", 45},
    {"altgr+q types the character that follows", "", 10, "<C-A-q>/<Enter>", "/", kEnter},
    {"altgr+e before a key that ends", "abc", 10, "<C-A-e><Down>", "abc", 18},
    {"altgr+digit leaves its character", "abc", 10, "<End><C-A-2>@<Enter>", "abc@", kEnter},
    {"trailing blanks are dropped", "abc   ", 10, "<Enter>", "abc", kEnter},
    {"a text longer than the limit is cut", "abcdefgh", 5, "<Enter>", "abcde", kEnter},
};
INSTANTIATE_TEST_SUITE_P(LineEditor, Edits, ::testing::ValuesIn(kEdits));

// Only the clicks and beeps of a transcript.
std::string Signals(const std::string& speech) {
  std::string out;
  size_t at = 0;
  while (at <= speech.size()) {
    size_t end = speech.find(" | ", at);
    if (end == std::string::npos) end = speech.size();
    const std::string event = speech.substr(at, end - at);
    if (event == "clique" || event == "bipe") out += (out.empty() ? "" : " ") + event;
    at = end + 3;
  }
  return out;
}

struct MoveCase {
  const char* initial;
  const char* keys;    // followed by typing "|" where the cursor ends
  const char* marked;  // the field with "|" at the cursor
  const char* signals;
};

class WordMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(WordMoves, StopAtWordStartsWithClicksAndBeepAtTheEnds) {
  const MoveCase& c = GetParam();
  PacedRuntime t;
  std::string field = Ansi(c.initial);
  Edit(t, field, 30, std::string(c.keys) + "|<Enter>");
  EXPECT_EQ(AnsiToUtf8(field), c.marked);
  EXPECT_EQ(Signals(t.TakeSpeech()), c.signals);
}

const MoveCase kMoves[] = {
    {"abc 123def 45", "<C-Right>", "abc |123def 45", "clique"},
    {"abc 123def 45", "<C-Right><C-Right>", "abc 123|def 45", "clique clique"},
    {"abc 123def 45", "<C-Right><C-Right><C-Right>", "abc 123def |45", "clique clique clique"},
    {"abc 123def 45", "<C-Right><C-Right><C-Right><C-Right>", "abc 123def 45|",
     "clique clique clique bipe"},
    {"abc 123def 45", "<End><C-Left>", "abc 123def |45", "clique"},
    {"abc 123def 45", "<End><C-Left><C-Left>", "abc 123|def 45", "clique clique"},
    {"abc 123def 45", "<End><C-Left><C-Left><C-Left>", "abc |123def 45", "clique clique clique"},
    {"abc 123def 45", "<End><C-Left><C-Left><C-Left><C-Left>", "|abc 123def 45",
     "clique clique clique clique"},
    {"abc 123def 45", "<C-Left>", "|abc 123def 45", "bipe"},
    {"ação 12", "<C-Right>", "ação |12", "clique"},
    {"(abc) x", "<C-Right>", "(abc|) x", "clique"},
    {"(abc) x", "<C-Right><C-Right>", "(abc) |x", "clique clique"},
    {"x (abc)", "<End><C-Left>", "x (|abc)", "clique"},
    {"um   ", "<End><Right><Right><C-Right>", "um|", "bipe"},
};
INSTANTIATE_TEST_SUITE_P(LineEditor, WordMoves, ::testing::ValuesIn(kMoves));

struct HeardCase {
  const char* what;
  const char* initial;
  int limit;
  const char* keys;
  const char* heard;
};

class Heard : public ::testing::TestWithParam<HeardCase> {};

TEST_P(Heard, EveryActionIsConfirmed) {
  const HeardCase& c = GetParam();
  PacedRuntime t;
  std::string field = Ansi(c.initial);
  Edit(t, field, c.limit, c.keys);
  EXPECT_EQ(t.TakeSpeech(), c.heard);
}

const HeardCase kHeard[] = {
    {"nothing is said when editing starts", "casa", 10, "<Enter>", ""},
    {"typed letters are echoed", "", 10, "ab<Enter>", "letra: 97 | letra: 98"},
    {"the first letter replaces with two clicks", "casa", 10, "x<Enter>", "clique | clique | letra: 120"},
    {"a control key first clicks twice", "casa", 10, "<C-a><Enter>", "clique | clique"},
    {"no clicks for a blank field", "", 10, "<C-a><Enter>", ""},
    {"a letter beyond the field beeps", "casa", 4, "<End>x<Enter>", "bipe"},
    {"left at the start beeps", "casa", 10, "<Left><Enter>", "bipe"},
    {"left speaks the letter it reaches", "casa", 10, "<End><Left><Enter>", "letra: 97"},
    {"right speaks the letter it passes", "casa", 10, "<Right><Enter>", "letra: 99"},
    {"right beyond the field beeps", "ab", 2, "<End><Right><Enter>", "bipe"},
    {"alt+right gives the letter's phonetic name", "casa", 10, "<A-Right><Enter>", "som: _FON99"},
    {"alt+right on a digit speaks it", "1", 10, "<A-Right><Enter>", "letra: 49"},
    {"backspace at the start beeps", "casa", 10, "<BS><Enter>", "bipe"},
    {"backspace: the delete cue, then the letter", "casa", 10, "<End><BS><Enter>",
     "som: _DEL | letra: 97"},
    {"delete: the delete cue, then the letter", "casa", 10, "<Del><Enter>", "som: _DEL | letra: 99"},
    {"a deleted word: one cue, every letter", "um dois", 10, "<C-Right><C-BS><Enter>",
     "clique | bipe | clique | som: _DEL | letra: 100 | letra: 111 | letra: 105 | letra: 115"},
    {"ctrl+d", "casa", 10, "<C-d><Enter>", "som: _APFCPO"},
    {"ctrl+s", "casa", 10, "<C-s><Enter>", "som: _APICPO"},
    {"ctrl+y", "casa", 10, "<C-y><Enter>", "som: _CPOAPA"},
    {"ctrl+u beeps three times", "casa", 10, "<C-u><Enter>", "bipe | bipe | bipe"},
    {"ctrl+k says where the cursor is", "casa", 10, "<End><C-k><Enter>", "fala: 5"},
    {"ctrl+f1 says the field", "casa azul", 20, "<C-F1><Enter>", "fala: casa azul           "},
    {"ctrl+\\ plays the digits as touch tones", "12a", 5, "<C-\\><Enter>",
     "som: dtmf_1 | som: dtmf_2"},
    {"f1 through the items", "  casa 12 bcd", 20, "<F1><F1><F1><F1><Enter>",
     "fala: casa | fala: 12 | soletra: bcd | letra: 98 | letra: 99 | letra: 100 | bipe"},
    {"f1: a hyphen starts a number", "-5 www", 20, "<F1><F1><Enter>",
     "fala: -5 | som: _MENOS | fala: www | soletra: www | letra: 119 | letra: 119 | letra: 119"},
    {"f1: a sign is spelled", "?!", 20, "<F1><Enter>", "soletra: ? | letra: 63"},
    {"f1: accented letters make a word", "çç", 20, "<F1><Enter>", "fala: çç"},
    {"alt+digits say nothing", "", 10, "<C-A-1><Enter>", ""},
};
INSTANTIATE_TEST_SUITE_P(LineEditor, Heard, ::testing::ValuesIn(kHeard));

TEST(LineEditor, F1LeavesTheCursorAfterEachItemAndInPlaceAtTheEnd) {
  PacedRuntime t;
  std::string field = "  casa 12 bcd";
  Edit(t, field, 20, "<F1>1<F1><F1><F1>2<Enter>");
  EXPECT_EQ(field, "  casa1 12 bcd2");
}

TEST(LineEditor, F4TurnsKeyEchoOffAndOnForTheRestOfTheRun) {
  PacedRuntime t;
  std::string field;
  Edit(t, field, 10, "<F4>a<Enter>");
  EXPECT_EQ(t.TakeSpeech(), "som: _FALDLG");
  EXPECT_FALSE(t.rt().line_editor.key_echo);
  field.clear();
  Edit(t, field, 10, "b<F4>c<Enter>");
  EXPECT_EQ(t.TakeSpeech(), "som: _FALACI | letra: 99");
  EXPECT_EQ(field, "bc");
}

TEST(LineEditor, RecordedSoundsAreNotAwaitedWhileEditing) {
  PacedRuntime t;
  auto& wave = t.rt().speech.wave_player();
  std::vector<bool> no_wait;
  t.display().on_key_wait = [&] { no_wait.push_back(wave.no_wait()); };
  std::string field;
  Edit(t, field, 10, "a<Enter>");
  EXPECT_EQ(no_wait, (std::vector<bool>{true, true}));
  EXPECT_FALSE(wave.no_wait());
}

struct ClipCase {
  const char* what;
  const char* initial;
  int limit;
  const char* clipboard;  // before editing; nullptr: empty
  const char* keys;
  const char* field;
  const char* clipboard_after;
};

class Clipboard : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Clipboard, CopyAndPaste) {
  const ClipCase& c = GetParam();
  PacedRuntime t;
  if (c.clipboard) t.rt().console.ClipboardPut(Ansi(c.clipboard));
  std::string field = Ansi(c.initial);
  Edit(t, field, c.limit, c.keys);
  EXPECT_EQ(AnsiToUtf8(field), c.field);
  EXPECT_EQ(AnsiToUtf8(t.rt().console.ClipboardGet(1024)), c.clipboard_after);
}

const ClipCase kClips[] = {
    {"shift+right three times then ctrl+c copies three letters", "abcdef", 10, nullptr,
     "<S-Right><S-Right><S-Right><C-c><Enter>", "abcdef", "abc"},
    {"ctrl+insert copies the selection too", "abcdef", 10, nullptr,
     "<End><S-Left><S-Left><C-Ins><Enter>", "abcdef", "ef"},
    {"without a selection the whole text and a line end", "abc", 10, nullptr, "<C-c><Enter>", "abc",
     "abc\r\n"},
    {"a plain move drops the selection", "abcdef", 10, nullptr, "<S-Right><S-Right><Right><C-c><Enter>",
     "abcdef", "abcdef\r\n"},
    {"paste inserts at the cursor", "abc", 10, "XY", "<End><S-Ins><Enter>", "abcXY", "XY"},
    {"ctrl+v inserts at the cursor", "abc", 10, "XY", "<Right><C-v><Enter>", "aXYbc", "XY"},
    {"paste stops at the first line break", "", 10, "a\r\nb", "<S-Ins><Enter>", "a", "a\r\nb"},
    {"paste as the first key replaces the text", "abc", 10, "XY", "<S-Ins><Enter>", "XY", "XY"},
    {"paste is cut to the field", "abc", 5, "123456", "<End><S-Ins><Enter>", "abc12", "123456"},
    {"paste replaces the selection", "abcdef", 10, "XY", "<S-Right><S-Right><C-v><Enter>", "XYcdef",
     "XY"},
    {"after ctrl+v the pasted text stands selected", "abc", 10, "XY", "<End><C-v><C-c><Enter>",
     "abcXY", "XY"},
    {"after shift+insert nothing stays selected", "abc", 10, "XY", "<End><S-Ins><C-c><Enter>",
     "abcXY", "abcXY\r\n"},
    {"an empty clipboard pastes nothing", "abc", 10, nullptr, "<End><S-Ins><Enter>", "abc", ""},
    {"shift+delete deletes the selection", "abcdef", 10, nullptr,
     "<Right><S-Right><S-Right><S-Del><Enter>", "adef", ""},
    {"accents cross the clipboard", "ação", 10, nullptr, "<C-c><Enter>", "ação", "ação\r\n"},
};
INSTANTIATE_TEST_SUITE_P(LineEditor, Clipboard, ::testing::ValuesIn(kClips));

TEST(LineEditor, ShiftDeleteSpeaksEachSelectedLetterAfterOneCue) {
  PacedRuntime t;
  std::string field = "abcdef";
  Edit(t, field, 10, "<S-Right><S-Right><S-Del><Enter>");
  EXPECT_EQ(t.TakeSpeech(), "letra: 97 | letra: 98 | som: _DEL | letra: 97 | letra: 98");
}

// Rows of the screen, one a line, as the user saw them at each key.
class ScreenAtKeys {
 public:
  explicit ScreenAtKeys(PacedRuntime& t, int row) {
    t.display().on_key_wait = [&t, row, this] { rows_.push_back(t.Row(row)); };
  }
  const std::vector<std::string>& rows() const { return rows_; }

 private:
  std::vector<std::string> rows_;
};

TEST(LineEditor, TheFieldScrollsToKeepTheCursorInView) {
  PacedRuntime t;
  ScreenAtKeys screen(t, 3);
  t.Press("abcdefgh<Home><Enter>");
  std::string field;
  LineEditor(t.rt(), field, 11, 3, 5, 20);
  EXPECT_EQ(screen.rows(),
            (std::vector<std::string>{"", "          a", "          ab", "          abc", "          abcd",
                                      "          abcde", "          bcdef", "          cdefg",
                                      "          defgh", "          abcde"}));
  // At the end the field's first characters, the cursor at its start.
  EXPECT_EQ(t.Row(3), "          abcde");
  EXPECT_EQ(t.rt().console.CursorColumn(), 11);
  EXPECT_EQ(t.rt().console.CursorRow(), 3);
}

TEST(LineEditor, TheSelectionIsShownOnDarkGrey) {
  PacedRuntime t;
  std::vector<int> backgrounds;
  t.display().on_key_wait = [&] {
    backgrounds.clear();
    for (int c = 1; c <= 4; ++c) backgrounds.push_back(t.rt().console.CellAttribute(1, c) >> 4);
  };
  std::string field = "abcd";
  t.Press("<Right><S-Right><S-Right><Enter>");
  LineEditor(t.rt(), field, 1, 1, 10, 10);
  EXPECT_EQ(backgrounds, (std::vector<int>{0, 8, 8, 0}));
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(t.rt().console.CellAttribute(1, c) >> 4, 0) << c;
}

TEST(LineEditor, AFieldOnTheLastRowNeverScrollsTheScreen) {
  PacedRuntime t;
  t.rt().console.PutText("topo");
  std::string field(100, 'x');
  t.Press("<End><Enter>");
  LineEditor(t.rt(), field, 1, 25, 80, 100);
  EXPECT_EQ(t.Row(1), "topo");
  EXPECT_EQ(t.Row(25), std::string(79, 'x'));
}

TEST(LineEditor, TheMagnifierFollowsTheCursorAndIsHiddenAtTheEnd) {
  PacedRuntime t;
  t.rt().console.MagnifierSet(8, {});
  std::string field;
  Edit(t, field, 20, "abc<Enter>");
  const auto& shown = t.display().magnifier;
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].highlight, -1);
  EXPECT_EQ(shown[3].text, "abc       ");
  EXPECT_EQ(shown[3].highlight, 2);  // the letter just typed
  EXPECT_EQ(t.display().magnifier_hides, 1);
}

void WriteIni(PacedRuntime& t, const std::string& text) {
  std::ofstream(t.rt().config.ConfigDirectory() + "/Orbela.ini", std::ios::binary) << text;
}

struct SpeedCase {
  const char* keys;
  int level;
};

class SpeedKey : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedKey, RestartsSpeechAtTheLevelTyped) {
  PacedRuntime t;
  WriteIni(t, std::string("[TRADUTOR]\nVELOCIDADE=2\nDIRLETRAS=") + MORVENTA_SOUND_DIR +
                  "/letras\nDIRDIFONES=" + MORVENTA_SOUND_DIR + "/difones\n");
  t.rt().speech.StartSpeech(5, "/sons");
  std::string field;
  Edit(t, field, 10, std::string("<C-F4>") + GetParam().keys + "<Enter>");
  EXPECT_EQ(t.rt().speech.speed_level(), GetParam().level);
  EXPECT_EQ(t.rt().speech.sounds_dir(), "/sons/");
  EXPECT_TRUE(t.TakeSpeech().starts_with("som: _VELOC")) << "the cue first";
}

const SpeedCase kSpeeds[] = {
    {"4", 4}, {"1", 1}, {"0", 2}, {"9", 3}, {"x", 3}, {"<Esc>", 5}, {"<Enter>", 5},
};
INSTANTIATE_TEST_SUITE_P(LineEditor, SpeedKey, ::testing::ValuesIn(kSpeeds));

// F12 starts programs that stand in for the user's: each writes its name
// and its arguments, one a line, into a pipe the test reads.
class OpenWord : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = t_.rt().config.ConfigDirectory();
    fifo_ = dir_ + "/aberto";
    ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
    std::filesystem::create_directories(dir_ + "/bin");
    StandIn(dir_ + "/abre", "abre");
    StandIn(dir_ + "/bin/xdg-open", "xdg-open");
    StandIn(dir_ + "/prog.exe", "prog.exe");
    const char* path = std::getenv("PATH");
    old_path_ = path ? path : "";
    setenv("PATH", (dir_ + "/bin:" + old_path_).c_str(), 1);
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd_);
    setenv("PATH", old_path_.c_str(), 1);
  }

  void StandIn(const std::string& path, const std::string& name) {
    std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' '" << name << "' \"$@\" > '" << fifo_ << "'\n";
    chmod(path.c_str(), 0755);
  }

  // What the program started wrote, or nothing when none wrote within the
  // time (a program ending without writing would also end the wait).
  std::string Opened(const std::string& field, const std::string& keys, int timeout_ms) {
    const int fd = open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
    std::string text = Ansi(field);
    Edit(t_, text, 40, keys + "<Enter>");
    std::string got;
    for (;;) {
      pollfd pfd{fd, POLLIN, 0};
      if (poll(&pfd, 1, timeout_ms) <= 0) break;
      char buf[512];
      const ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return got;
  }

  PacedRuntime t_;
  std::string dir_, fifo_, old_path_;
  std::filesystem::path old_cwd_;
};

TEST_F(OpenWord, FilesGoToTheProgramConfiguredForTheirExtension) {
  WriteIni(t_, "[ORBELA]\nPROG.TXT=@@/abre\n");
  struct Case {
    const char* field;
    const char* keys;
    const char* opened;
  } const cases[] = {
      {"(leia.txt)", "", "abre\nleia.txt)\n"},
      {"ver notas.txt agora", "<C-Right><C-Right><C-Right><Left>", "abre\nnotas.txt\n"},
      {"<<_notas.txt_>>", "<End>", "abre\nnotas.txt\n"},
      {"\"ação.TXT\".", "<Right><Right>", "abre\nação.TXT\n"},
      {"leia.pdf", "", "xdg-open\nleia.pdf\n"},
      {"prog.exe", "", "prog.exe\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Opened(c.field, std::string(c.keys) + "<F12>", 30000), c.opened) << c.field;
  }
}

TEST_F(OpenWord, AddressesGoToTheBrowserOrTheDesktop) {
  WriteIni(t_, "[ORBELA]\nPROG.HTM=" + dir_ + "/abre\n");
  EXPECT_EQ(Opened("veja http://exemplo.org/a.", "<C-Right><F12>", 30000), "abre\nhttp://exemplo.org/a\n");
  WriteIni(t_, "");
  EXPECT_EQ(Opened("WWW.exemplo.org", "<F12>", 30000), "xdg-open\nhttp://WWW.exemplo.org\n");
  EXPECT_EQ(Opened("https://exemplo.org", "<F12>", 30000), "xdg-open\nhttps://exemplo.org\n");
}

TEST_F(OpenWord, NothingToOpenBeeps) {
  EXPECT_EQ(Opened("((( casa", "<F12>", 200), "");
  EXPECT_EQ(t_.TakeSpeech(), "bipe");
  EXPECT_EQ(Opened("casa", "<End><Right><F12>", 200), "");
}

TEST(ReadLineSpoken, GivesTheTypedLineAndGoesToTheNextRow) {
  PacedRuntime t;
  t.rt().console.PutText("Nome: ");
  t.Press("ana<Enter>");
  std::string line = "antes";
  EXPECT_EQ(ReadLineSpoken(t.rt(), line), kEnter);
  EXPECT_EQ(line, "ana");
  EXPECT_EQ(t.Row(1), "Nome: ana");
  EXPECT_EQ(t.rt().console.CursorRow(), 2);
  EXPECT_EQ(t.rt().console.CursorColumn(), 1);
}

TEST(ReadLineSpoken, EscapeGivesNothingAndBlanksWhatWasTyped) {
  PacedRuntime t;
  t.rt().console.PutText("Nome: ");
  t.Press("ana<Esc>");
  std::string line;
  EXPECT_EQ(ReadLineSpoken(t.rt(), line), 27);
  EXPECT_EQ(line, "");
  EXPECT_EQ(t.Row(1), "Nome:");
  EXPECT_EQ(t.rt().console.CursorRow(), 2);
}

TEST(ReadLineSpoken, TakesAtMost255Characters) {
  PacedRuntime t;
  t.Press(std::string(260, 'a') + "<Enter>");
  std::string line;
  ReadLineSpoken(t.rt(), line);
  EXPECT_EQ(line, std::string(255, 'a'));
  EXPECT_EQ(Signals(t.TakeSpeech()), "bipe bipe bipe bipe bipe");
}

}  // namespace
}  // namespace morventa::testing
