#include "speech/diphone/transcription.h"

#include <array>

#include "interpreter/text_rules.h"

namespace morventa {
namespace {

// Bytes from 128 up: codes 128-175 as the old PC code page had them (texts
// still arrive that way), 192-255 as Windows-1252. Empty: no entry.
std::array<std::string_view, 256> MakeCharacterMap() {
  std::array<std::string_view, 256> map{};
  struct Entry {
    std::string_view replacement;
    std::initializer_list<int> codes;
  };
  static const Entry kEntries[] = {
      {"ss", {128, 135, 199, 231}},
      {"a'", {134, 143, 160, 193, 225}},
      {"a`", {133, 192, 224}},
      {"a^", {131, 194, 226}},
      {"a~", {132, 142, 195, 196, 227, 228}},
      {"a", {197, 229}},
      {"ae", {145, 198, 230}},
      {"e'", {130, 144, 201, 233}},
      {"e`", {138, 200, 232}},
      {"e^", {136, 202, 234}},
      {"e\"", {137, 203, 235}},
      {"i'", {161, 205, 237}},
      {"i`", {141, 204, 236}},
      {"i^", {140, 206, 238}},
      {"i\"", {139, 207, 239}},
      {"o'", {162, 211, 243}},
      {"o`", {149, 210, 214, 242, 246}},
      {"o^", {147, 212, 244}},
      {"o~", {148, 153, 213, 245}},
      {"u'", {163, 218, 250}},
      {"u`", {151, 217, 249}},
      {"u^", {150, 219, 251}},
      {"u\"", {129, 154}},
      {"u", {220, 252}},
      {"nh", {164, 165, 209, 241}},
      {"y-", {152}},
      {"-", {146}},
      {"x", {215, 247}},
      {"0", {216, 248}},
      {"!", {173}},
      {"\"", {174, 175}},
      {"?", {168, 191}},
      {"\xA7", {167}},
      {"\xAA", {171}},
      {"\xBA", {187}},
  };
  for (const Entry& e : kEntries) {
    for (int code : e.codes) map[static_cast<size_t>(code)] = e.replacement;
  }
  return map;
}

const std::array<std::string_view, 256>& CharacterMap() {
  static const auto map = MakeCharacterMap();
  return map;
}

bool IsVowel(unsigned char c) {
  switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U':
    case 'a': case 'e': case 'i': case 'o': case 'u':
      return true;
    default:
      return false;
  }
}
bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsConsonant(unsigned char c) { return IsLetter(c) && !IsVowel(c); }
bool IsAccentMark(unsigned char c) {
  return c == '"' || c == '\'' || c == '^' || c == '`' || c == '~';
}
bool IsWordChar(unsigned char c) { return IsLetter(c) || IsAccentMark(c); }
bool IsPunctuation(unsigned char c) {
  return c == ' ' || c == '!' || c == ',' || c == '.' || c == ':' || c == ';' || c == '?';
}
unsigned char SimpleLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}
unsigned char At(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }

std::string PrepareText(std::string_view text) {
  const auto& map = CharacterMap();
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = At(text, i);
    const bool beside_letter =
        (i > 0 && IsLetter(At(text, i - 1))) || (i + 1 < text.size() && IsLetter(At(text, i + 1)));
    if (c == 'W' || c == 'w') {
      out += beside_letter ? 'u' : static_cast<char>(c);
    } else if (c == 'Y' || c == 'y') {
      out += beside_letter ? 'i' : static_cast<char>(c);
    } else if (c == '\'' && i > 0 && (text[i - 1] == 'd' || text[i - 1] == 'D')) {
      // d'água: the apostrophe is not a sound
    } else if (c < 32 || (c >= 128 && map[c].empty())) {
      // Spelled later as the NUL, whose sound file stands for "some character".
      out += ' ';
      out += '\0';
      out += ' ';
    } else if (c >= 128) {
      out += map[c];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

struct Word {
  std::string text;
  int vowels = 0;
  bool accented = false;
};

bool TakeWord(std::string_view text, size_t& pos, Word& word) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos >= text.size()) return false;
  word = Word{};
  const unsigned char first = SimpleLower(At(text, pos));
  if (!IsLetter(first)) {
    word.text = static_cast<char>(first);
    ++pos;
    return true;
  }
  for (; pos < text.size() && IsWordChar(At(text, pos)); ++pos) {
    if (word.text.size() >= kTranscriptionWordLimit) continue;  // cut, never overrun
    const unsigned char c = SimpleLower(At(text, pos));
    if (IsVowel(c)) ++word.vowels;
    if (!word.text.empty() && c != '"' && IsAccentMark(c)) word.accented = true;
    word.text += static_cast<char>(c);
  }
  return true;
}

// Upper-cases the stressed vowel of a word without written accent: the
// vowel before the last syllable for words ending in a, e, o (with s or m),
// the last one otherwise; the u of gu and qu is not a vowel.
void MarkStress(Word& word) {
  std::string& w = word.text;
  if (word.accented) return;
  if (!(word.vowels > 1 || (word.vowels == 1 && !w.empty() && w.back() == 'l'))) return;

  auto is = [](unsigned char c, std::string_view set) { return set.find(static_cast<char>(c)) != std::string_view::npos; };
  auto after_g_or_q = [&](size_t p) { return p >= 2 && is(SimpleLower(At(w, p - 2)), "gq"); };
  int state = 0;
  for (size_t p = w.size(); p >= 1; --p) {
    const unsigned char c = SimpleLower(At(w, p - 1));
    int next = state;
    switch (state) {
      case 0:
        if (is(c, "aeo")) next = 5;
        else if (is(c, "iu")) next = 3;
        else if (is(c, "lnrxz")) next = 1;
        else if (c == 'm') next = 2;
        else if (c == 's') next = 4;
        break;
      case 1:
        if (IsVowel(c)) next = 6;
        break;
      case 2:
        if (is(c, "ae")) next = 5;
        else if (is(c, "iu")) next = 3;
        else if (c == 'o') next = 6;
        break;
      case 3:
      case 8:
        if (IsConsonant(c) || (c == 'u' && after_g_or_q(p))) next = 7;
        else next = 6;
        break;
      case 4:
        if (is(c, "aeo")) next = 5;
        else if (is(c, "iu")) next = 3;
        break;
      case 5:
        if (is(c, "aeo")) next = 6;
        else if (is(c, "iu")) next = 8;
        break;
    }
    if (next == 6 || next == 7) {
      const size_t mark = next == 6 ? p - 1 : p;
      w[mark] = static_cast<char>(SimpleUpper(At(w, mark)));
      return;
    }
    state = next;
  }
}

bool Spellable(std::string_view w) {
  if (w.empty() || w[0] == '\0') return true;
  for (const char c : w) {
    if (!IsConsonant(static_cast<unsigned char>(c)) && !IsPunctuation(static_cast<unsigned char>(c)))
      return false;
  }
  return true;
}

void SpellWord(std::string_view w, std::string& out) {
  for (const char c : w) {
    out += "[ /_";
    out += c;
    out += ']';
  }
}

void UpperFirstVowel(std::string& output) {
  for (char& c : output) {
    if (c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u') {
      c = static_cast<char>(c - 32);
      return;
    }
  }
}

void ApplyDiphoneRules(const RuleSet& rules, std::string_view w, std::string& out) {
  out += '[';
  size_t q = 0;
  while (q < w.size()) {
    const unsigned char letter = At(w, q);
    std::string output = " /_";
    output += static_cast<char>(SimpleUpper(letter));
    size_t advance = 1;
    if (const LetterRule* rule = rules.FindRule(w, q)) {
      output = rule->output;
      advance = rule->center.size();
    }
    if (letter >= 'A' && letter <= 'Z' && IsVowel(letter)) UpperFirstVowel(output);
    out += output;
    q += advance;
    if (q < w.size()) out += '/';
  }
  out += ']';
}

}  // namespace

std::string Transcriber::TranscribeText(std::string_view text) const {
  const std::string prepared = PrepareText(text);
  std::string out;
  size_t pos = 0;
  Word word;
  while (TakeWord(prepared, pos, word)) {
    word.text = exceptions_.LookupException(word.text);
    if (word.text.size() > kTranscriptionWordLimit) word.text.resize(kTranscriptionWordLimit);
    MarkStress(word);
    if (Spellable(word.text)) {
      SpellWord(word.text, out);
    } else {
      ApplyDiphoneRules(rules_, word.text, out);
    }
  }
  return out;
}

}  // namespace morventa
