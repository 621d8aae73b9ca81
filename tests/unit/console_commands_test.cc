// The console commands: what their arguments do to the screen, the window,
// the clipboard and the variables, and what makes them fail. What they say
// and how they read keys is told by the script tests.
#include <gtest/gtest.h>

#include <string>

#include "tests/doubles/virtual_desktop.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

struct FailureCase {
  const char* line;
  const char* written;  // UTF-8
};

TEST(ConsoleCommands, ArgumentsThatFail) {
  const FailureCase cases[] = {
      {"tela", ""},
      {"tela apaga", ""},
      {"tela @10", ""},
      {"tela @a,5", ""},
      {"tela @10,5x", ""},
      {"tela v", ""},  // v holds "limpa": a variable's word is not upper-cased
      {"cor", ""},
      {"cor \"azul\"", ""},
      {"fundo (", ""},
      {"titulo", ""},
      {"titulo (1+", ""},
      {"bipa (", ""},
      {"espera", ""},
      {"espera \"x\"", ""},
      {"espera ms", ""},
      {"falahora", ""},
      {"falahora \"14h05\"", ""},
      {"falahora \"4:05\"", ""},
      {"falahora \"14:05 \"", ""},
      {"falahora \"ab:cd\"", ""},
      {"soletra", ""},
      {"soletra (", ""},
      {"fala \"a\" (", ""},
      {"transfere", ""},
      {"transfere v", ""},
      {"transfere de", ""},
      {"transfere de v w", ""},
      {"transfere para 1", ""},
      {"observa", ""},
      {"observa teclado", ""},
      {"observa teclado k z", ""},
      {"observa #x k", ""},
      {"observa #1", ""},
      {"le #", ""},
      {"le #1", "Erro no processamento de arquivo\r\n"},
      {"le #1 v", "Erro no processamento de arquivo\r\n"},
      {"le 1", ""},
      {"le edita", ""},
      {"le console", ""},
      {"le mouse", ""},
      {"le mouse x", ""},
      {"le mouse x y z", ""},
      {"le rato tela", ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("v") = "limpa";
    EXPECT_FALSE(t.Line(c.line)) << c.line;
    EXPECT_EQ(t.TakeWritten(), Ansi(c.written)) << c.line;
  }
}

TEST(ConsoleCommands, TelaPlacesTheCursor) {
  struct Case {
    const char* line;
    int column, row;
  };
  const Case cases[] = {
      {"tela @10,5", 10, 5},
      {"TELA @ 10 , 5", 10, 5},
      {"tela @0,30", 1, 25},
      {"tela @-3,2", 1, 2},
      {"tela @$1F,2", 31, 2},
      {"tela p", 3, 4},  // p holds "@3,4"
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("p") = "@3,4";
    ASSERT_TRUE(t.Line(c.line)) << c.line;
    EXPECT_EQ(t.rt().console.CursorColumn(), c.column) << c.line;
    EXPECT_EQ(t.rt().console.CursorRow(), c.row) << c.line;
  }
}

TEST(ConsoleCommands, TelaClearsHidesAndRestores) {
  TestRuntime t;
  ASSERT_TRUE(t.Line("escreve \"texto\""));
  ASSERT_TRUE(t.Line("tela limpa"));
  EXPECT_EQ(t.rt().console.CellChar(1, 1), ' ');
  EXPECT_EQ(t.rt().console.CursorRow(), 1);
  // Keywords are compared over their own length.
  ASSERT_TRUE(t.Line("tela Minimizada"));
  ASSERT_TRUE(t.Line("tela normalmente"));
  t.Var("m") = "MINIMIZADA";
  ASSERT_TRUE(t.Line("tela m"));
  EXPECT_EQ(t.display().shows,
            (std::vector<WindowShow>{WindowShow::kHidden, WindowShow::kNormal, WindowShow::kHidden}));
}

TEST(ConsoleCommands, CorAndFundoSetTheAttribute) {
  struct Case {
    const char* ini;
    const char* lines[2];
    uint8_t attribute;
  };
  const Case cases[] = {
      {"", {"cor 4", "fundo 1"}, 0x14},
      {"", {"cor 20", "fundo 17"}, 0x14},
      {"", {"cor -1", "fundo \"2\" resto ignorado"}, 0x2F},
      {"", {"cor (2*7)", "fundo c"}, 0x6E},  // c holds "6"
      {"[VIDEO]\nCORESFIXAS=S\nCORLETRA=14\nCORFUNDO=1\n", {"cor 4", "fundo 0"}, 0x1E},
  };
  for (const auto& c : cases) {
    TestRuntime t({}, c.ini);
    t.Var("c") = "6";
    t.rt().console.EnsureConsole();
    for (const char* line : c.lines) EXPECT_TRUE(t.Line(line)) << line;
    EXPECT_EQ(t.rt().console.TextAttribute(), c.attribute) << c.lines[0];
  }
}

TEST(ConsoleCommands, TituloSetsTheWindowTitle) {
  struct Case {
    const char* line;
    std::string title;  // Windows-1252
  };
  const Case cases[] = {
      {"titulo \"Tradutor\"", "Tradutor"},
      {"título \"Tradução\"", Ansi("Tradução")},
      {"TÍTULO t", std::string(300, 'x')},  // t holds 400 characters
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("t") = std::string(400, 'x');
    ASSERT_TRUE(t.Line(c.line)) << c.line;
    EXPECT_EQ(t.display().title, c.title) << c.line;
  }
}

TEST(ConsoleCommands, TransfereMovesTextThroughTheClipboard) {
  TestRuntime t;
  t.Var("v") = Ansi("ação\r\nlinha 2");
  ASSERT_TRUE(t.Line("transfere de v"));
  ASSERT_TRUE(t.Line("TRANSFERE PARA $copia"));
  EXPECT_EQ(t.Var("$copia"), Ansi("ação\r\nlinha 2"));  // line ends stay

  // 1,023 characters at most each way.
  t.rt().console.ClipboardPut(std::string(2000, 'a'));
  ASSERT_TRUE(t.Line("transfere para w"));
  EXPECT_EQ(t.Var("w"), std::string(1023, 'a'));
  t.Var("w") = std::string(2000, 'b');
  ASSERT_TRUE(t.Line("transfere de w"));
  EXPECT_EQ(t.rt().console.ClipboardGet(5000), std::string(1023, 'b'));
}

TEST(ConsoleCommands, EsperaWithoutADesktopNeverSeesTheWindow) {
  struct Case {
    const char* line;
    int status;
  };
  const Case cases[] = {
      {"espera 0 \"Bloco de notas\"", 1},  // no look at all
      {"espera -5 \"Bloco de notas\"", 1},
      {"espera ms 0", 0},
      {"espera MS 20", 0},
      {"espera 0 (", 0},  // no readable title: a pause
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.rt().desktop.UseDisplay(":4093");
    t.rt().operation_status = 7;
    EXPECT_TRUE(t.Line(c.line)) << c.line;
    EXPECT_EQ(t.rt().operation_status, c.status) << c.line;
  }
}

TEST(ConsoleCommands, LeSenhaShowsNothingOfWhatIsTyped) {
  TestRuntime t;
  t.rt().console.EnsureConsole();
  const uint8_t attribute = t.rt().console.TextAttribute();
  t.Type("abc\bd\r");
  ASSERT_TRUE(t.Line("le senha s"));
  EXPECT_EQ(t.Var("s"), "abd");
  EXPECT_EQ(t.TakeWritten(), "\b\r\n");
  EXPECT_EQ(t.rt().console.TextAttribute(), attribute);
  EXPECT_EQ(t.rt().console.CellChar(1, 1), 'a');  // on the grid, black on black
  EXPECT_EQ(t.rt().console.CellAttribute(1, 1), 0);
}

TEST(ConsoleCommands, LeWithoutADesktopReadsTheMouseAtZero) {
  TestRuntime t;
  t.rt().desktop.UseDisplay(":4093");
  t.Var("x") = "9";
  ASSERT_TRUE(t.Line("le mouse x $y"));
  EXPECT_EQ(t.Var("x"), "0");
  EXPECT_EQ(t.Var("$y"), "0");
  // The first variable keeps its value when the second cannot be read.
  t.Var("x") = "9";
  EXPECT_FALSE(t.Line("le rato tela x 5"));
  EXPECT_EQ(t.Var("x"), "0");
}

class CommandsOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x_.available()) GTEST_SKIP() << "Xvfb could not start";
    t_.rt().desktop.UseDisplay(x_.display_name());
  }
  VirtualDesktop x_;
  TestRuntime t_;
};

TEST_F(CommandsOnX, LeMouseReadsThePointer) {
  x_.MovePointer(300, 200);
  // No window in front: the screen is the reference.
  ASSERT_TRUE(t_.Line("le mouse x y"));
  EXPECT_EQ(t_.Var("x") + " " + t_.Var("y"), "300 200");

  const unsigned long w = x_.OpenWindow("Editor", 100, 50);
  x_.SetFrameExtents(w, 4, 24);
  x_.Activate(w);
  struct Case {
    const char* line;
    const char* expected;
  };
  const Case cases[] = {
      {"le mouse tela x y", "300 200"},
      {"LE RATO TELA x y", "300 200"},
      // From the window's left edge inside its frame, and 4 pixels below the
      // frame's top: 300 - 100, 200 - (50 - 24 + 4).
      {"le mouse x y", "200 170"},
      {"le rato x y", "200 170"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(t_.Line(c.line)) << c.line;
    EXPECT_EQ(t_.Var("x") + " " + t_.Var("y"), c.expected) << c.line;
  }
}

TEST_F(CommandsOnX, EsperaWatchesTheTitleOfTheWindowInFront) {
  x_.Activate(x_.OpenWindow("Documento - Editor de Ação", 0, 0));
  struct Case {
    const char* line;
    int status;
  };
  const Case cases[] = {
      {"espera 5 \"editor de AÇÃO\"", 0},  // found at the first look
      {"espera 1 \"Navegador\"", 1},        // two looks, half a second apart
      {"espera 0 \"Documento\"", 1},        // no look at all
  };
  for (const auto& c : cases) {
    t_.rt().operation_status = 7;
    EXPECT_TRUE(t_.Line(c.line)) << c.line;
    EXPECT_EQ(t_.rt().operation_status, c.status) << c.line;
  }
}

}  // namespace
}  // namespace morventa::testing
