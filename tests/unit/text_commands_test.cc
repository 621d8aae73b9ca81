// The commands that change a variable in place, and the named lists.
#include <gtest/gtest.h>

#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

// V starts as `before`, W as "abcdef"; after the line V (or the variable
// named in `var`) holds `after`.
struct ChangeCase {
  const char* before;
  const char* line;
  bool ok;
  const char* after;
  const char* var = "v";
};

void RunChangeCases(const ChangeCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const ChangeCase& c = cases[i];
    TestRuntime t;
    t.Var("v") = c.before;
    t.Var("w") = "abcdef";
    t.Var("x") = "abc";
    EXPECT_EQ(t.Line(c.line), c.ok) << "[" << c.before << "] " << c.line;
    EXPECT_EQ(t.Var(c.var), c.after) << "[" << c.before << "] " << c.line;
  }
}

TEST(TextCommands, SomaCountsOnTheNumericTail) {
  const ChangeCase cases[] = {
      {"9", "soma v 1", true, "10"},
      {"abc99", "soma v 1", true, "abc100"},
      {"item9", "soma v 1", true, "item10"},
      {"", "soma v 1", true, "1"},
      {"x-5", "soma v 1", true, "x-4"},
      {"12a", "soma v 1", true, "12a1"},
      {"a-", "soma v 1", true, "a1"},  // a tail of "-" alone counts as 0
      {"007", "soma v 1", true, "8"},
      {"5", "soma v 19", true, "24"},
      {"7", "soma v -10", true, "-3"},
      {"5", "soma v \"$10\"", true, "21"},
      {"5", "soma v 1 resto", true, "6"},  // text after x is ignored
      {"2147483647", "soma v 1", true, "-2147483648"},
      // a tail beyond 32 bits is refused and the variable kept
      {"n2147483648", "soma v 1", false, "n2147483648"},
      {"99999999999", "soma v 1", false, "99999999999"},
      {"5", "soma v x", false, "5"},
      {"5", "soma v", false, "5"},
      {"5", "soma 5 1", false, "5"},
  };
  RunChangeCases(cases, std::size(cases));
}

TEST(TextCommands, SubtraiMultiplicaDivide) {
  const ChangeCase cases[] = {
      {"1", "subtrai v 1", true, "0"},
      {"-2147483648", "subtrai v 1", true, "2147483647"},
      {"$10", "subtrai v 1", true, "15"},
      {" 5", "subtrai v 1", true, "4"},
      {"10", "subtrai v 3 x", false, "7"},  // stored, then the leftover fails
      {"", "subtrai v 1", false, ""},
      {"abc", "subtrai v 1", false, "abc"},
      {"10", "subtrai v \"x\"", false, "10"},
      {"10", "subtrai v", false, "10"},
      {"10", "multiplica v -3", true, "-30"},
      {"65536", "multiplica v 65536", true, "0"},
      {"-7", "divide v 2", true, "-3"},
      {"7", "divide v -2", true, "-3"},
      {"-2147483648", "divide v -1", true, "-2147483648"},  // wraps like the others
      {"5", "divide v 0", false, "5"},
  };
  RunChangeCases(cases, std::size(cases));
}

TEST(TextCommands, DivideByZeroIsReported) {
  TestRuntime t;
  t.Var("v") = "5";
  EXPECT_FALSE(t.Line("divide v 0"));
  EXPECT_EQ(t.TakeWritten(), Ansi("Divisão por zero\r\n"));
}

TEST(TextCommands, Concatena) {
  const ChangeCase cases[] = {
      {"ab", "concatena v \"cd\"", true, "abcd"},
      {"", "concatena v 5", true, "5"},
      {"ab", "concatena v v", true, "abab"},
      {"ab", "concatena v \"cd\" x", false, "ab"},  // nothing appended
      {"ab", "concatena v", false, "ab"},
  };
  RunChangeCases(cases, std::size(cases));
}

TEST(TextCommands, Copia) {
  const ChangeCase cases[] = {
      {"", "copia v w 2 4", true, "bcd"},
      {"", "copia v w 5 2", true, ""},
      {"", "copia v w 0 2", true, "abc"},  // start 1, length 3
      {"", "copia v w -5 -3", true, "abc"},
      {"", "copia v w 4 99", true, "def"},
      {"", "copia v w 6 6", true, "f"},
      {"", "copia v w 7 9", true, ""},
      {"", "copia v w -2147483648 2147483647", true, "abcdef"},
      {"", "copia v w \" 2 \" 4", true, "bcd"},  // the numbers are trimmed
      {"", "copia v w 2 4 resto", true, "bcd"},
      {"", "copia w w 2 3", true, "bc", "w"},
      {"antes", "copia v w x 4", false, "antes"},
      {"antes", "copia v w 2", false, "antes"},
      {"antes", "copia v 5 2 4", false, "antes"},
  };
  RunChangeCases(cases, std::size(cases));
}

TEST(TextCommands, Deleta) {
  const ChangeCase cases[] = {
      {"abcdef", "deleta v 2 3", true, "aef"},
      {"abcdef", "deleta v 7 1", true, "abcdef"},
      {"abcdef", "deleta v 0 2", true, "abcdef"},
      {"abcdef", "deleta v 2 0", true, "abcdef"},
      {"abcdef", "deleta v 5 99", true, "abcd"},
      {"abcdef", "deleta v 6 1", true, "abcde"},
      {"abcdef", "deleta v 1 6", true, ""},
      {"abcdef", "deleta v 2 3 resto", true, "aef"},
      {"abcdef", "deleta v x 1", false, "abcdef"},
      {"abcdef", "deleta v 2", false, "abcdef"},
  };
  RunChangeCases(cases, std::size(cases));
}

TEST(TextCommands, Substitui) {
  const ChangeCase cases[] = {
      {"aaa", "substitui v \"aa\" \"a\"", true, "a"},
      {"aab", "substitui v \"ab\" \"b\"", true, "b"},  // the new text pairs with its left
      {"abab", "substitui v \"b\" \"bb\"", true, "abbabb"},
      {"a.txt b.txt", "substitui v \".txt\" \"\"", true, "a b"},
      {"ab", "substitui v \"\" \"-\"", true, "-a-b-"},
      {"", "substitui v \"\" \"-\"", true, "-"},
      {"abc", "substitui v \"x\" \"y\"", true, "abc"},
      {"ab", "substitui v \"abc\" \"y\"", true, "ab"},
      {"abc", "substitui v \"B\" \"x\"", true, "abc"},
      {"abc", "substitui v \"b\" \"x\" resto", true, "axc"},
      {"abc", "substitui v \"b\"", false, "abc"},
  };
  RunChangeCases(cases, std::size(cases));
}

// One list's life, step by step on one runtime.
TEST(TextCommands, ListaLifecycle) {
  struct Step {
    const char* line;
    bool ok;
    const char* v = nullptr;  // what V holds afterwards, when checked
    const char* written = "";
  };
  const Step steps[] = {
      {"lista [L] cria", true},
      {"lista [L] cria", false, nullptr, "A lista especificada já existe\r\n"},
      {"lista [L] adiciona \"a\"", true},
      {"LISTA [L] ADICIONA \"b\"", true},
      {"lista [L] adiciona \"b\"", true},  // duplicates are kept
      {"lista [L] tamanho v", true, "3"},
      {"lista [L] item 1 v", true, "b"},
      {"lista [L] item 0 v", true, "a"},
      {"lista [L] item 3 v", false},
      {"lista [L] item -1 v", false},
      {"lista [L] item x v", false},
      {"lista [L] item 0", false},
      {"lista [l] tamanho v", false},  // [l] is another list
      {"lista [l] cria", true},
      {"lista [l] tamanho v", true, "0"},
      {"lista [L] deleta \"A\"", true},  // letter case ignored
      {"lista [L] item 0 v", true, "b"},
      {"lista [L] deleta \"z\"", false},
      {"lista [L] adiciona", false},
      {"lista [M] cria x", false},
      {"lista [M] tamanho v", false},
      {"lista [L] xyz", false},
      {"lista L cria", false},
      {"lista [L] apaga x", false},
      {"lista [L] apaga", true},
      {"lista [L] tamanho v", false},
      {"lista [L] apaga", false},
      {"lista [lista de nomes] cria", true},
      {"lista [lista de nomes] adiciona \"x\"", true},
      {"lista [lista de nomes] tamanho v", true, "1"},
  };
  TestRuntime t;
  t.Var("x") = "abc";
  for (const auto& s : steps) {
    EXPECT_EQ(t.Line(s.line), s.ok) << s.line;
    if (s.v) {
      EXPECT_EQ(t.Var("v"), s.v) << s.line;
    }
    EXPECT_EQ(t.TakeWritten(), Ansi(s.written)) << s.line;
  }
}

TEST(TextCommands, ListaHoldsTwentyListsAndReusesTheLowestSlot) {
  TestRuntime t;
  for (int i = 1; i <= 20; ++i) ASSERT_TRUE(t.Line("lista [L" + std::to_string(i) + "] cria"));
  EXPECT_FALSE(t.Line("lista [L21] cria"));
  EXPECT_EQ(t.TakeWritten(), Ansi("Muitas listas no programa (máximo 20)\r\n"));
  ASSERT_TRUE(t.Line("lista [L5] apaga"));
  ASSERT_TRUE(t.Line("lista [L21] cria"));
  ASSERT_TRUE(t.rt().interp.lists[4]);
  EXPECT_EQ(t.rt().interp.lists[4]->name, "L21");
}

}  // namespace
}  // namespace morventa::testing
