#include "console/line_editor.h"

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "console/clock.h"
#include "console/screen_review.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr int kMaxLimit = 2048;

// Plain keys: one byte.
enum : uint8_t {
  kCtrlB = 2,
  kCtrlC = 3,
  kCtrlD = 4,
  kBackspace = 8,
  kTab = 9,
  kCtrlEnter = 10,
  kCtrlK = 11,
  kEnter = 13,
  kCtrlS = 19,
  kCtrlU = 21,
  kCtrlV = 22,
  kCtrlY = 25,
  kEscape = 27,
  kCtrlBackslash = 28,
  kCtrlBackspace = 127,
};

// Extended keys: the code after the 0.
enum : uint8_t {
  kAltGrQ = 16,
  kAltGrE = 18,
  kF1 = 59,
  kF4 = 62,
  kF8 = 66,
  kF12 = 70,
  kHome = 71,
  kLeft = 75,
  kRight = 77,
  kEnd = 79,
  kDelete = 83,
  kCtrlF1 = 94,
  kCtrlF4 = 97,
  kCtrlF8 = 101,
  kCtrlF9 = 102,
  kCtrlF11 = 104,
  kCtrlLeft = 115,
  kCtrlRight = 116,
  kAltDigit1 = 120,
  kAltDigit0 = 129,
  kShiftInsert = 254,
  kCtrlInsert = 255,
};

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// Word letters: A-Z, a-z and every byte of the upper half (accented letters).
bool IsWordLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }
bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A run made only of these is spelled by F1: it cannot be said as a word.
bool IsConsonant(unsigned char upper) {
  return std::string_view("BCDFGHJKLMNPQRSTVXZ").find(static_cast<char>(upper)) != std::string_view::npos;
}

// F12 strips these from both ends of a word: quotes, brackets and the signs
// around addresses and file names in running text.
bool IsStrippedSign(unsigned char c) {
  return std::string_view("\"(*-.<=>[_{").find(static_cast<char>(c)) != std::string_view::npos;
}

// Recorded sounds the editor starts are not waited for: the next key cuts
// them anyway. The player's own state comes back however editing ends.
class NoWaitWhileEditing {
 public:
  explicit NoWaitWhileEditing(WavePlayer& wave) : wave_(wave), old_(wave.no_wait()) {
    wave_.set_no_wait(true);
  }
  ~NoWaitWhileEditing() { wave_.set_no_wait(old_); }
  NoWaitWhileEditing(const NoWaitWhileEditing&) = delete;
  NoWaitWhileEditing& operator=(const NoWaitWhileEditing&) = delete;

 private:
  WavePlayer& wave_;
  bool old_;
};

std::string CurrentDirectory() {
  std::string dir(4096, '\0');
  if (!getcwd(dir.data(), dir.size())) return ".";
  dir.resize(dir.find('\0'));
  return dir;
}

// Opens a word as the desktop would open a link or a file: addresses with
// the browser of [ORBELA] PROG.HTM, programs by running them, other files
// with the program of [ORBELA] PROG.<extension>. Where the configuration
// names no program, the desktop's association decides (xdg-open). Failures
// are not reported: the word may name nothing at all.
void OpenWord(Runtime& rt, const std::string& word) {
  DesktopLauncher& launcher = rt.launcher;
  const std::string upper = UpperText(word);
  const bool www = upper.starts_with("WWW.");
  if (upper.starts_with("HTTP://") || upper.starts_with("HTTPS://") || www) {
    const std::string browser = rt.config.ReadSetting("ORBELA", "PROG.HTM");
    if (!browser.empty()) {
      launcher.Start(AnsiToUtf8(browser), {AnsiToUtf8(word)});
    } else {
      // xdg-open takes a bare www. address for a file name.
      launcher.OpenWithDesktop(AnsiToUtf8(www ? "http://" + word : word));
    }
    return;
  }
  const size_t dot = word.find('.');
  const std::string extension = dot == std::string::npos ? "" : UpperText(word.substr(dot + 1, 3));
  if (extension == "EXE" || extension == "COM") {
    const bool rooted = word[0] == '/' || word[0] == '\\' ||
                        (word.size() > 1 && IsAsciiLetter(word[0]) && word[1] == ':');
    std::string path = AnsiToUtf8(word);
    if (!rooted) {
      std::string dir = CurrentDirectory();
      if (dir.back() != '/') dir += '/';
      path = dir + path;
    }
    launcher.Start(path, {});
    return;
  }
  const std::string program = rt.config.ReadSetting("ORBELA", "PROG." + extension);
  if (!program.empty()) {
    launcher.Start(AnsiToUtf8(program), {AnsiToUtf8(word)});
  } else {
    launcher.OpenWithDesktop(AnsiToUtf8(word));
  }
}

class Editor {
 public:
  Editor(Runtime& rt, std::string& field, int column, int row, int width, int limit)
      : rt_(rt), console_(rt.console), speech_(rt.speech), out_(field) {
    limit_ = std::clamp(limit, 0, kMaxLimit);
    width_ = std::clamp(width, 0, limit_);
    if (row == kRows && column + width_ - 1 >= kColumns) width_ = std::max(width_ - 1, 0);
    column_ = column;
    row_ = row;
    field_ = field.substr(0, limit_);
    field_.resize(limit_, ' ');
    initial_ = field_;
  }

  uint8_t Run() {
    NoWaitWhileEditing no_wait(speech_.wave_player());
    const uint8_t result = Loop();
    console_.MagnifierHide();
    console_.MoveCursor(column_, row_);
    console_.ConsoleOutput(std::string_view(field_).substr(0, width_));
    console_.MoveCursor(column_, row_);
    field_.erase(field_.find_last_not_of(' ') + 1);
    out_ = field_;
    speech_.StopSpeech();
    return result;
  }

 private:
  uint8_t Loop() {
    for (;;) {
      Scroll();
      console_.MagnifierShow(field_, cursor_);
      Draw();

      uint8_t key = console_.TakeKey();
      Modifiers mods = console_.LastKeyModifiers();
      speech_.StopSpeech();
      bool extended = false;
      uint8_t code = 0;
      if (key == 0) {
        extended = true;
        code = console_.TakeKey();
        // AltGr arrives as Ctrl+Alt: the code of its letter comes before the
        // character it types, which is what the user meant.
        if (code >= kAltGrQ && code <= kAltGrE) {
          const uint8_t discarded = code;
          key = console_.TakeKey();
          mods = console_.LastKeyModifiers();
          if (key == 0) {
            console_.TakeKey();
            return discarded;
          }
          extended = false;
        }
      }
      shift_ = mods.shift;
      alt_ = mods.alt;

      if (extended) {
        if (shift_) {
          if (anchor_ == 0) anchor_ = cursor_;
        } else if (code != kShiftInsert && code != kCtrlInsert) {
          anchor_ = end_ = 0;
        }
      } else if (key != kCtrlC && key != kCtrlV) {
        anchor_ = end_ = 0;
      }

      const std::optional<uint8_t> ended = extended ? ExtendedKey(code) : PlainKey(key);
      if (ended) return *ended;
      if (extended && shift_) end_ = cursor_;
      first_key_ = false;
    }
  }

  std::optional<uint8_t> PlainKey(uint8_t key) {
    switch (key) {
      case kEnter:
      case kEscape:
      case kTab:
      case kCtrlEnter:
      case kCtrlB:
        return key;
      case kCtrlC:
        Copy();
        break;
      case kCtrlV:
        Paste();
        break;
      case kCtrlD:
        std::fill(field_.begin() + std::min(cursor_ - 1, limit_), field_.end(), ' ');
        speech_.PlaySound("_APFCPO");
        break;
      case kCtrlS:
        field_ = field_.substr(std::min(cursor_ - 1, limit_));
        field_.resize(limit_, ' ');
        cursor_ = 1;
        speech_.PlaySound("_APICPO");
        break;
      case kCtrlY:
        field_.assign(limit_, ' ');
        speech_.PlaySound("_CPOAPA");
        cursor_ = 1;
        break;
      case kCtrlU:
        field_ = initial_;
        cursor_ = 1;
        for (int k = 0; k < 3; ++k) speech_.PlayBeep();
        break;
      case kBackspace:
        if (cursor_ == 1) {
          speech_.PlayBeep();
        } else {
          --cursor_;
          DeleteAtCursor(true);
        }
        break;
      case kCtrlBackspace:
        DeleteWord();
        break;
      case kCtrlK:
        speech_.SpeakText(DecimalText(cursor_));
        break;
      case kCtrlBackslash:
        speech_.PlayTouchTones(field_);
        break;
      default:
        if (key < 32) {
          FirstKeyRule(false);
        } else {
          Insert(key);
        }
        break;
    }
    return std::nullopt;
  }

  std::optional<uint8_t> ExtendedKey(uint8_t code) {
    switch (code) {
      case kF1:
        SpeakNextItem();
        break;
      case kF4:
        rt_.line_editor.key_echo = !rt_.line_editor.key_echo;
        speech_.PlaySound(rt_.line_editor.key_echo ? "_FALACI" : "_FALDLG");
        break;
      case kF8: {
        const LocalDateTime now = LocalNow();
        speech_.SpeakTime(now.hour, now.minute);
        break;
      }
      case kF12:
        OpenWordAtCursor();
        break;
      case kHome:
        cursor_ = 1;
        break;
      case kLeft:
        if (cursor_ == 1) {
          speech_.PlayBeep();
        } else {
          --cursor_;
          speech_.SpeakChar(At(cursor_));
        }
        break;
      case kRight:
        if (cursor_ > limit_) {
          speech_.PlayBeep();
        } else {
          const unsigned char c = At(cursor_);
          if (alt_ && IsAsciiLetter(c)) {
            speech_.PlaySound("_FON" + DecimalText(c));  // the letter's phonetic name
          } else {
            speech_.SpeakChar(c);
          }
          ++cursor_;
        }
        break;
      case kEnd:
        cursor_ = TextEnd();
        break;
      case kDelete:
        if (shift_ && HasSelection()) {
          const int from = std::min(anchor_, end_);
          const int count = std::max(anchor_, end_) - from;
          cursor_ = from;
          for (int k = 0; k < count; ++k) DeleteAtCursor(k == 0);
        } else if (cursor_ > limit_) {
          speech_.PlayBeep();
        } else {
          DeleteAtCursor(true);
        }
        break;
      case kCtrlF1:
        speech_.SpeakText(field_);
        break;
      case kCtrlF4:
        ChangeSpeed();
        break;
      case kCtrlF8: {
        const LocalDateTime now = LocalNow();
        speech_.SpeakDate(now.day, now.month, now.year);
        break;
      }
      case kCtrlF9:
        if (!alt_) return code;
        ReviewScreen(rt_);
        break;
      case kCtrlF11:
        speech_.SpeakBattery();
        break;
      case kCtrlLeft:
        WordLeft();
        break;
      case kCtrlRight:
        WordRight();
        break;
      case kShiftInsert:
        Paste();
        break;
      case kCtrlInsert:
        Copy();
        break;
      default:
        // AltGr with a digit sends Ctrl+Alt+digit before its character.
        if (code >= kAltDigit1 && code <= kAltDigit0) break;
        return code;
    }
    return std::nullopt;
  }

  // The character at a 1-based index; outside the field a space.
  unsigned char At(int index) const {
    return index >= 1 && index <= limit_ ? static_cast<unsigned char>(field_[index - 1]) : ' ';
  }
  // Just after the last non-space character; 1 for a blank field.
  int TextEnd() const { return static_cast<int>(field_.find_last_not_of(' ') + 1) + 1; }
  bool HasSelection() const { return anchor_ != 0 && end_ != 0 && anchor_ != end_; }

  void Scroll() {
    if (cursor_ < first_) first_ = cursor_;
    if (first_ + width_ < cursor_) first_ = cursor_ - width_;
  }

  void Draw() {
    const std::string_view visible =
        std::string_view(field_).substr(std::min(first_ - 1, limit_), width_);
    const int shown = static_cast<int>(visible.size());
    console_.MoveCursor(column_, row_);
    if (HasSelection() && std::min(anchor_, end_) < first_ + shown && std::max(anchor_, end_) > first_) {
      const int from = std::clamp(std::min(anchor_, end_) - first_, 0, shown);
      const int to = std::clamp(std::max(anchor_, end_) - first_, 0, shown);
      const uint8_t attribute = console_.TextAttribute();
      console_.ConsoleOutput(visible.substr(0, from));
      console_.SetBackColour(8);
      console_.ConsoleOutput(visible.substr(from, to - from));
      console_.RestoreAttribute(attribute);
      console_.ConsoleOutput(visible.substr(to));
    } else {
      console_.ConsoleOutput(visible);
    }
    console_.ClearToLineEnd();
    console_.MoveCursor(column_ + cursor_ - first_, row_);
  }

  // The first key replaces what the field held: two clicks say so, and a
  // character or a paste blanks the field.
  void FirstKeyRule(bool blank) {
    if (!first_key_) return;
    if (field_.find_first_not_of(' ', std::min(cursor_ - 1, limit_)) == std::string::npos) return;
    speech_.PlayClick();
    speech_.PlayClick();
    if (blank) field_.assign(limit_, ' ');
  }

  void Insert(uint8_t ch) {
    FirstKeyRule(true);
    if (cursor_ > limit_) {
      speech_.PlayBeep();
      return;
    }
    // The field keeps its length: in a full field the last character is lost.
    field_.insert(field_.begin() + (cursor_ - 1), static_cast<char>(ch));
    field_.pop_back();
    if (rt_.line_editor.key_echo) speech_.SpeakChar(ch);
    ++cursor_;
  }

  // Removes the character at the cursor; the first of an operation is
  // announced by the delete cue, each one by its own sound.
  void DeleteAtCursor(bool first) {
    const unsigned char removed = At(cursor_);
    field_.erase(field_.begin() + (cursor_ - 1));
    field_ += ' ';
    Scroll();
    Draw();
    if (first) speech_.PlaySound("_DEL");
    speech_.SpeakChar(removed);
  }

  void WordRight() {
    int i = cursor_;
    if (i <= limit_) {
      if (IsDigit(At(i))) {
        while (i <= limit_ && IsDigit(At(i))) ++i;
      } else if (At(i) != ' ') {
        ++i;
        while (i <= limit_ && IsWordLetter(At(i))) ++i;
      }
      while (i <= limit_ && At(i) == ' ') ++i;
    }
    if (i > limit_) {
      cursor_ = TextEnd();
      speech_.PlayBeep();
    } else {
      cursor_ = i;
      speech_.PlayClick();
    }
  }

  void WordLeft() {
    int i = cursor_ - 1;
    while (i >= 1 && At(i) == ' ') --i;
    if (i < 1) {
      cursor_ = 1;
      speech_.PlayBeep();
      return;
    }
    if (IsDigit(At(i))) {
      while (i > 1 && IsDigit(At(i - 1))) --i;
    } else {
      while (i > 1 && IsWordLetter(At(i - 1))) --i;
    }
    cursor_ = i;
    speech_.PlayClick();
  }

  // The word at the cursor and the spaces after it.
  void DeleteWord() {
    if (cursor_ > 1 && At(cursor_ - 1) != ' ') WordLeft();
    const int start = cursor_;
    WordRight();
    const int end = cursor_;
    WordLeft();
    cursor_ = start;
    for (int k = 0; k < end - start; ++k) DeleteAtCursor(k == 0);
  }

  void SpeakNextItem() {
    int i = cursor_;
    while (i <= limit_ && At(i) == ' ') ++i;
    if (i > limit_) {
      speech_.PlayBeep();
      return;
    }
    const unsigned char c = UpperChar(At(i));
    int end = i + 1;
    if (IsDigit(c) || c == '-') {
      while (end <= limit_ && IsDigit(At(end))) ++end;
      speech_.SpeakText(field_.substr(i - 1, end - i));
    } else if ((c >= 'A' && c <= 'Z') || c >= 128) {
      bool consonants_only = IsConsonant(c);
      for (; end <= limit_; ++end) {
        const unsigned char u = UpperChar(At(end));
        if (!((u >= 'A' && u <= 'Z') || u >= 128)) break;
        consonants_only = consonants_only && IsConsonant(u);
      }
      const std::string run = field_.substr(i - 1, end - i);
      if (consonants_only) {
        speech_.SpellText(run);
      } else {
        speech_.SpeakText(run);
      }
    } else {
      speech_.SpellText(field_.substr(i - 1, 1));
    }
    cursor_ = end;
  }

  void WaitForSpeechEnd() {
    while (speech_.IsSpeaking()) console_.WaitEvents(10);
  }

  void OpenWordAtCursor() {
    int i = cursor_;
    if (At(i) == ' ' && At(i - 1) != ' ') --i;  // on the space after a word
    std::string word;
    if (At(i) != ' ') {
      int start = i, end = i;
      while (At(start - 1) != ' ') --start;
      while (At(end + 1) != ' ') ++end;
      word = field_.substr(start - 1, end - start + 1);
    }
    while (!word.empty() && IsStrippedSign(word.front())) word.erase(0, 1);
    while (!word.empty() && IsStrippedSign(word.back())) word.pop_back();
    if (word.empty()) {
      speech_.PlayBeep();
      return;
    }
    WaitForSpeechEnd();
    OpenWord(rt_, word);
    WaitForSpeechEnd();
  }

  // The user names a speed level with a key: 1 to 5 that level, 0 the
  // configured one, any other key level 3; Escape or Enter change nothing.
  void ChangeSpeed() {
    speech_.PlaySound("_VELOC");
    uint8_t last;
    do {
      last = speech_.ReadKeySpoken();
    } while (console_.KeyPending());
    if (last == kEscape || last == kEnter) return;
    int speed = last - '0';
    if (speed < 0 || speed > 5) speed = 3;
    const std::string sounds_dir = speech_.sounds_dir();
    speech_.ShutdownSpeech();
    speech_.StartSpeech(speed, sounds_dir);
  }

  void Copy() {
    std::string text;
    if (HasSelection()) {
      const int from = std::min(anchor_, end_);
      text = field_.substr(from - 1, std::max(anchor_, end_) - from);
    } else {
      text = field_.substr(0, TextEnd() - 1) + "\r\n";
    }
    console_.ClipboardPut(text);
  }

  void Paste() {
    std::string text = console_.ClipboardGet(static_cast<size_t>(limit_) + 1);
    text.resize(std::min(text.size(), text.find_first_of("\r\n")));
    FirstKeyRule(true);
    int at = cursor_;
    if (HasSelection()) {
      at = std::min(anchor_, end_);
      field_.erase(at - 1, std::max(anchor_, end_) - at);
    }
    at = std::min(at, limit_ + 1);
    field_ = field_.substr(0, at - 1) + text + field_.substr(at - 1);
    field_.resize(limit_, ' ');
    anchor_ = at;
    end_ = std::min(at + static_cast<int>(text.size()), limit_ + 1);
    cursor_ = at;
  }

  Runtime& rt_;
  ConsoleWindow& console_;
  SpeechService& speech_;
  std::string& out_;
  int column_ = 1, row_ = 1, width_ = 0, limit_ = 0;
  std::string field_;    // always exactly limit_ characters while editing
  std::string initial_;  // for Ctrl+U
  int cursor_ = 1;       // 1 .. limit_ + 1
  int first_ = 1;        // field index shown in the first column
  int anchor_ = 0, end_ = 0;  // the selection; 0 is unset
  bool first_key_ = true;
  bool shift_ = false, alt_ = false;
};

}  // namespace

uint8_t LineEditor(Runtime& rt, std::string& field, int column, int row, int width, int limit) {
  return Editor(rt, field, column, row, width, limit).Run();
}

uint8_t EditAtCursor(Runtime& rt, std::string& field, int limit) {
  const int column = rt.console.CursorColumn();
  return LineEditor(rt, field, column, rt.console.CursorRow(), std::max(79 - column, 1), limit);
}

uint8_t ReadLineSpoken(Runtime& rt, std::string& field) {
  field.clear();
  const uint8_t ended = EditAtCursor(rt, field, 255);
  if (ended == kEscape) {
    rt.console.ConsoleOutput(std::string(field.size(), ' '));
    field.clear();
  }
  rt.console.ConsoleOutput("\r\n");
  return ended;
}

}  // namespace morventa
