// Letter-to-sound rules and exception words, shared by the console's diphone
// voice and the Marel voice. One engine, two variants: they differ only in
// which characters key a rule list, how long a rule's output may be, how the
// exception file is read and what the pattern symbols mean (table below).
//
// Rule file ("regras.rgr" for the diphone voice, the ".nrl" file for Marel).
// Windows-1252 text, one rule per line, CR LF or LF line ends:
//
//     Left(Center)Right=Output|
//
//   - A line whose first character is ";" is a comment.
//   - Fields are cut to 5 characters (Left, Center, Right) and to 20 (Marel)
//     or 11 (diphone voice) characters (Output). Blanks are significant: an
//     Output may hold blanks on purpose (the diphone voice ends syllable
//     tokens at a blank).
//   - A missing "(" makes the whole line Left and leaves the rest empty; a
//     missing ")", "=" or "|" makes that field run to the end of the line and
//     leaves the following fields empty. Anything after "|" is ignored.
//   - A rule is appended to the list of its Center's first character
//     (upper-cased), so the rules of a letter are tried in file order and the
//     first match wins. Only lists for 32..255 (Marel) or 32..95 (diphone
//     voice: letters, digits, punctuation, the accent mark ' and the like)
//     exist; a rule keyed elsewhere, or with an empty Center, can never be
//     tried and is dropped.
//   - Patterns are written in upper case; letters compare without regard to
//     case (a-z, and for Marel the accented letters too). Any pattern
//     character that is not a symbol of its side (below) is such a letter, so
//     "'", "^" or "~" in a pattern match those marks literally.
//
// Pattern symbols. Right patterns are read left to right starting just after
// the Center, Left patterns right to left starting just before it; a consumed
// character moves the match position one further outwards. A position outside
// the word fails every symbol except the boundary ones (%, [, \ and _).
//
//   sym side  Marel                               diphone voice
//   #   both  one vowel, consumed                 one or more vowels or accent
//                                                 marks, all consumed
//   %   right end of the word                     same
//   %   left  start of the word                   same
//   &   right one sonorant L M N R Z, consumed    same (l m n r z)
//   *   right a consonant other than L, R follows same, its own consonants
//             (not consumed)
//   +   right one front vowel, consumed           front vowel e/i, consumed with
//                                                 an accent mark right after it
//   [   right end of word, or a consonant other than H follows (not consumed)
//   \   right an S is consumed if present; always matches
//   ]   left  one back vowel, consumed            back vowel a/o, consumed; or an
//                                                 accent mark with a back vowel
//                                                 before it, both consumed
//   _   left  one vowel, consumed; or the start   same, or an accent mark with a
//             of the word                         vowel before it (both consumed)
//   |   left  one of N R S, consumed              same (n r s)
//
// Character classes. Marel: vowels A E I O U and the accented vowels
// À Á Â Ã É Ê Ì Í Ó Ô Õ Ù Ú Ü in both cases; consonants B-D F-H J-N P-T V-Z,
// Ç, Ñ in both cases; back vowels A O Á Â Ó Ô, front vowels E I É Í (both
// cases). Diphone voice: vowels A E I O U, consonants B-D F-H J-N P-T V-Z
// (w and y are consonants), back vowels A O, front vowels E I, accent marks
// " ' ^ ` ~. Letter classes take both cases in both variants: the diphone
// voice's words are lower case with upper-case stressed vowels.
//
// Exception file ("portug.exc" for the diphone voice, the ".exc" file for
// Marel). Windows-1252 text, one entry per line:
//
//     word=pronunciation
//
//   - No comment syntax; empty lines are skipped. A line without "=" maps the
//     word to an empty pronunciation. Nothing is trimmed but the line end.
//   - Marel upper-cases each whole line (a-z and the accented letters); the
//     diphone voice keeps it as written, so its words are written the way the
//     transcription prepares them: lower case, an accent as a mark after its
//     vowel ("voce^", "a'gua"), c-cedilla as "ss".
//   - At most 15000 entries are read; the table is sorted by word in byte order.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace morventa {

enum class RuleVariant { kMarel, kDiphone };

struct LetterRule {
  std::string left;
  std::string center;
  std::string right;
  std::string output;
};

// Per-variant limits, exposed for the tools that check the data files.
constexpr size_t kRuleFieldLimit = 5;
constexpr size_t kMarelOutputLimit = 20;
constexpr size_t kDiphoneOutputLimit = 11;
constexpr size_t kExceptionLimit = 15000;

class RuleSet {
 public:
  explicit RuleSet(RuleVariant variant) : variant_(variant) {}

  // LoadRules: adds every rule of the file (a Linux path); false when the file
  // cannot be opened. Rules already held are kept (call FreeRules first).
  bool LoadRules(const std::string& path);
  // One line of a rule file, exactly as the loader reads it.
  void AddRuleLine(std::string_view line);
  void FreeRules();

  RuleVariant variant() const { return variant_; }
  size_t rule_count() const { return count_; }
  // The rules keyed by a Center's first character, in file order.
  const std::vector<LetterRule>& RulesFor(unsigned char first) const { return lists_[first]; }

  // The first rule of the list of the (upper-cased) character at word[q]
  // whose Center, Left and Right all match there; nullptr when none does.
  // q is 0-based.
  const LetterRule* FindRule(std::string_view word, size_t q) const;

 private:
  bool Matches(const LetterRule& rule, std::string_view word, size_t q) const;
  bool MatchRight(std::string_view pattern, std::string_view word, size_t pos) const;
  bool MatchLeft(std::string_view pattern, std::string_view word, size_t end) const;

  RuleVariant variant_;
  std::array<std::vector<LetterRule>, 256> lists_;
  size_t count_ = 0;
};

class ExceptionTable {
 public:
  explicit ExceptionTable(RuleVariant variant) : variant_(variant) {}

  // LoadExceptions: replaces the table with the file's entries (a Linux
  // path); false when the file cannot be opened.
  bool LoadExceptions(const std::string& path);
  // Entries added one by one need Sort() before the first lookup.
  void AddLine(std::string_view line);
  void Sort();
  void Clear() { entries_.clear(); }
  size_t size() const { return entries_.size(); }

  // LookupException: the word's pronunciation when the table holds it;
  // otherwise a final S or M (Marel) or s or m (diphone voice) is set aside
  // and the shorter word tried again, the letters set aside following the
  // pronunciation found (CASAS gives the pronunciation of CASA followed by S).
  // A word that is not found comes back unchanged.
  std::string LookupException(std::string_view word) const;

 private:
  const std::string* Find(std::string_view word) const;

  RuleVariant variant_;
  std::vector<std::pair<std::string, std::string>> entries_;
};

// FindStress (Marel): the 1-based position of the stressed vowel of a word
// (either case, Windows-1252), or 0 when it has none.
int FindStress(std::string_view word);

// ApplyRules (Marel): appends the phoneme lines of one upper-case word to
// phonemes. stress is the 1-based stressed position (below 1: none); the first
// output character produced at or after it is preceded by ">". Each rule
// output contributes at most 11 characters; "&" in an output ends a phoneme
// line. A final line holds whatever is pending (empty when nothing is).
void ApplyRules(const RuleSet& rules, std::string_view word, int stress,
                std::vector<std::string>& phonemes);

}  // namespace morventa
