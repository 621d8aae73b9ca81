// Screen review: a review cursor of its own walks the grid while the program
// waits; what it passes over is spoken.
#include "console/screen_review.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr uint8_t kEscape = 27;

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Letters, digits and the accented letters of Portuguese and Spanish.
bool IsWordChar(unsigned char c) {
  if (IsAsciiLetter(c) || IsDigit(c)) return true;
  static constexpr std::string_view kAccented =
      "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCD\xD1\xD3\xD4\xD5\xDA"
      "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xED\xF1\xF3\xF4\xF5\xFA";
  return kAccented.find(static_cast<char>(c)) != std::string_view::npos;
}

// A word with no vowel is spelled, as it would not sound like anything. Bytes
// from 192 on are judged like the byte 128 below them.
bool ConsonantsOnly(std::string_view word) {
  static constexpr std::string_view kConsonants = "BCDFGHJKLMNPQRSTVWXYZ";
  for (unsigned char c : word) {
    if (c >= 192) c = static_cast<unsigned char>(c - 128);
    if (kConsonants.find(static_cast<char>(SimpleUpper(c))) == std::string_view::npos) return false;
  }
  return true;
}

// Characters that part colour blocks even within one colour: the separators
// of forms and the line-drawing characters.
bool IsBlockSeparator(unsigned char c) {
  return c == '!' || c == ':' || c == '?' || c == '|' || (c >= 176 && c <= 223);
}

class Reviewer {
 public:
  explicit Reviewer(Runtime& rt) : rt_(rt), console_(rt.console), speech_(rt.speech) {}

  void Run();

 private:
  struct KeyAction {
    uint8_t key;
    void (Reviewer::*act)();
  };
  struct Span {
    int first, last;  // columns; empty when last < first
  };
  static const KeyAction kPlainKeys[];
  static const KeyAction kExtendedKeys[];

  unsigned char Cell(int column) const { return console_.CellChar(row_, column); }
  std::string RowText(int row) const;
  int EndOfRow(int row) const;
  Span ColourBlock() const;
  void ShowRowMagnified();
  void KeepOnScreen();
  void Refuse();

  // Reading. A range runs the review cursor along as it reads; the row and
  // block readings put it back where it was.
  void ReadWord(int last_column);
  void ReadRange(int row1, int column1, int row2, int column2);
  void ReadRangeInPlace(int row1, int column1, int row2, int column2);
  void ReadRowInPlace() { ReadRangeInPlace(row_, 1, row_, kColumns); }
  void TwoLetterCommand(uint8_t first);
  void FindText();

  // Plain keys.
  void ReadRow() { ReadRowInPlace(); }
  void NextRow();
  void CharacterLeft();
  void NextBlock();
  void SayPosition();
  void CopyScreen();
  // Extended keys.
  void ReadWordKey();
  void SearchKey();
  void GoToKey();
  void HomeKey() { column_ = 1; }
  void UpKey();
  void DownKey();
  void PageUpKey();
  void PageDownKey();
  void RightKey();
  void EndKey() { column_ = EndOfRow(row_); }
  void ReadBlockKey();
  void SearchAgainKey() { FindText(); }
  void WordLeftKey();
  void WordRightKey();
  void FirstLetterKey();
  void LastLetterKey();

  Runtime& rt_;
  ConsoleWindow& console_;
  SpeechService& speech_;
  int row_ = 1;
  int column_ = 1;  // may stand at 81, just past the row, for a moment
};

const Reviewer::KeyAction Reviewer::kPlainKeys[] = {
    {' ', &Reviewer::ReadRow},        {13, &Reviewer::NextRow},
    {8, &Reviewer::CharacterLeft},    {9, &Reviewer::NextBlock},
    {11, &Reviewer::SayPosition},     {12, &Reviewer::SayPosition},
    {3, &Reviewer::CopyScreen},
};

const Reviewer::KeyAction Reviewer::kExtendedKeys[] = {
    {59, &Reviewer::ReadWordKey},     {63, &Reviewer::SearchKey},
    {64, &Reviewer::GoToKey},         {71, &Reviewer::HomeKey},
    {72, &Reviewer::UpKey},           {80, &Reviewer::DownKey},
    {73, &Reviewer::PageUpKey},       {81, &Reviewer::PageDownKey},
    {75, &Reviewer::CharacterLeft},   {77, &Reviewer::RightKey},
    {79, &Reviewer::EndKey},          {94, &Reviewer::ReadBlockKey},
    {98, &Reviewer::SearchAgainKey},  {115, &Reviewer::WordLeftKey},
    {116, &Reviewer::WordRightKey},   {132, &Reviewer::FirstLetterKey},
    {118, &Reviewer::LastLetterKey},
};

void Reviewer::Run() {
  speech_.PlayBeep();
  const int saved_column = console_.CursorColumn();
  const int saved_row = console_.CursorRow();
  column_ = saved_column;
  row_ = saved_row;
  for (;;) {
    console_.MoveCursor(column_, row_);
    ShowRowMagnified();
    const uint8_t key = console_.TakeKey();
    if (key == kEscape) break;
    const bool extended = key == 0;
    const uint8_t code = extended ? console_.TakeKey() : key;
    void (Reviewer::*act)() = nullptr;
    const std::span<const KeyAction> table = extended ? std::span<const KeyAction>(kExtendedKeys)
                                                      : std::span<const KeyAction>(kPlainKeys);
    for (const auto& k : table) {
      if (k.key == code) act = k.act;
    }
    if (act) {
      (this->*act)();
    } else if (!extended && IsAsciiLetter(code)) {
      TwoLetterCommand(code);
    } else {
      Refuse();
    }
    KeepOnScreen();
  }
  speech_.PlayBeep();
  speech_.PlayBeep();
  console_.MagnifierHide();
  console_.MoveCursor(saved_column, saved_row);
}

std::string Reviewer::RowText(int row) const {
  std::string text(kColumns, ' ');
  for (int c = 1; c <= kColumns; ++c) text[c - 1] = static_cast<char>(console_.CellChar(row, c));
  return text;
}

int Reviewer::EndOfRow(int row) const {
  int c = kColumns;
  while (c >= 1 && console_.CellChar(row, c) == ' ') --c;
  return c + 1;
}

Reviewer::Span Reviewer::ColourBlock() const {
  if (column_ > kColumns || IsBlockSeparator(Cell(column_))) return {column_, column_ - 1};
  const uint8_t attribute = console_.CellAttribute(row_, column_);
  const auto same_block = [&](int c) {
    return console_.CellAttribute(row_, c) == attribute && !IsBlockSeparator(Cell(c));
  };
  Span block{column_, column_};
  while (block.first > 1 && same_block(block.first - 1)) --block.first;
  while (block.last < kColumns && same_block(block.last + 1)) ++block.last;
  return block;
}

void Reviewer::ShowRowMagnified() {
  const std::string text = RowText(row_);
  const int blanks = static_cast<int>(text.find_first_not_of(' ') == std::string::npos
                                          ? text.size()
                                          : text.find_first_not_of(' '));
  console_.MagnifierShow(std::string_view(text).substr(static_cast<size_t>(blanks)),
                         column_ > blanks ? column_ - blanks : 1);
}

void Reviewer::KeepOnScreen() {
  if (column_ < 1) {
    column_ = 1;
    speech_.PlayBeep();
  } else if (column_ > kColumns + 1) {
    column_ = kColumns;
    speech_.PlayBeep();
  }
  if (row_ < 1) {
    row_ = 1;
    speech_.PlayBeep();
  } else if (row_ > kRows) {
    row_ = kRows;
    speech_.PlayBeep();
  }
}

void Reviewer::Refuse() {
  speech_.PlayBeep();
  speech_.PlayClick();
  speech_.PlayBeep();
}

void Reviewer::ReadWord(int last_column) {
  while (column_ <= last_column && Cell(column_) == ' ') ++column_;
  if (column_ > last_column) return;
  const int start = column_;
  const unsigned char first = Cell(column_++);
  while (column_ <= last_column && IsWordChar(Cell(column_))) ++column_;
  console_.MoveCursor(column_, row_);
  if (column_ - start == 1) {
    // A run of one sign ("==========") is said as three of it.
    int run = 1;
    while (column_ <= last_column && Cell(column_) == first) {
      ++column_;
      ++run;
    }
    speech_.SpeakText(std::string(static_cast<size_t>(std::min(run, 3)), static_cast<char>(first)));
    return;
  }
  std::string word;
  for (int c = start; c < column_; ++c) word += static_cast<char>(Cell(c));
  if (ConsonantsOnly(word)) {
    speech_.SpellText(word);
  } else {
    speech_.SpeakText(word);
  }
}

void Reviewer::ReadRange(int row1, int column1, int row2, int column2) {
  if (row1 == row2 && column2 < column1) {
    speech_.PlayBeep();
    return;
  }
  for (int r = row1; r <= row2; ++r) {
    row_ = r;
    column_ = r == row1 ? column1 : 1;
    const int last = r == row2 ? column2 : kColumns;
    if (column_ > last) continue;
    ShowRowMagnified();
    while (column_ <= last) {
      if (console_.KeyPending()) return;
      ReadWord(last);
    }
    if (console_.KeyPending()) return;
    speech_.PlayClick();
  }
  if (column2 >= kColumns) column_ = EndOfRow(row_);
}

void Reviewer::ReadRangeInPlace(int row1, int column1, int row2, int column2) {
  const int row = row_, column = column_;
  ReadRange(row1, column1, row2, column2);
  row_ = row;
  column_ = column;
}

void Reviewer::TwoLetterCommand(uint8_t first) {
  uint8_t second = console_.TakeKey();
  if (second == 0) {
    console_.TakeKey();  // an extended key is no unit
    Refuse();
    return;
  }
  unsigned char extent = SimpleUpper(first);
  if (extent == 'L') extent = 'T';
  const unsigned char unit = SimpleUpper(second);
  const int row = row_, column = column_;
  const Span block = ColourBlock();
  switch (extent * 256 + unit) {
    case 'I' * 256 + 'T': return ReadRange(1, 1, row, column - 1);
    case 'I' * 256 + 'L': return ReadRangeInPlace(row, 1, row, column - 1);
    case 'I' * 256 + 'C': return ReadRangeInPlace(row, block.first, row, column - 1);
    case 'T' * 256 + 'T': return ReadRange(1, 1, kRows, kColumns);
    case 'T' * 256 + 'L': return ReadRangeInPlace(row, 1, row, kColumns);
    case 'T' * 256 + 'C': return ReadRangeInPlace(row, block.first, row, block.last);
    case 'F' * 256 + 'T': return ReadRange(row, column, kRows, kColumns);
    case 'F' * 256 + 'L': return ReadRangeInPlace(row, column, row, kColumns);
    case 'F' * 256 + 'C': return ReadRangeInPlace(row, column, row, block.last);
    default: return Refuse();
  }
}

void Reviewer::FindText() {
  const std::string& wanted = rt_.review.search_text;
  for (int r = row_; !wanted.empty() && r <= kRows; ++r) {
    // On the review row the search starts after the review cursor, so that
    // searching again finds the next place.
    const size_t at = RowText(r).find(wanted, r == row_ ? static_cast<size_t>(column_) : 0);
    if (at != std::string::npos) {
      row_ = r;
      column_ = static_cast<int>(at) + 1;
      speech_.PlayClick();
      return;
    }
  }
  speech_.PlayBeep();
  speech_.PlayBeep();
}

void Reviewer::NextRow() {
  ++row_;
  column_ = 1;
  speech_.PlayClick();
}

void Reviewer::CharacterLeft() {
  if (column_ > 1) {
    speech_.SpeakChar(Cell(column_ - 1));
  } else {
    speech_.PlayBeep();
  }
  --column_;
}

void Reviewer::NextBlock() {
  column_ = ColourBlock().last + 2;
  if (column_ <= kColumns) {
    speech_.PlayClick();
  } else {
    column_ = EndOfRow(row_);
  }
}

void Reviewer::SayPosition() { speech_.SpeakText(DecimalText(row_) + " " + DecimalText(column_)); }

void Reviewer::CopyScreen() {
  std::string screen;
  for (int r = 1; r <= kRows; ++r) screen += RowText(r) + "\r\n";
  console_.ClipboardPut(screen);
}

void Reviewer::ReadWordKey() {
  ReadWord(kColumns);
  if (column_ > kColumns - 1) {
    speech_.PlayClick();
    column_ = EndOfRow(row_);
  }
}

void Reviewer::SearchKey() {
  speech_.SpeakText("Qual texto");
  std::string text;
  for (;;) {
    const uint8_t key = console_.TakeKey();
    if (key == 0) {
      console_.TakeKey();  // function and cursor keys type nothing here
    } else if (key == kEscape) {
      return;
    } else if (key == 13) {
      break;
    } else if (key == 8) {
      if (!text.empty()) {
        speech_.PlaySound("_DEL");
        speech_.SpeakChar(static_cast<unsigned char>(text.back()));
        text.pop_back();
      }
    } else if (key >= 32) {
      text += static_cast<char>(key);
      speech_.SpeakChar(key);
    }
  }
  // Enter on nothing keeps the last search text, as Escape does.
  if (text.empty()) return;
  rt_.review.search_text = text;
  FindText();
}

void Reviewer::GoToKey() {
  speech_.SpeakText("Entre linha e coluna");
  int digits[4];
  for (int& digit : digits) {
    const uint8_t key = console_.TakeKey();
    if (key == 0) console_.TakeKey();
    if (!IsDigit(key)) {
      speech_.PlayBeep();
      speech_.PlayBeep();
      return;
    }
    speech_.SpeakChar(key);
    digit = key - '0';
  }
  row_ = digits[0] * 10 + digits[1];
  column_ = digits[2] * 10 + digits[3];
}

void Reviewer::UpKey() {
  if (row_ == 1) {
    speech_.PlayBeep();
    return;
  }
  --row_;
  column_ = 1;
  ReadRowInPlace();
}

void Reviewer::DownKey() {
  ++row_;
  column_ = 1;
  speech_.PlayClick();
  if (row_ > kRows) {
    speech_.PlayBeep();
    row_ = kRows;
    return;
  }
  ReadRowInPlace();
}

void Reviewer::PageUpKey() {
  row_ = 1;
  column_ = 1;
  ReadRowInPlace();
}

void Reviewer::PageDownKey() {
  row_ = kRows;
  column_ = 1;
  ReadRowInPlace();
}

void Reviewer::RightKey() {
  if (column_ > kColumns + 1) {
    speech_.PlayBeep();
  } else {
    speech_.SpeakChar(Cell(column_));
  }
  ++column_;
}

void Reviewer::ReadBlockKey() {
  const Span block = ColourBlock();
  ReadRangeInPlace(row_, block.first, row_, block.last);
}

void Reviewer::WordLeftKey() {
  int c = column_ - 1;
  while (c >= 1 && Cell(c) == ' ') --c;
  while (c >= 1 && Cell(c) != ' ') --c;
  column_ = c + 1;
  if (c < 1) {
    speech_.PlayBeep();
  } else {
    speech_.PlayClick();
  }
}

void Reviewer::WordRightKey() {
  int c = column_;
  while (c <= kColumns && Cell(c) != ' ') ++c;
  while (c <= kColumns && Cell(c) == ' ') ++c;
  if (c > kColumns) {
    speech_.PlayBeep();
    column_ = EndOfRow(row_);
  } else {
    column_ = c;
    speech_.PlayClick();
  }
}

void Reviewer::FirstLetterKey() {
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kColumns; ++c) {
      if (IsAsciiLetter(console_.CellChar(r, c))) {
        row_ = r;
        column_ = c;
        return ReadRowInPlace();
      }
    }
  }
  speech_.PlayBeep();
}

void Reviewer::LastLetterKey() {
  for (int r = kRows; r >= 1; --r) {
    for (int c = kColumns; c >= 1; --c) {
      if (IsAsciiLetter(console_.CellChar(r, c))) {
        row_ = r;
        column_ = c;
        return ReadRowInPlace();
      }
    }
  }
  speech_.PlayBeep();
}

}  // namespace

void ReviewScreen(Runtime& rt) { Reviewer(rt).Run(); }

}  // namespace morventa
