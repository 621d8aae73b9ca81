// ESCREVE on the console: values joined, line end, and what makes it fail.
#include <gtest/gtest.h>

#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

struct EscreveCase {
  const char* line;
  bool ok;
  const char* written;  // UTF-8
};

TEST(Escreve, WritesTheValuesJoined) {
  const EscreveCase cases[] = {
      {"escreve \"a\" \"b\"", true, "ab\r\n"},
      {"escreve \"a\" v (1+1)", true, "avalor2\r\n"},
      {"escreve \"a\" &", true, "a"},
      {"escreve \"a\"&", true, "a"},
      {"escreve", true, "\r\n"},
      {"escreve &", true, "\r\n"},  // an empty line whatever the "&"
      {"escreve mudo \"x\"", true, "x\r\n"},
      {"Escreve \"ação\"", true, "ação\r\n"},
      // what was read is written, then the command fails
      {"escreve \"a\" #", false, "a\r\n"},
      {"escreve \"a\" (1+", false, "a\r\n"},
      {"escreve (", false, "\r\n"},
      {"escreve #x", false, "Erro no processamento de arquivo\r\n"},
      {"escreve #", false, "Erro no processamento de arquivo\r\n"},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("v") = "valor";
    EXPECT_EQ(t.Line(c.line), c.ok) << c.line;
    EXPECT_EQ(t.TakeWritten(), Ansi(c.written)) << c.line;
  }
}

}  // namespace
}  // namespace morventa::testing
