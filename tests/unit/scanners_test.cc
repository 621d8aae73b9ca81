// The argument scanners and the number rule every command reads with.
#include <gtest/gtest.h>

#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "interpreter/variables.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

// The slot a variable name stands for: "A" or "$NAME".
int SlotOf(TestRuntime& t, std::string_view name) {
  auto& vars = t.rt().interp.variables;
  if (name[0] == '$') return *vars.SlotOfName(name.substr(1));
  return name[0];
}

struct VariableCase {
  const char* text;
  const char* slot;  // nullptr: the scanner fails
  const char* rest;
};

TEST(Scanners, TakeVariable) {
  const VariableCase cases[] = {
      {"a rest", "A", "rest"},
      {"Z", "Z", ""},
      {"  b   x  ", "B", "x"},
      {"A_", "A", "_"},       // only letters and digits are refused after the letter
      {"a-1", "A", "-1"},
      {"a\tb", "A", "b"},
      {"$total 5", "$TOTAL", "5"},
      {"$Total", "$TOTAL", ""},
      {"AB", nullptr, ""},
      {"A1", nullptr, ""},
      {"1", nullptr, ""},
      {"", nullptr, ""},
      {"   ", nullptr, ""},
      {"$", nullptr, ""},
      {"\xE9", nullptr, ""},  // é is no letter variable
      {"#1", nullptr, ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    std::string_view text = c.text;
    const auto slot = TakeVariable(t.rt(), text);
    if (!c.slot) {
      EXPECT_FALSE(slot) << c.text;
      continue;
    }
    ASSERT_TRUE(slot) << c.text;
    EXPECT_EQ(*slot, SlotOf(t, c.slot)) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(Scanners, TakeName) {
  const VariableCase cases[] = {
      {"$abc-1", "$ABC", "-1"},  // no separator needed after the name
      {"$a_b c", "$A_B", "c"},
      {"$1x", "$1X", ""},
      {"$nome\xE7", "$NOME", "\xE7"},  // ç ends the name
      {"$", nullptr, ""},
      {"$-", nullptr, ""},
      {"$ a", nullptr, ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    std::string_view text = c.text;
    const auto slot = TakeName(t.rt(), text);
    if (!c.slot) {
      EXPECT_FALSE(slot) << c.text;
      continue;
    }
    ASSERT_TRUE(slot) << c.text;
    EXPECT_EQ(*slot, SlotOf(t, c.slot)) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(Scanners, NamesTakeSlotsInOrderOfFirstUseIgnoringCase) {
  TestRuntime t;
  const char* uses[] = {"$Total", "$outro", "$TOTAL", "$total"};
  const int expected[] = {91, 92, 91, 91};
  for (size_t i = 0; i < std::size(uses); ++i) {
    std::string_view text = uses[i];
    EXPECT_EQ(TakeName(t.rt(), text), expected[i]) << uses[i];
  }
  std::string_view letter = "a";
  EXPECT_EQ(TakeVariable(t.rt(), letter), 'A');  // $A is not A
  std::string_view named = "$a";
  EXPECT_EQ(TakeVariable(t.rt(), named), 93);
}

TEST(Scanners, The102ndNameIsRefusedWithAMessage) {
  TestRuntime t;
  for (int i = 1; i <= 101; ++i) {
    std::string_view text;
    const std::string name = "$v" + std::to_string(i);
    text = name;
    ASSERT_EQ(TakeName(t.rt(), text), 90 + i) << name;
  }
  EXPECT_EQ(t.TakeWritten(), "");
  std::string_view known = "$V101";
  EXPECT_EQ(TakeName(t.rt(), known), 191);

  EXPECT_FALSE(t.Line("seja $v102 1"));
  EXPECT_EQ(t.TakeWritten(), Ansi("Muitas variáveis com nome no programa (máximo 101)\r\n"));
  EXPECT_FALSE(t.Line("escreve $outra"));
  EXPECT_FALSE(t.Line("seja a ($nova+1)"));
  EXPECT_TRUE(t.Line("seja a $v1"));  // the names already known still work
}

struct ValueCase {
  const char* text;
  bool ok;
  const char* value;
  const char* rest;
};

TEST(Scanners, EvaluateValue) {
  const ValueCase cases[] = {
      {"-5 x", true, "-5", "x"},
      {"-", true, "-", ""},
      {"--5", true, "-", "-5"},
      {"007", true, "007", ""},  // taken as text, no conversion
      {"12abc", true, "12", "abc"},
      {"\"\"\"result-container\"\"\"", true, "\"result-container\"", ""},
      {"\"a\"\"b\" c", true, "a\"b", "c"},
      {"\"a\" \"b\"", true, "a", "\"b\""},
      {"\"\"", true, "", ""},
      {"\"sem fim", true, "sem fim", ""},
      {"\"fim\"\"", true, "fim\"", ""},
      {"a", true, "letra a", ""},
      {"Ab", true, "letra a", "b"},  // one character, whatever follows
      {"$nome x", true, "nomeado", "x"},
      {"$NOME", true, "nomeado", ""},
      {"$novo", true, "", ""},
      {"(1+2) z", true, "3", "z"},
      {" ( 1 + 2 ) ", true, "3", ""},
      {"(1+2", false, "", ""},
      {"", false, "", ""},
      {"  ", false, "", ""},
      {"#1", false, "", ""},
      {"+1", false, "", ""},
      {"\xE9", false, "", ""},
      {"$", false, "", ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("a") = "letra a";
    t.Var("$nome") = "nomeado";
    std::string_view text = c.text;
    std::string value;
    ASSERT_EQ(EvaluateValue(t.rt(), text, value), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

struct ChannelCase {
  const char* text;
  int channel;  // -1: the scanner fails
  const char* rest;
};

TEST(Scanners, TakeChannel) {
  const ChannelCase cases[] = {
      {"#2 l", 2, "l"},
      {"#0", 0, ""},
      {"  #9    x", 9, "x"},
      {"#5  \tx", 5, "\tx"},  // only blanks are skipped after the digit
      {"#a", -1, ""},
      {"#12", -1, ""},
      {"#3\tx", -1, ""},
      {"#", -1, ""},
      {"2", -1, ""},
      {"", -1, ""},
  };
  for (const auto& c : cases) {
    std::string_view text = c.text;
    const auto channel = TakeChannel(text);
    if (c.channel < 0) {
      EXPECT_FALSE(channel) << c.text;
      continue;
    }
    ASSERT_TRUE(channel) << c.text;
    EXPECT_EQ(*channel, c.channel) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

struct ListNameCase {
  const char* text;
  const char* name;  // nullptr: the scanner fails
  const char* rest;
};

TEST(Scanners, TakeListName) {
  const ListNameCase cases[] = {
      {"[lista de nomes] ITEM", "lista de nomes", " ITEM"},  // the rest is not trimmed
      {"  [L]", "L", ""},
      {"[Nomes]cria", "Nomes", "cria"},
      {"[]]", "]", ""},  // a first "]" belongs to the name
      {"[]", nullptr, ""},
      {"[ab", nullptr, ""},
      {"[", nullptr, ""},
      {"L]", nullptr, ""},
      {"", nullptr, ""},
  };
  for (const auto& c : cases) {
    std::string_view text = c.text;
    const auto name = TakeListName(text);
    if (!c.name) {
      EXPECT_FALSE(name) << c.text;
      continue;
    }
    ASSERT_TRUE(name) << c.text;
    EXPECT_EQ(*name, c.name) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

struct IntegerCase {
  const char* text;
  std::optional<int32_t> value;
};

TEST(Scanners, ToInteger) {
  const IntegerCase cases[] = {
      {"0", 0},
      {"123", 123},
      {"-5", -5},
      {"+7", 7},
      {"-0", 0},
      {"00012", 12},
      {"  42", 42},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$FF", 255},
      {"$ff", 255},
      {"$FFFFFFFF", -1},
      {"x10", 16},
      {"X1a", 26},
      {"0x7FFFFFFF", 2147483647},
      {"0X80000000", INT32_MIN},
      {"  $10", 16},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"42 ", std::nullopt},  // nothing may follow
      {"\t5", std::nullopt},  // only blanks are skipped
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"-", std::nullopt},
      {"+", std::nullopt},
      {"1a", std::nullopt},
      {"1 2", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"$123456789", std::nullopt},  // at most eight hexadecimal digits
      {"$g", std::nullopt},
      {"-$5", std::nullopt},
      {"+x5", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ToInteger(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace morventa::testing
