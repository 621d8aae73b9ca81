// Text files on channels: how lines are cut and converted when read, what
// ESCREVE #n puts on disk, and the channel commands' refusals.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

struct ReadCase {
  const char* what;
  std::string file;  // bytes on disk
  // Each LE #1 in turn: the value (UTF-8) and the status.
  std::vector<std::pair<const char*, int>> reads;
};

TEST(ChannelRead, CutsLinesAndTakesUtf8AsTheSystemText) {
  const ReadCase cases[] = {
      {"no final line end", "a\r\nb", {{"a", 0}, {"b", 0}, {"", 1}, {"", 1}}},
      {"LF alone ends a line", "a\nb\n", {{"a", 0}, {"b", 0}, {"", 1}}},
      {"an empty line is a line", "a\r\n\r\nb\r\n", {{"a", 0}, {"", 0}, {"b", 0}, {"", 1}}},
      {"an empty file", "", {{"", 1}}},
      {"a lone CR is dropped", "a\rb\r\nc\r", {{"ab", 0}, {"c", 0}, {"", 1}}},
      {"Ctrl-Z where a line begins ends the file", "a\r\n\x1A" "b\r\n", {{"a", 0}, {"", 1}, {"", 1}}},
      {"Ctrl-Z inside a line is text", "a\x1A" "b\r\n", {{"a\x1A" "b", 0}, {"", 1}}},
      {"UTF-8 accents", "a\xC3\xA7\xC3\xA3o\r\n\xE2\x82\xAC\r\n", {{"ação", 0}, {"€", 0}}},
      {"a Windows-1252 line stays as it is", "a\xE7\xE3o\r\n", {{"ação", 0}}},
      {"each line on its own", "\xE7\r\n\xC3\xA7\r\n", {{"ç", 0}, {"ç", 0}}},
      {"outside Windows-1252", "\xE2\x86\x92\r\n", {{"?", 0}}},
      {"a byte-order mark is no text", "\xEF\xBB\xBF" "abc\r\n", {{"abc", 0}, {"", 1}}},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    const std::string path = t.dir() + "/f.txt";
    WriteFile(path, c.file);
    ASSERT_TRUE(t.Line("abre #1 \"" + path + "\"")) << c.what;
    for (const auto& [value, status] : c.reads) {
      t.Var("l") = "antes";
      ASSERT_TRUE(t.Line("le #1 l")) << c.what;
      EXPECT_EQ(t.Var("l"), Ansi(value)) << c.what;
      EXPECT_EQ(t.rt().operation_status, status) << c.what;
    }
    EXPECT_TRUE(t.Line("fecha #1"));
  }
}

TEST(ChannelRead, ALineLongerThanTheReadBlockComesWhole) {
  TestRuntime t;
  const std::string path = t.dir() + "/longa.txt";
  const std::string line(200000, 'x');
  WriteFile(path, line + "\r\nfim");
  ASSERT_TRUE(t.Line("abre #0 \"" + path + "\""));
  ASSERT_TRUE(t.Line("le #0 l"));
  EXPECT_EQ(t.Var("l"), line);
  ASSERT_TRUE(t.Line("le #0 l"));
  EXPECT_EQ(t.Var("l"), "fim");
}

TEST(ChannelRead, SeesLinesAddedAfterItReachedTheEnd) {
  TestRuntime t;
  const std::string path = t.dir() + "/cresce.txt";
  ASSERT_TRUE(t.Line("abre #1 \"" + path + "\" &"));
  ASSERT_TRUE(t.Line("abre #2 \"" + path + "\""));
  ASSERT_TRUE(t.Line("le #2 l"));
  EXPECT_EQ(t.rt().operation_status, 1);
  ASSERT_TRUE(t.Line("escreve #1 \"nova\" &"));
  ASSERT_TRUE(t.Line("le #2 l"));
  EXPECT_EQ(t.Var("l"), "nova");
  EXPECT_EQ(t.rt().operation_status, 0);
}

TEST(ChannelWrite, WritesUtf8LinesEndingInCrLf) {
  TestRuntime t;
  const std::string path = t.dir() + "/saida.txt";
  ASSERT_TRUE(t.Line("abre #2 \"" + path + "\" &"));
  EXPECT_TRUE(t.Line("escreve #2 \"ação \" \"€\""));
  EXPECT_TRUE(t.Line("escreve #2"));
  EXPECT_EQ(t.TakeWritten(), "\r\n");  // an empty ESCREVE writes to the console
  // Without a line end the text is on disk at once.
  EXPECT_TRUE(t.Line("escreve #2\"sem fim\" &"));
  EXPECT_EQ(ReadFile(path), "a\xC3\xA7\xC3\xA3o \xE2\x82\xAC\r\nsem fim");
  EXPECT_TRUE(t.Line("escreve #2 \"!\""));
  EXPECT_TRUE(t.Line("fecha #2"));
  EXPECT_EQ(ReadFile(path), "a\xC3\xA7\xC3\xA3o \xE2\x82\xAC\r\nsem fim!\r\n");
  EXPECT_EQ(t.TakeWritten(), "");
  EXPECT_EQ(t.rt().operation_status, 0);
}

TEST(ChannelWrite, AppendNeverTruncates) {
  TestRuntime t;
  const std::string path = t.dir() + "/x.txt";
  WriteFile(path, "velha\r\n");
  ASSERT_TRUE(t.Line("abre #1 \"" + path + "\" &"));
  ASSERT_TRUE(t.Line("escreve #1 \"nova\""));
  ASSERT_TRUE(t.Line("fecha #1"));
  EXPECT_EQ(ReadFile(path), "velha\r\nnova\r\n");
}

TEST(ChannelWrite, OpeningAnOpenChannelWritesOutTheEarlierFileFirst) {
  TestRuntime t;
  const std::string first = t.dir() + "/um.txt", second = t.dir() + "/dois.txt";
  ASSERT_TRUE(t.Line("abre #1 \"" + first + "\" &"));
  ASSERT_TRUE(t.Line("escreve #1 \"guardada\""));
  ASSERT_TRUE(t.Line("abre #1 \"" + second + "\" &"));
  EXPECT_EQ(ReadFile(first), "guardada\r\n");
  ASSERT_TRUE(t.Line("escreve #1 \"outra\""));
  ASSERT_TRUE(t.Line("fecha #1"));
  EXPECT_EQ(ReadFile(second), "outra\r\n");
}

TEST(ChannelWrite, AFileOpenedForReadingReportsTheErrorInTheStatus) {
  TestRuntime t;
  const std::string path = t.dir() + "/r.txt";
  WriteFile(path, "a\r\n");
  ASSERT_TRUE(t.Line("abre #1 \"" + path + "\""));
  EXPECT_TRUE(t.Line("escreve #1 \"x\""));
  EXPECT_EQ(t.rt().operation_status, EBADF);
  EXPECT_TRUE(t.Line("checa c"));
  EXPECT_EQ(t.Var("c"), std::to_string(EBADF));
  // Any ESCREVE starts again from 0.
  EXPECT_TRUE(t.Line("escreve \"tela\""));
  EXPECT_TRUE(t.Line("checa c"));
  EXPECT_EQ(t.Var("c"), "0");
  EXPECT_EQ(ReadFile(path), "a\r\n");
}

TEST(ChannelWrite, BufferedLinesReachTheDiskWhenTheRuntimeEnds) {
  std::string path;
  std::string dir = MakeEmptyDir();
  path = dir + "/fim.txt";
  {
    TestRuntime t;
    ASSERT_TRUE(t.Line("abre #9 \"" + path + "\" &"));
    ASSERT_TRUE(t.Line("escreve #9 \"linha\""));
    EXPECT_EQ(ReadFile(path), "");
  }
  EXPECT_EQ(ReadFile(path), "linha\r\n");
  std::filesystem::remove_all(dir);
}

struct RefusalCase {
  const char* line;
  const char* written;  // UTF-8; "%" stands for the test's directory
};

TEST(ChannelCommands, RefuseWithTheirMessages) {
  const RefusalCase cases[] = {
      {"abre #1 \"%/nada.txt\"", "Erro na abertura do arquivo %/nada.txt\r\n"},
      {"abre #10 \"%/e.txt\"", "Erro na abertura do arquivo \r\n"},
      {"abre #1\"%/e.txt\"", "Erro na abertura do arquivo \r\n"},
      {"abre # 1 \"%/e.txt\"", "Erro na abertura do arquivo \r\n"},
      {"abre #1", "Erro na abertura do arquivo \r\n"},
      {"abre #1 \"\"", "Erro na abertura do arquivo \r\n"},
      {"abre #1 \"%\"", "Erro na abertura do arquivo %\r\n"},  // a directory
      {"abre #1 &", "Erro na abertura do arquivo \r\n"},
      {"escreve #3 \"a\"", "Erro no processamento de arquivo\r\n"},
      {"le #3 l", "Erro no processamento de arquivo\r\n"},
      {"le #1", "Erro no processamento de arquivo\r\n"},
      {"fecha #x", "Erro no fechamento do arquivo\r\n"},
      {"fecha", "Erro no fechamento do arquivo\r\n"},
      {"checa", ""},
      {"checa c d", ""},
      {"checa \"c\"", ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    std::string line = c.line, written = c.written;
    for (std::string* s : {&line, &written}) {
      if (const size_t at = s->find('%'); at != std::string::npos) s->replace(at, 1, t.dir());
    }
    EXPECT_FALSE(t.Line(line)) << line;
    EXPECT_EQ(t.TakeWritten(), Ansi(written)) << line;
  }
}

TEST(ChannelCommands, ReadingAChannelThatIsNotReadableFails) {
  TestRuntime t;
  const std::string path = t.dir() + "/w.txt";
  // Opened for writing.
  ASSERT_TRUE(t.Line("abre #1 \"" + path + "\" &"));
  EXPECT_FALSE(t.Line("le #1 l"));
  EXPECT_EQ(t.TakeWritten(), "Erro no processamento de arquivo\r\n");
  // Closed by FECHA.
  ASSERT_TRUE(t.Line("fecha #1"));
  EXPECT_FALSE(t.Line("le #1 l"));
  EXPECT_FALSE(t.Line("escreve #1 \"x\""));
  // Never opened: closing it is no error, and says nothing.
  t.TakeWritten();
  EXPECT_TRUE(t.Line("fecha #4"));
  EXPECT_EQ(t.TakeWritten(), "");
}

TEST(ChannelCommands, TildeIsTheHomeDirectory) {
  TestRuntime t;
  const char* old_home = std::getenv("HOME");
  const std::string saved = old_home ? old_home : "";
  setenv("HOME", t.dir().c_str(), 1);
  const bool opened = t.Line("abre #5 \"~/casa.txt\" &");
  if (old_home) setenv("HOME", saved.c_str(), 1); else unsetenv("HOME");
  ASSERT_TRUE(opened);
  ASSERT_TRUE(t.Line("escreve #5 \"lar\""));
  ASSERT_TRUE(t.Line("fecha #5"));
  EXPECT_EQ(ReadFile(t.dir() + "/casa.txt"), "lar\r\n");
}

}  // namespace
}  // namespace morventa::testing
