#include "speech/letter_rules.h"

#include <algorithm>
#include <fstream>

#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

using CharSet = std::array<bool, 256>;

CharSet SetOf(std::string_view ansi_members) {
  CharSet set{};
  for (char c : ansi_members) set[static_cast<unsigned char>(c)] = true;
  return set;
}

// The letter classes the pattern symbols test, one set per variant.
struct Classes {
  CharSet vowel, consonant, back, front, sonorant, coda, mark;
  bool marks_count;  // the diphone voice's words carry accents as marks
};

Classes MakeMarelClasses() {
  Classes c;
  c.vowel = SetOf(Ansi("AEIOUaeiouÀÁÂÃÉÊÌÍÓÔÕÙÚÜàáâãéêìíóôõùúü"));
  c.consonant = SetOf(Ansi("BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyzÇÑçñ"));
  c.back = SetOf(Ansi("AOaoÁÂÓÔáâóô"));
  c.front = SetOf(Ansi("EIeiÉÍéí"));
  c.sonorant = SetOf("LMNRZlmnrz");
  c.coda = SetOf("NRSnrs");
  c.mark = CharSet{};
  c.marks_count = false;
  return c;
}

Classes MakeDiphoneClasses() {
  Classes c;
  c.vowel = SetOf("AEIOUaeiou");
  c.consonant = SetOf("BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz");
  c.back = SetOf("AOao");
  c.front = SetOf("EIei");
  c.sonorant = SetOf("LMNRZlmnrz");
  c.coda = SetOf("NRSnrs");
  c.mark = SetOf("\"'^`~");
  c.marks_count = true;
  return c;
}

const Classes& ClassesFor(RuleVariant variant) {
  static const Classes marel = MakeMarelClasses();
  static const Classes diphone = MakeDiphoneClasses();
  return variant == RuleVariant::kMarel ? marel : diphone;
}

unsigned char Upper(RuleVariant variant, unsigned char c) {
  return variant == RuleVariant::kMarel ? UpperChar(c) : SimpleUpper(c);
}

unsigned char LastListChar(RuleVariant variant) {
  return variant == RuleVariant::kMarel ? 255 : 95;
}

size_t OutputLimit(RuleVariant variant) {
  return variant == RuleVariant::kMarel ? kMarelOutputLimit : kDiphoneOutputLimit;
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

std::string Cut(std::string_view field, size_t limit) {
  return std::string(field.substr(0, std::min(field.size(), limit)));
}

// Accent-aware lower case: A-Z and the upper-case accented letters.
unsigned char LowerChar(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 192 && c <= 222) return static_cast<unsigned char>(c + 32);
  return c;
}

}  // namespace

// ---------------------------------------------------------------- rule files

bool RuleSet::LoadRules(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) AddRuleLine(line);
  return true;
}

void RuleSet::AddRuleLine(std::string_view line) {
  line = WithoutLineEnd(line);
  if (!line.empty() && line[0] == ';') return;

  std::string_view left = line, center, right, output;
  if (const size_t open = line.find('('); open != std::string_view::npos) {
    left = line.substr(0, open);
    std::string_view rest = line.substr(open + 1);
    const size_t close = rest.find(')');
    center = rest.substr(0, close);
    if (close != std::string_view::npos) {
      rest = rest.substr(close + 1);
      const size_t equals = rest.find('=');
      right = rest.substr(0, equals);
      if (equals != std::string_view::npos) {
        rest = rest.substr(equals + 1);
        output = rest.substr(0, rest.find('|'));
      }
    }
  }

  LetterRule rule{Cut(left, kRuleFieldLimit), Cut(center, kRuleFieldLimit),
                  Cut(right, kRuleFieldLimit), Cut(output, OutputLimit(variant_))};
  if (rule.center.empty()) return;
  const unsigned char key = Upper(variant_, static_cast<unsigned char>(rule.center[0]));
  if (key < 32 || key > LastListChar(variant_)) return;
  lists_[key].push_back(std::move(rule));
  ++count_;
}

void RuleSet::FreeRules() {
  for (auto& list : lists_) list.clear();
  count_ = 0;
}

// ---------------------------------------------------------------- matching

const LetterRule* RuleSet::FindRule(std::string_view word, size_t q) const {
  if (q >= word.size()) return nullptr;
  const unsigned char key = Upper(variant_, static_cast<unsigned char>(word[q]));
  for (const LetterRule& rule : lists_[key]) {
    if (Matches(rule, word, q)) return &rule;
  }
  return nullptr;
}

bool RuleSet::Matches(const LetterRule& rule, std::string_view word, size_t q) const {
  const size_t n = rule.center.size();
  if (q + n > word.size()) return false;
  for (size_t i = 0; i < n; ++i) {
    if (Upper(variant_, static_cast<unsigned char>(word[q + i])) !=
        Upper(variant_, static_cast<unsigned char>(rule.center[i])))
      return false;
  }
  return MatchLeft(rule.left, word, q) && MatchRight(rule.right, word, q + n);
}

bool RuleSet::MatchRight(std::string_view pattern, std::string_view word, size_t pos) const {
  const Classes& cls = ClassesFor(variant_);
  const size_t n = word.size();
  auto at = [&](size_t i) { return static_cast<unsigned char>(word[i]); };
  auto up = [&](size_t i) { return Upper(variant_, at(i)); };
  auto vowel_or_mark = [&](size_t i) {
    return cls.vowel[at(i)] || (cls.marks_count && cls.mark[at(i)]);
  };

  for (const char pc : pattern) {
    const auto p = static_cast<unsigned char>(pc);
    switch (p) {
      case '#':
        if (pos >= n || !vowel_or_mark(pos)) return false;
        ++pos;
        if (cls.marks_count) {
          while (pos < n && vowel_or_mark(pos)) ++pos;
        }
        break;
      case '%':
        if (pos < n) return false;
        break;
      case '&':
        if (pos >= n || !cls.sonorant[at(pos)]) return false;
        ++pos;
        break;
      case '*':
        if (pos >= n || !cls.consonant[at(pos)] || up(pos) == 'L' || up(pos) == 'R') return false;
        break;
      case '+':
        if (pos >= n || !cls.front[at(pos)]) return false;
        ++pos;
        if (cls.marks_count && pos < n && cls.mark[at(pos)]) ++pos;
        break;
      case '[':
        if (pos < n && (!cls.consonant[at(pos)] || up(pos) == 'H')) return false;
        break;
      case '\\':
        if (pos < n && up(pos) == 'S') ++pos;
        break;
      default:
        if (pos >= n || up(pos) != Upper(variant_, p)) return false;
        ++pos;
        break;
    }
  }
  return true;
}

// `end` is the number of word characters before the Center; the pattern is
// read from its last character, each step looking at word[end - 1].
bool RuleSet::MatchLeft(std::string_view pattern, std::string_view word, size_t end) const {
  const Classes& cls = ClassesFor(variant_);
  auto at = [&](size_t i) { return static_cast<unsigned char>(word[i]); };
  auto vowel_or_mark = [&](size_t i) {
    return cls.vowel[at(i)] || (cls.marks_count && cls.mark[at(i)]);
  };
  // A vowel of `set` just before `end`, or in the diphone voice an accent
  // mark with such a vowel before it: how many characters that takes, or 0.
  auto vowel_with_mark = [&](const CharSet& set) -> size_t {
    if (end >= 1 && set[at(end - 1)]) return 1;
    if (cls.marks_count && end >= 2 && cls.mark[at(end - 1)] && set[at(end - 2)]) return 2;
    return 0;
  };

  for (size_t i = pattern.size(); i-- > 0;) {
    const auto p = static_cast<unsigned char>(pattern[i]);
    switch (p) {
      case '#':
        if (end == 0 || !vowel_or_mark(end - 1)) return false;
        --end;
        if (cls.marks_count) {
          while (end > 0 && vowel_or_mark(end - 1)) --end;
        }
        break;
      case '%':
        if (end != 0) return false;
        break;
      case ']': {
        const size_t taken = vowel_with_mark(cls.back);
        if (taken == 0) return false;
        end -= taken;
        break;
      }
      case '_': {
        if (end == 0) break;  // the start of the word
        const size_t taken = vowel_with_mark(cls.vowel);
        if (taken == 0) return false;
        end -= taken;
        break;
      }
      case '|':
        if (end == 0 || !cls.coda[at(end - 1)]) return false;
        --end;
        break;
      default:
        if (end == 0 || Upper(variant_, at(end - 1)) != Upper(variant_, p)) return false;
        --end;
        break;
    }
  }
  return true;
}

// ---------------------------------------------------------------- exceptions

bool ExceptionTable::LoadExceptions(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  entries_.clear();
  std::string line;
  while (entries_.size() < kExceptionLimit && std::getline(in, line)) AddLine(line);
  Sort();
  return true;
}

void ExceptionTable::AddLine(std::string_view raw) {
  if (entries_.size() >= kExceptionLimit) return;
  std::string line(WithoutLineEnd(raw));
  if (line.empty()) return;
  if (variant_ == RuleVariant::kMarel) line = UpperText(line);
  const size_t equals = line.find('=');
  if (equals == std::string::npos) {
    entries_.emplace_back(line, std::string());
  } else {
    entries_.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
}

void ExceptionTable::Sort() {
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

const std::string* ExceptionTable::Find(std::string_view word) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), word,
                             [](const auto& entry, std::string_view w) { return entry.first < w; });
  if (it == entries_.end() || it->first != word) return nullptr;
  return &it->second;
}

std::string ExceptionTable::LookupException(std::string_view word) const {
  const char s = variant_ == RuleVariant::kMarel ? 'S' : 's';
  const char m = variant_ == RuleVariant::kMarel ? 'M' : 'm';
  std::string_view rest = word;
  while (!rest.empty()) {
    if (const std::string* found = Find(rest)) {
      return *found + std::string(word.substr(rest.size()));
    }
    if (rest.back() != s && rest.back() != m) break;
    rest.remove_suffix(1);
  }
  return std::string(word);
}

// ---------------------------------------------------------------- stress

int FindStress(std::string_view word) {
  std::string w(word);
  for (char& c : w) c = static_cast<char>(LowerChar(static_cast<unsigned char>(c)));
  const int n = static_cast<int>(w.size());

  static const CharSet accented = SetOf(Ansi("àáâãéêíóôõú"));
  static const CharSet vowel = SetOf(Ansi("aeiouwyü"));
  for (int p = n; p >= 1; --p) {
    if (accented[static_cast<unsigned char>(w[p - 1])]) return p;
  }
  if (std::none_of(w.begin(), w.end(), [](char c) { return vowel[static_cast<unsigned char>(c)]; }))
    return 0;

  auto is = [](char c, std::string_view set) { return set.find(c) != std::string_view::npos; };
  int r = 0;
  int state = 0;
  for (int p = n; p >= 1; --p) {
    const char c = w[p - 1];
    const bool any_vowel = vowel[static_cast<unsigned char>(c)];
    bool stop = false;
    switch (state) {
      case 0:
        if (is(c, "aeo")) r = p, state = 1;
        else if (c == 'u') r = p, state = 10;
        else if (c == 'i') r = p, state = 20;
        else if (c == 's') state = 0;
        else if (c == 'm') state = 40;
        else state = 30;
        break;
      case 1:
        if (c == 'u') state = 4;
        else if (any_vowel) r = p, stop = true;
        else state = 2;
        break;
      case 2:
        if (is(c, "aeo")) r = p, stop = true;
        else if (is(c, "iu")) r = p, state = 3;
        break;
      case 3:
        if (is(c, "aeo")) r = p, stop = true;
        else if (c == 'u') state = 5;
        else stop = true;
        break;
      case 4:
        if (is(c, "gq")) r = p + 2, state = 2;
        else r = p + 1, stop = true;
        break;
      case 5:
        r = is(c, "gq") ? p + 2 : p + 1;
        stop = true;
        break;
      case 10:
        if (is(c, "aeio")) r = p;
        stop = true;
        break;
      case 20:
        if (is(c, "aeo")) r = p;
        else if (c == 'u') state = 21;
        else stop = true;
        break;
      case 21:
        r = is(c, "gq") ? p + 2 : p + 1;
        stop = true;
        break;
      case 30:
        if (any_vowel) r = p, stop = true;
        break;
      case 40:
        if (is(c, "iou")) r = p, stop = true;
        else if (is(c, "ae")) r = p, state = 1;
        else state = 0;
        break;
    }
    if (stop) break;
  }
  return r;
}

// ---------------------------------------------------------------- Marel rules

void ApplyRules(const RuleSet& rules, std::string_view word, int stress,
                std::vector<std::string>& phonemes) {
  // Each rule's output is taken to 11 characters whatever the file allowed.
  constexpr size_t kAppliedOutput = 11;
  if (stress < 1) stress = 9999;
  bool marked = false;
  std::string current;
  size_t q = 0;
  while (q < word.size()) {
    const LetterRule* rule = rules.FindRule(word, q);
    if (rule) {
      const std::string_view output =
          std::string_view(rule->output).substr(0, std::min(rule->output.size(), kAppliedOutput));
      for (const char c : output) {
        if (!marked && static_cast<int>(q) + 1 >= stress) {
          current += '>';
          marked = true;
        }
        if (c == '&') {
          phonemes.push_back(std::move(current));
          current.clear();
        } else {
          current += c;
        }
      }
      if (!output.empty()) {
        phonemes.push_back(std::move(current));
        current.clear();
      }
      q += rule->center.size();
    } else {
      ++q;
    }
  }
  phonemes.push_back(std::move(current));
}

}  // namespace morventa
