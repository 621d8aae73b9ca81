// Bracketed integer expressions, read through EvaluateValue as every command does.
#include <gtest/gtest.h>

#include "interpreter/variables.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

struct ExpressionCase {
  const char* text;
  const char* value;  // nullptr: the value fails
};

TEST(Expressions, EvaluateExpression) {
  const ExpressionCase cases[] = {
      // 64-bit arithmetic over literals that wrap at 32 bits
      {"(2147483647+1)", "2147483648"},
      {"(2147483648)", "-2147483648"},
      {"(-2147483648)", "2147483648"},
      {"(4294967297)", "1"},
      {"(2147483647*2147483647*4)", "-17179869180"},
      // precedence, associativity, truncation toward zero
      {"(1+2*3)", "7"},
      {"((1+2)*3)", "9"},
      {"(10-4-3)", "3"},
      {"(100/10/5)", "2"},
      {"(7/2)", "3"},
      {"(-7/2)", "-3"},
      {"(7/-2)", "-3"},
      {"(-7/-2)", "3"},
      {"(2*-3)", "-6"},
      {"(--4)", "4"},
      {"( 1 +  2 )", "3"},
      // variables
      {"(($um*-1)+1)", "0"},
      {"(($zero*-1)+1)", "1"},
      {"(s+1)", "13"},         // " 12": leading blanks are allowed
      {"(h*2)", "510"},        // "$FF"
      {"(b+1)", nullptr},      // "12 ": not a number
      {"(e+1)", nullptr},      // the empty text is not a number
      {"($a_b)", nullptr},     // "_" cannot appear in a name here
      // missing operands
      {"(2*)", "2"},
      {"(2+)", "2"},
      {"(2**3)", nullptr},
      {"(2++3)", nullptr},
      {"(2*/3)", nullptr},
      {"(1 2)", nullptr},
      {"(+4)", nullptr},
      {"(-)", nullptr},
      {"()", nullptr},
      {"(", nullptr},
      {"(1", nullptr},
      {"((1)", nullptr},
      {"(1\t+2)", nullptr},    // a tab is a bad token
      {"(1#)", nullptr},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("$um") = "1";
    t.Var("$zero") = "0";
    t.Var("s") = " 12";
    t.Var("h") = "$FF";
    t.Var("b") = "12 ";
    std::string_view text = c.text;
    std::string value;
    const bool ok = EvaluateValue(t.rt(), text, value);
    if (!c.value) {
      EXPECT_FALSE(ok) << c.text << " gave " << value;
      continue;
    }
    ASSERT_TRUE(ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(text, "") << c.text;
  }
}

TEST(Expressions, StopsAtTheFirstTokenThatCannotContinueIt) {
  TestRuntime t;
  std::string_view text = "1+2) resto";
  int64_t result = 0;
  ASSERT_TRUE(EvaluateExpression(t.rt(), text, result));
  EXPECT_EQ(result, 3);
  EXPECT_EQ(text, ") resto");
}

TEST(Expressions, DivisionByZeroIsReported) {
  const char* cases[] = {"(5/0)", "(1+(2/(3-3)))", "(4/z)"};
  for (const char* c : cases) {
    TestRuntime t;
    t.Var("z") = "0";
    std::string_view text = c;
    std::string value;
    EXPECT_FALSE(EvaluateValue(t.rt(), text, value)) << c;
    EXPECT_EQ(t.TakeWritten(), Ansi("Divisão por zero\r\n")) << c;
  }
}

}  // namespace
}  // namespace morventa::testing
