// The letter-rule engine shared by the Marel and diphone voices: stress,
// exceptions, the rule file reader and the pattern symbols of both variants.
#include "speech/letter_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/text_encoding.h"
#include "tests/unit/diphone_fixtures.h"

namespace morventa {
namespace {

using testing::TempDir;
using testing::WriteFile;

constexpr RuleVariant kMarel = RuleVariant::kMarel;
constexpr RuleVariant kDiphone = RuleVariant::kDiphone;

const char* VariantName(RuleVariant v) { return v == kMarel ? "Marel" : "diphone"; }

TEST(FindStress, PortugueseWords) {
  struct Case {
    const char* word;  // UTF-8
    int position;
  };
  const Case cases[] = {
      {"casa", 2},  {"café", 4},   {"papel", 4}, {"rapaz", 4},  {"falam", 2},
      {"jardim", 5}, {"bambu", 5}, {"dia", 2},   {"rua", 2},    {"pai", 2},
      {"quase", 3}, {"lingua", 2}, {"homem", 2}, {"aqui", 4},   {"xyz", 2},
      // Upper case as the Marel voice hands its words over; no vowel at all.
      {"CAFÉ", 4},  {"PAPEL", 4},  {"pts", 0},   {"", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindStress(Ansi(c.word)), c.position) << c.word;
  }
}

TEST(LookupException, FinalSAndMAreSetAsideByEachVariantsCase) {
  TempDir dir;
  WriteFile(dir / "marel.exc", "casa=kaza\r\n\r\nnada\r\n");
  WriteFile(dir / "diphone.exc", "casa=kAza\nnada\n");
  ExceptionTable marel(kMarel);
  ExceptionTable diphone(kDiphone);
  ASSERT_TRUE(marel.LoadExceptions(dir / "marel.exc"));
  ASSERT_TRUE(diphone.LoadExceptions(dir / "diphone.exc"));
  EXPECT_EQ(marel.size(), 2u);  // the empty line is no entry

  struct Case {
    const ExceptionTable& table;
    const char* word;
    const char* result;
  };
  const Case cases[] = {
      // Marel upper-cases the whole line and sets aside S and M.
      {marel, "CASA", "KAZA"},
      {marel, "CASAS", "KAZAS"},
      {marel, "CASAM", "KAZAM"},
      {marel, "CASASM", "KAZASM"},
      {marel, "CASADO", "CASADO"},
      {marel, "casas", "casas"},
      {marel, "NADA", ""},
      {marel, "NADAS", "S"},
      {marel, "SSS", "SSS"},
      // The diphone voice keeps the line as written and sets aside s and m.
      {diphone, "casa", "kAza"},
      {diphone, "casas", "kAzas"},
      {diphone, "casam", "kAzam"},
      {diphone, "casado", "casado"},
      {diphone, "CASAS", "CASAS"},
      {diphone, "nada", ""},
      {diphone, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.table.LookupException(c.word), c.result) << c.word;
  }
}

TEST(LookupException, ReadingStopsAfter15000EntriesAndTheTableIsSorted) {
  TempDir dir;
  std::string file;
  for (int i = 15001; i >= 1; --i) file += "w" + std::to_string(i) + "=p" + std::to_string(i) + "\n";
  WriteFile(dir / "big.exc", file);
  ExceptionTable table(kDiphone);
  ASSERT_TRUE(table.LoadExceptions(dir / "big.exc"));
  EXPECT_EQ(table.size(), 15000u);
  EXPECT_EQ(table.LookupException("w15001"), "p15001");  // first in the file
  EXPECT_EQ(table.LookupException("w2"), "p2");
  EXPECT_EQ(table.LookupException("w1"), "w1");  // the 15001st line
}

TEST(LetterRules, MissingFilesAreReported) {
  TempDir dir;
  RuleSet rules(kDiphone);
  ExceptionTable exceptions(kDiphone);
  EXPECT_FALSE(rules.LoadRules(dir / "none.rgr"));
  EXPECT_FALSE(exceptions.LoadExceptions(dir / "none.exc"));
}

TEST(LetterRules, RuleLinesParseAsFarAsTheyGo) {
  struct Case {
    RuleVariant variant;
    const char* line;
    bool stored;
    const char* left;
    const char* center;
    const char* right;
    const char* output;
  };
  const Case cases[] = {
      {kMarel, "A(B)C=xy|", true, "A", "B", "C", "xy"},
      {kMarel, "(B)= k a |trailing", true, "", "B", "", " k a "},
      {kMarel, "(B)C=xy|\r", true, "", "B", "C", "xy"},
      {kMarel, "|(B=xy|", true, "|", "B=xy|", "", ""},  // no ")"
      {kMarel, "(B)C#", true, "", "B", "C#", ""},       // no "="
      {kMarel, "(B)C=xyz", true, "", "B", "C", "xyz"},  // no "|"
      {kMarel, "ABCDEFG(HIJKLMN)OPQRSTU=0123456789abcdefghijklmn|", true, "ABCDE", "HIJKL",
       "OPQRS", "0123456789abcdefghij"},
      {kDiphone, "ABCDEFG(HIJKLMN)OPQRSTU=0123456789abcdefghijklmn|", true, "ABCDE", "HIJKL",
       "OPQRS", "0123456789a"},
      {kMarel, "B=x|", false, "", "", "", ""},  // no "(": all Left, no Center
      {kMarel, "A()B=x|", false, "", "", "", ""},
      {kMarel, ";(B)=x|", false, "", "", "", ""},
      {kMarel, "", false, "", "", "", ""},
      // Lists are keyed by the upper-cased first Center character; the
      // diphone voice has lists for 32..95 only.
      {kDiphone, "(b)=x|", true, "", "b", "", "x"},
      {kDiphone, "(|)=x|", false, "", "", "", ""},
      {kMarel, "(|)=x|", true, "", "|", "", "x"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(VariantName(c.variant)) + " " + c.line);
    WriteFile(dir / "one.rgr", c.line);
    RuleSet rules(c.variant);
    ASSERT_TRUE(rules.LoadRules(dir / "one.rgr"));
    if (!c.stored) {
      EXPECT_EQ(rules.rule_count(), 0u);
      continue;
    }
    ASSERT_EQ(rules.rule_count(), 1u);
    const auto key = static_cast<unsigned char>(c.center[0] >= 'a' && c.center[0] <= 'z'
                                                    ? c.center[0] - 32
                                                    : c.center[0]);
    ASSERT_EQ(rules.RulesFor(key).size(), 1u);
    const LetterRule& r = rules.RulesFor(key)[0];
    EXPECT_EQ(r.left, c.left);
    EXPECT_EQ(r.center, c.center);
    EXPECT_EQ(r.right, c.right);
    EXPECT_EQ(r.output, c.output);
  }
}

TEST(LetterRules, RulesOfALetterAreTriedInFileOrder) {
  TempDir dir;
  WriteFile(dir / "order.rgr", "; comment\n(C)E=first|\n(CH)=ch|\n(C)=last|\n(C)E=never|\n");
  RuleSet rules(kMarel);
  ASSERT_TRUE(rules.LoadRules(dir / "order.rgr"));
  EXPECT_EQ(rules.FindRule("CE", 0)->output, "first");
  EXPECT_EQ(rules.FindRule("CHA", 0)->output, "ch");
  EXPECT_EQ(rules.FindRule("CA", 0)->output, "last");
  EXPECT_EQ(rules.FindRule("AC", 0), nullptr);  // no rule for A
}

// Each symbol in both variants: a one-rule file, a word, the position of
// the Center, and whether the rule applies there.
TEST(LetterRules, PatternSymbolsOfBothVariants) {
  struct Case {
    RuleVariant variant;
    const char* rule;
    const char* word;  // UTF-8
    size_t q;
    bool matches;
  };
  const Case cases[] = {
      // Letters and a Center of two letters, compared without regard to case.
      {kMarel, "A(BC)D=x|", "ABCD", 1, true},
      {kMarel, "A(BC)D=x|", "ABCE", 1, false},
      {kMarel, "A(BC)D=x|", "ABC", 1, false},
      {kDiphone, "A(BC)D=x|", "abcd", 1, true},
      {kDiphone, "(A')=x|", "a'", 0, true},

      // # right: one vowel (Marel), a run of vowels and marks (diphone).
      {kMarel, "(B)#S=x|", "BES", 0, true},
      {kMarel, "(B)#S=x|", "BÉS", 0, true},
      {kMarel, "(B)#S=x|", "BEES", 0, false},
      {kMarel, "(B)#=x|", "B", 0, false},
      {kDiphone, "(B)#S=x|", "bees", 0, true},
      {kDiphone, "(B)#S=x|", "be'es", 0, true},
      {kDiphone, "(B)#S=x|", "bs", 0, false},
      // # left.
      {kMarel, "S#(B)=x|", "SAB", 2, true},
      {kMarel, "S#(B)=x|", "SAAB", 3, false},
      {kMarel, "#(B)=x|", "B", 0, false},
      {kDiphone, "S#(B)=x|", "saa'b", 4, true},
      {kDiphone, "S#(B)=x|", "sb", 1, false},

      // % right and left: the word's ends.
      {kMarel, "(B)%=x|", "AB", 1, true},
      {kMarel, "(B)%=x|", "BA", 0, false},
      {kMarel, "%(B)=x|", "BA", 0, true},
      {kMarel, "%(B)=x|", "AB", 1, false},
      {kDiphone, "(B)%=x|", "ab", 1, true},
      {kDiphone, "%(B)=x|", "ab", 1, false},

      // & right: a sonorant, consumed.
      {kMarel, "(B)&A=x|", "BLA", 0, true},
      {kMarel, "(B)&=x|", "BT", 0, false},
      {kMarel, "(B)&=x|", "B", 0, false},
      {kDiphone, "(B)&A=x|", "bza", 0, true},
      {kDiphone, "(B)&=x|", "bs", 0, false},

      // * right: a consonant but L or R follows, not consumed.
      {kMarel, "(B)*T=x|", "BT", 0, true},
      {kMarel, "(B)*=x|", "BÇ", 0, true},
      {kMarel, "(B)*=x|", "BL", 0, false},
      {kMarel, "(B)*=x|", "BR", 0, false},
      {kMarel, "(B)*=x|", "BA", 0, false},
      {kMarel, "(B)*=x|", "B", 0, false},
      {kDiphone, "(B)*=x|", "bw", 0, true},
      {kDiphone, "(B)*=x|", "bç", 0, false},  // never a consonant here
      {kDiphone, "(B)*=x|", "br", 0, false},

      // + right: a front vowel, consumed (with its mark in the diphone voice).
      {kMarel, "(B)+S=x|", "BES", 0, true},
      {kMarel, "(B)+S=x|", "BÍS", 0, true},
      {kMarel, "(B)+=x|", "BA", 0, false},
      {kMarel, "(B)+S=x|", "BE'S", 0, false},
      {kDiphone, "(B)+S=x|", "bis", 0, true},
      {kDiphone, "(B)+S=x|", "be's", 0, true},
      {kDiphone, "(B)+=x|", "bo", 0, false},

      // [ right: the end, or a consonant but H follows; not consumed.
      {kMarel, "(B)[=x|", "B", 0, true},
      {kMarel, "(B)[T=x|", "BT", 0, true},
      {kMarel, "(B)[=x|", "BH", 0, false},
      {kMarel, "(B)[=x|", "BA", 0, false},
      {kDiphone, "(B)[=x|", "bt", 0, true},
      {kDiphone, "(B)[=x|", "bh", 0, false},

      // \ right: an S is taken when there, and always matches.
      {kMarel, "(B)\\A=x|", "BSA", 0, true},
      {kMarel, "(B)\\A=x|", "BA", 0, true},
      {kMarel, "(B)\\=x|", "B", 0, true},
      {kMarel, "(B)\\A=x|", "BTA", 0, false},
      {kDiphone, "(B)\\A=x|", "bsa", 0, true},

      // ] left: a back vowel, consumed (or mark and back vowel, diphone).
      {kMarel, "S](B)=x|", "SAB", 2, true},
      {kMarel, "](B)=x|", "ÓB", 1, true},
      {kMarel, "](B)=x|", "EB", 1, false},
      {kMarel, "](B)=x|", "B", 0, false},
      {kDiphone, "S](B)=x|", "sa'b", 3, true},
      {kDiphone, "](B)=x|", "ob", 1, true},
      {kDiphone, "](B)=x|", "e'b", 2, false},
      {kDiphone, "](B)=x|", "'b", 1, false},

      // _ left: a vowel, consumed, or the start of the word.
      {kMarel, "S_(B)=x|", "SAB", 2, true},
      {kMarel, "_(B)=x|", "B", 0, true},
      {kMarel, "_(B)=x|", "CB", 1, false},
      {kMarel, "S_(B)=x|", "SB", 1, false},
      {kDiphone, "S_(B)=x|", "se^b", 3, true},
      {kDiphone, "_(B)=x|", "b", 0, true},
      {kDiphone, "_(B)=x|", "s'b", 2, false},

      // | left: N, R or S, consumed.
      {kMarel, "A|(B)=x|", "ANB", 2, true},
      {kMarel, "|(B)=x|", "SB", 1, true},
      {kMarel, "|(B)=x|", "LB", 1, false},
      {kMarel, "|(B)=x|", "B", 0, false},
      {kDiphone, "|(B)=x|", "rb", 1, true},
      {kDiphone, "|(B)=x|", "mb", 1, false},

      // A symbol on the other side is a plain character.
      {kMarel, "(B)]=x|", "B]", 0, true},
      {kMarel, "(B)]=x|", "BA", 0, false},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(VariantName(c.variant)) + " " + c.rule + " on " + c.word);
    WriteFile(dir / "symbol.rgr", c.rule);
    RuleSet rules(c.variant);
    ASSERT_TRUE(rules.LoadRules(dir / "symbol.rgr"));
    ASSERT_EQ(rules.rule_count(), 1u);
    EXPECT_EQ(rules.FindRule(Ansi(c.word), c.q) != nullptr, c.matches);
  }
}

TEST(ApplyRules, MarelPhonemeLines) {
  struct Case {
    const char* word;
    int stress;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"CASA", 2, {"k", ">a", "z", "a", ""}},
      {"CASA", 0, {"k", "a", "z", "a", ""}},
      {"CASA", 1, {">k", "a", "z", "a", ""}},
      // "&" ends a phoneme inside one output; an output over 11 characters
      // contributes 11; a letter without a rule gives nothing.
      {"X", 1, {">k", "s", ""}},
      {"L", 0, {"abcdefghijk", ""}},
      {"Q", 1, {""}},
      {"", 1, {""}},
      // One marker per word even when later outputs pass the position.
      {"XX", 1, {">k", "s", "k", "s", ""}},
  };
  TempDir dir;
  WriteFile(dir / "marel.nrl",
            "(C)=k|\n(A)=a|\n(S)=z|\n(X)=k&s|\n(L)=abcdefghijklmnopq|\n");
  RuleSet rules(kMarel);
  ASSERT_TRUE(rules.LoadRules(dir / "marel.nrl"));
  EXPECT_EQ(rules.RulesFor('L')[0].output.size(), 17u);  // the file keeps up to 20
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    ApplyRules(rules, c.word, c.stress, lines);
    EXPECT_EQ(lines, c.lines) << c.word << " stress " << c.stress;
  }
}

}  // namespace
}  // namespace morventa
