// SEJA: assignment and its built-in functions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "console/clock.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

// A line run on a fresh runtime, and what the variable holds afterwards
// (Windows-1252 written as escapes, lines in UTF-8).
struct SejaCase {
  const char* line;
  bool ok;
  const char* var;
  const char* value;
};

void RunSejaCases(const SejaCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const SejaCase& c = cases[i];
    TestRuntime t;
    t.Var("c") = "letra c";
    t.Var("l") = "";
    t.Var("t") = "antes";
    t.Var("w") = "\t x \x01";
    t.Var("x") = "abc";
    t.Var("$args") = "2 c:\\a%20b x";
    EXPECT_EQ(t.Line(c.line), c.ok) << c.line;
    EXPECT_EQ(t.Var(c.var), c.value) << c.line;
  }
}

TEST(Seja, AssignsAValue) {
  const SejaCase cases[] = {
      {"seja a 5", true, "a", "5"},
      {"SEJA a = 5", true, "a", "5"},
      {"seja a =5", true, "a", "5"},
      {"seja a==5", false, "a", ""},   // only one "=" is removed
      {"seja $x \"oi\"", true, "$x", "oi"},
      {"seja a (2*3)", true, "a", "6"},
      {"seja a c", true, "a", "letra c"},
      {"seja a 5 6", false, "a", "5"},  // stored, then the leftover fails
      {"seja v crlf x", false, "v", "letra c"},  // not the function: C is read
      {"seja a =", false, "a", ""},
      {"seja a", false, "a", ""},
      {"seja 5 5", false, "a", ""},
      {"seja ab 5", false, "a", ""},
      {"seja a #", false, "a", ""},
  };
  RunSejaCases(cases, std::size(cases));
}

TEST(Seja, TextFunctions) {
  const SejaCase cases[] = {
      {"seja t tamanho l", true, "t", "0"},
      {"seja t tamanho \"abc\"", true, "t", "3"},
      {"seja t TaManHo \"ação\"", true, "t", "4"},
      {"seja t = tamanho x", true, "t", "3"},
      {"seja t tamanho \"a\" x", false, "t", "antes"},  // nothing stored
      {"seja t tamanho", false, "t", "antes"},           // read as the letter T
      {"seja m maiusc \"ação b\"", true, "m", "A\xC7\xC3O B"},
      {"seja m trim \"  a b \"", true, "m", "a b"},
      {"seja m trim w", true, "m", "x"},
      {"seja p pos \"\\\" \"c:\\dir\\file.txt\"", true, "p", "3"},
      {"seja p pos \"c\" \"abcabc\"", true, "p", "3"},
      {"seja p pos \"z\" \"abc\"", true, "p", "0"},
      {"seja p pos \"\" \"abc\"", true, "p", "0"},
      {"seja p pos \"a\" \"\"", true, "p", "0"},
      {"seja p pos \"a\"", false, "p", ""},
      {"seja p pos \"a\" \"b\" \"c\"", false, "p", ""},
      {"seja q palavra 1 $args", true, "q", "2"},
      {"seja q palavra 2 $args", true, "q", "c:\\a%20b"},
      {"seja q palavra 3 $args", true, "q", "x"},
      {"seja q palavra 4 $args", true, "q", ""},
      {"seja q palavra 2 \"a   b  c\"", true, "q", "b"},
      {"seja q palavra 1 \" a b\"", true, "q", ""},  // an empty first word
      {"seja q palavra 2 \" a b\"", true, "q", "a"},
      {"seja q palavra \"2\" \"a b\"", true, "q", "b"},
      {"seja q palavra 2147483647 \"a b\"", true, "q", ""},
      {"seja q palavra 0 $args", false, "q", ""},
      {"seja q palavra -1 $args", false, "q", ""},
      {"seja q palavra x $args", false, "q", ""},
      {"seja q palavra 1", false, "q", ""},
  };
  RunSejaCases(cases, std::size(cases));
}

TEST(Seja, CharacterCodes) {
  const SejaCase cases[] = {
      {"seja k chr \"#65\"", true, "k", "A"},
      {"seja k chr \"010#13\"", true, "k", "\r"},
      {"seja k chr \"000#97\"", true, "k", "a"},
      {"seja k chr \"#321\"", true, "k", "A"},   // the lowest 8 bits
      {"seja k chr \"#233\"", true, "k", "\xE9"},
      {"seja k chr \"#$41\"", true, "k", "A"},
      {"seja k chr \"#0\"", true, "k", ""},
      {"seja k chr \"#065\"", true, "k", ""},
      {"seja k chr \"#\"", true, "k", ""},
      {"seja k chr \"abc\"", true, "k", ""},
      {"seja k chr \"210#65\"", true, "k", ""},
      {"seja k chr \"000#0#72\"", true, "k", ""},
      {"seja k chr \"#6a\"", true, "k", ""},
      {"seja k chr \"65\"", true, "k", ""},
      {"seja k asc \"A\"", true, "k", "#65"},
      {"seja k asc \"é\"", true, "k", "#233"},
      {"seja k asc \"\"", true, "k", ""},
      {"seja k asc \"ab\"", true, "k", ""},
      {"seja k asc", false, "k", ""},
  };
  RunSejaCases(cases, std::size(cases));
}

TEST(Seja, ParamsJoinsTheParametersWithTheirBlanksEncoded) {
  struct ParamsCase {
    std::vector<std::string> params;
    const char* value;
  };
  const ParamsCase cases[] = {
      {{}, "0"},
      {{"c:\\a b", "x"}, "2 c:\\a%20b x"},
      {{"  ", "\xE9"}, "2 %20%20 \xE9"},
  };
  for (const auto& c : cases) {
    TestRuntime t(c.params);
    ASSERT_TRUE(t.Line("seja $args Params"));
    EXPECT_EQ(t.Var("$args"), c.value);
  }
}

TEST(Seja, ClockFunctions) {
  using ::testing::MatchesRegex;
  TestRuntime t;
  ASSERT_TRUE(t.Line("seja e crlf"));
  EXPECT_EQ(t.Var("e"), "\r\n");
  ASSERT_TRUE(t.Line("seja d data"));
  EXPECT_THAT(t.Var("d"), MatchesRegex("[0-3][0-9]/[01][0-9]/[0-9]{4}"));
  ASSERT_TRUE(t.Line("seja h hora"));
  EXPECT_THAT(t.Var("h"), MatchesRegex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]"));
  ASSERT_TRUE(t.Line("seja w dia"));
  EXPECT_THAT(t.Var("w"),
              MatchesRegex(Ansi("Domingo|Segunda|Terça|Quarta|Quinta|Sexta|Sábado")));
  ASSERT_TRUE(t.Line("seja z tempo"));
  const auto elapsed = ToInteger(t.Var("z"));
  ASSERT_TRUE(elapsed);
  EXPECT_GE(*elapsed, 0);
  EXPECT_LT(*elapsed, 6000);  // a fresh runtime: well under a minute
}

TEST(Seja, RandFollowsItsSeedFromZero) {
  // Before RANDOMIZA the sequence is the same on every run.
  TestRuntime t;
  const char* expected[] = {"0", "0", "8", "2", "2", "6"};
  for (const char* e : expected) {
    ASSERT_TRUE(t.Line("seja r rand 10"));
    EXPECT_EQ(t.Var("r"), e);
  }
}

TEST(Seja, RandCounts) {
  const SejaCase cases[] = {
      {"seja r rand 0", true, "r", "0"},
      {"seja r rand 1", true, "r", "0"},
      {"seja r rand x", false, "r", ""},
      {"seja r rand", false, "r", ""},
  };
  RunSejaCases(cases, std::size(cases));
}

TEST(Seja, RandWithANegativeCountUsesItsUnsignedPattern) {
  TestRuntime t;
  ASSERT_TRUE(t.Line("seja r rand 10"));  // seed 1
  ASSERT_TRUE(t.Line("seja r rand -1"));  // seed 134775814, count 2^32 - 1
  EXPECT_EQ(t.Var("r"), "134775813");
}

TEST(Seja, RandomizaTakesNoArgument) {
  TestRuntime t;
  EXPECT_TRUE(t.Line("randomiza"));
  EXPECT_FALSE(t.Line("randomiza 5"));
}

}  // namespace
}  // namespace morventa::testing
