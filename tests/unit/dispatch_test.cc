// ExecuteLine: which lines are skipped, how the command word is cut, and the
// block words refused in nested mode.
#include <gtest/gtest.h>

#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

struct LineCase {
  const char* line;  // UTF-8
  bool nested;
  bool ok;
  const char* written;  // UTF-8
};

TEST(Dispatch, ExecuteLine) {
  const LineCase cases[] = {
      {"*Programa principal", false, true, ""},
      {"  * recuado", false, true, ""},
      {"@inicia", false, true, ""},
      {"   ", false, true, ""},
      {"", false, true, ""},
      {"Escreve \"a\"", false, true, "a\r\n"},
      {"ESCREVE    \"a\"   ", false, true, "a\r\n"},
      {"xyz", false, false, "Comando inválido: XYZ\r\n"},
      {"ação 1", false, false, "Comando inválido: AÇÃO\r\n"},
      {"escreve\t\"x\"", false, false, "Comando inválido: ESCREVE\t\"X\"\r\n"},  // only a blank separates
      {"fim se", false, true, ""},
      {"escreve \"a\"", true, true, "a\r\n"},
      {"fim se", true, false, ""},
      {"Fim xyz", true, false, ""},
      {"repete i 3", true, false, ""},
      {"enquanto 1 = 1", true, false, ""},
      {"SENAO", true, false, ""},
      {"SENÃO", true, false, ""},
      {"* comentário", true, true, ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    EXPECT_EQ(ExecuteLine(t.rt(), Ansi(c.line), c.nested), c.ok) << c.line;
    EXPECT_EQ(t.TakeWritten(), Ansi(c.written)) << c.line;
  }
}

TEST(Dispatch, FailFlagFollowsTheDispatchedCommand) {
  TestRuntime t;
  EXPECT_FALSE(t.Line("xyz"));
  EXPECT_TRUE(t.rt().interp.fail_flag);
  EXPECT_TRUE(t.Line("* a comment leaves it alone"));
  EXPECT_TRUE(t.rt().interp.fail_flag);
  EXPECT_FALSE(ExecuteLine(t.rt(), "fim se", true));  // refused before dispatch
  EXPECT_TRUE(t.rt().interp.fail_flag);
  EXPECT_TRUE(t.Line("seja a 1"));
  EXPECT_FALSE(t.rt().interp.fail_flag);
  EXPECT_FALSE(ExecuteLine(t.rt(), "repete i 3", true));
  EXPECT_FALSE(t.rt().interp.fail_flag);
  EXPECT_EQ(t.rt().interp.command_word, "REPETE");
}

}  // namespace
}  // namespace morventa::testing
