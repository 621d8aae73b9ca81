// How deep lines and expressions may nest: far deeper than any script goes,
// and past the bound the command fails instead of the program running out of
// stack.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

std::string Repeated(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

struct NestingCase {
  const char* what;
  std::string line;
  bool ok;
};

TEST(Nesting, DeepButBoundedThenFails) {
  const int lines = InterpreterState::kMaxNesting;
  const NestingCase cases[] = {
      // "seja a (" opens one bracket before the expression's own.
      {"1000 brackets in the expression", "seja a (" + Repeated("(", 1000) + "1" + Repeated(")", 1001), true},
      {"1001 brackets in the expression", "seja a (" + Repeated("(", 1001) + "1" + Repeated(")", 1002), false},
      {"1000 signs", "seja a (" + Repeated("-", 1000) + "1)", true},
      {"1001 signs", "seja a (" + Repeated("-", 1001) + "1)", false},
      {"SE after SE up to the bound", Repeated("se 1 = 1 ", lines) + "seja a 1", true},
      {"one SE past the bound", Repeated("se 1 = 1 ", lines + 1) + "seja a 1", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestRuntime t;
    EXPECT_EQ(ExecuteLine(t.rt(), c.line, false), c.ok);
    if (c.ok) {
      EXPECT_EQ(t.Var("a"), "1");
    }
  }
}

TEST(Nesting, CmdThatRunsItselfFailsAndTheNextLineStillRuns) {
  TestRuntime t;
  t.Var("c") = "cmd c";
  EXPECT_FALSE(t.Line("cmd c"));
  EXPECT_EQ(t.rt().interp.nesting, 0);
  t.Var("d") = "seja a 1";
  EXPECT_TRUE(t.Line("cmd d"));
  EXPECT_EQ(t.Var("a"), "1");
}

}  // namespace
}  // namespace morventa::testing
