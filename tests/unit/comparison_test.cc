// Conditions of SE and ENQUANTO, and the form in which values compare.
#include <gtest/gtest.h>

#include "interpreter/control_flow.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

struct FormCase {
  const char* value;
  const char* form;
};

TEST(Comparison, ComparisonForm) {
  const FormCase cases[] = {
      {"7", "000000000000000000007"},
      {"007", "000000000000000000007"},
      {"123456789012345678901", "123456789012345678901"},
      {"1234567890123456789012", "234567890123456789012"},  // the last 21 characters
      {"", "00000000000000000000"},                         // twenty zeros
      {"abc", "ABC"},
      {"a\xE7\xE3o", "A\xC7\xC3O"},  // ação
      {"-10", "-10"},
      {"12 ", "12 "},
      {"#13", "#13"},
  };
  for (const auto& c : cases) EXPECT_EQ(ComparisonForm(c.value), c.form) << c.value;
}

struct ConditionCase {
  const char* text;  // UTF-8
  bool ok;
  bool result;
  const char* rest;
};

TEST(Comparison, EvaluateCondition) {
  const ConditionCase cases[] = {
      {"\"7\" = \"007\"", true, true, ""},
      {"\"a\" = \"A\"", true, true, ""},
      {"\"ã\" = \"Ã\"", true, true, ""},
      {"\"a\" == \"A\"", true, false, ""},
      {"\"a\" == \"a\"", true, true, ""},
      {"\"7\" == \"007\"", true, false, ""},
      {"\"5\" < \"10\"", true, true, ""},
      {"\"#13\" = \"#13\"", true, true, ""},
      {"\"-10\" < \"-100\"", true, true, ""},  // signed numbers compare as text
      {"\"é\" > \"z\"", true, true, ""},       // bytes compare unsigned
      {"\"b\" > \"a\"", true, true, ""},
      {"\"b\" >= \"b\"", true, true, ""},
      {"\"a\" <= \"b\"", true, true, ""},
      {"\"a\" <> \"b\"", true, true, ""},
      {"\"a\" <> \"A\"", true, false, ""},
      {"\"\" = \"\"", true, true, ""},
      {"\"\" < \"0\"", true, true, ""},  // twenty zeros against twenty-one
      {"e = \"\"", true, true, ""},
      {"\"abc\" *=* \"b\"", true, true, ""},
      {"\"abc\" *=* \"B\"", true, false, ""},
      {"\"abc\" *=* \"\"", true, false, ""},
      {"\"abc\" =* \"ab\"", true, true, ""},
      {"\"cab\" =* \"ab\"", true, false, ""},
      {"\"abc\" =* \"\"", true, false, ""},
      {"\"xab\" *= \"ab\"", true, true, ""},
      {"\"abab\" *= \"ab\"", true, false, ""},  // the first occurrence is not at the end
      {"\"\" *= \"x\"", true, true, ""},        // position 0 equals 0 - 1 + 1
      {"\"a\" =* \"a\"", true, true, ""},
      {"1=1", true, true, ""},
      {"\"a\"=\"a\"   escreve x", true, true, "escreve x"},
      {"NÃO \"a\" = \"b\"", true, true, ""},
      {"Não \"a\" = \"b\"", true, true, ""},
      {"nao \"a\" = \"a\"", true, false, ""},
      {"\"a\" em [L]", true, true, ""},
      {"\"7\" EM [L]", true, true, ""},
      {"\"z\" Em [L]", true, false, ""},
      {"NÃO \"z\" em [L]", true, true, ""},
      {"\"a\" em [L] desvia @x", true, true, "desvia @x"},
      {"", false, false, ""},
      {"NAO", false, false, ""},
      {"NÃO  ", false, false, ""},
      {"\"a\"", false, false, ""},
      {"\"a\" =", false, false, ""},
      {"\"a\" ! \"b\"", false, false, ""},
      {"\"a\" = (1", false, false, ""},
      {"\"a\" em [nada]", false, false, ""},
      {"\"a\" em [l]", false, false, ""},  // list names are case-sensitive
      {"\"a\" em L", false, false, ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    ASSERT_TRUE(t.Line("lista [L] cria"));
    ASSERT_TRUE(t.Line("lista [L] adiciona \"A\""));
    ASSERT_TRUE(t.Line("lista [L] adiciona \"007\""));
    const std::string ansi = Ansi(c.text);
    std::string_view text = ansi;
    bool result = !c.result;
    ASSERT_EQ(EvaluateCondition(t.rt(), text, result), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(result, c.result) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

}  // namespace
}  // namespace morventa::testing
