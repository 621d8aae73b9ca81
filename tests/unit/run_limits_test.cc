// RunScript's bounds for scripts nobody has read: the line budget, the longest
// text a variable may hold, and the command words allowed. Without bounds a
// run is the plain run the programs make.
#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

bool OnlySeja(std::string_view upper_word) { return upper_word == "SEJA"; }

struct LimitCase {
  const char* what;
  std::vector<const char*> script;  // UTF-8
  RunLimits limits;
  int outcome;
  int line;
  bool limit_reached;
  const char* written;  // UTF-8
};

TEST(RunLimits, EndTheRunAtTheirBound) {
  const LimitCase cases[] = {
      {"no bounds", {"seja a 1", "escreve a"}, {}, 0, 3, false, "1\r\n"},
      {"endless loop stops after the line budget",
       {"@volta", "soma n 1", "desvia @volta"}, {.max_lines = 30}, 0, 3, true, ""},
      {"a budget the script fits in is not reached",
       {"seja a 1", "escreve a"}, {.max_lines = 2}, 0, 3, false, "1\r\n"},
      {"a text doubled on every round stops past the longest text",
       {"seja a \"x\"", "@dobra", "concatena a a", "desvia @dobra"}, {.max_text_bytes = 100},
       0, 4, true, ""},
      {"a word not allowed fails as an unknown one",
       {"seja a 1", "escreve a"}, {.allow_command = OnlySeja}, 1, 2, false,
       "Comando inválido: ESCREVE\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestRuntime t;
    int n = 0;
    for (const char* line : c.script) StoreLine(t.rt(), Ansi(line), ++n);
    const RunOutcome result = RunScript(t.rt(), c.limits);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.line, c.line);
    EXPECT_EQ(result.limit_reached, c.limit_reached);
    EXPECT_EQ(t.TakeWritten(), Ansi(c.written));
  }
}

TEST(RunLimits, LineBudgetCountsEveryExecutedLine) {
  TestRuntime t;
  int n = 0;
  for (const char* line : {"@volta", "soma n 1", "desvia @volta"}) StoreLine(t.rt(), line, ++n);
  RunScript(t.rt(), {.max_lines = 30});
  // The label runs once (DESVIA lands on it and the run goes on below it):
  // then fourteen rounds of two lines and one more SOMA make thirty.
  EXPECT_EQ(t.Var("n"), "15");
}

TEST(RunLimits, LongestTextStopsRightAfterTheLineThatPassedIt) {
  TestRuntime t;
  int n = 0;
  for (const char* line : {"seja a \"x\"", "@dobra", "concatena a a", "desvia @dobra"})
    StoreLine(t.rt(), line, ++n);
  RunScript(t.rt(), {.max_text_bytes = 100});
  EXPECT_EQ(t.Var("a").size(), 128u);
}

TEST(RunLimits, AllowedWordsLastOnlyAsLongAsTheRun) {
  TestRuntime t;
  StoreLine(t.rt(), "seja a 1", 1);
  RunScript(t.rt(), {.allow_command = OnlySeja});
  EXPECT_TRUE(t.Line("escreve a"));
  EXPECT_EQ(t.TakeWritten(), "1\r\n");
}

}  // namespace
}  // namespace morventa::testing
