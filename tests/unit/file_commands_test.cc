// File and directory commands, the byte buffer and the binary file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "system/byte_file.h"
#include "system/file_commands.h"
#include "tests/support/run_program.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

// "%" in a line or a text stands for the test's directory.
std::string InDir(const TestRuntime& t, std::string text) {
  for (size_t at; (at = text.find('%')) != std::string::npos;) text.replace(at, 1, t.dir());
  return text;
}

TEST(ReadableSize, DividesBy1024AndNamesTheUnit) {
  const struct {
    int64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0,00 B"},
      {512, "512,00 B"},
      {1023, "1023,00 B"},
      {1024, "1,00KB"},
      {1536, "1,50KB"},
      {1048576, "1,00 MB"},
      {1073741824LL * 3 / 2, "1,50GB"},
      {1099511627776LL, "1,00 TB"},
      {1125899906842624LL, "1,00"},  // past the last unit, none is named
  };
  for (const auto& c : cases) EXPECT_EQ(ReadableSize(c.bytes, ","), c.text) << c.bytes;
  EXPECT_EQ(ReadableSize(1536, "."), "1.50KB");
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ReadableSize, TakesTheSeparatorOfTheUsersLocale) {
  // A pt_BR locale of the test's own, so that the machine need not have one.
  const std::string dir = MakeEmptyDir();
  const std::string build = "localedef -c -i pt_BR -f UTF-8 " + dir + "/pt_BR.UTF-8 >/dev/null 2>&1";
  const bool built = std::system(build.c_str()) == 0 && std::filesystem::exists(dir + "/pt_BR.UTF-8");
  if (built) {
    ScopedEnv locpath("LOCPATH", dir);
    {
      ScopedEnv lang("LC_ALL", "pt_BR.UTF-8");
      EXPECT_EQ(UserDecimalPoint(), ",");
    }
    ScopedEnv lang("LC_ALL", "C");
    EXPECT_EQ(UserDecimalPoint(), ".");
  }
  std::filesystem::remove_all(dir);
  if (!built) GTEST_SKIP() << "localedef could not build pt_BR.UTF-8 (Debian's locales package)";
}

TEST(DirectorySearch, FindsWhatThePatternAndModeAllow) {
  TestRuntime t;
  const std::string d = t.dir();
  for (const char* f : {"b.txt", "a.txt", "ab.txt", "semponto", ".oculto.txt", "c.dat"}) WriteFile(d + "/" + f, "");
  std::filesystem::create_directory(d + "/pasta.txt");
  std::filesystem::create_directory(d + "/.git");
  const struct {
    const char* pattern;
    bool directory_mode;
    std::vector<std::string> found;
  } cases[] = {
      {"/*.txt", false, {"a.txt", "ab.txt", "b.txt"}},
      {"/*.txt", true, {"a.txt", "ab.txt", "b.txt", "pasta.txt"}},
      {"/?.txt", false, {"a.txt", "b.txt"}},
      {"/[ab].txt", false, {"a.txt", "b.txt"}},
      {"/*.*", false, {"a.txt", "ab.txt", "b.txt", "c.dat", "semponto"}},
      {"/semponto", false, {"semponto"}},
      {"/pasta.txt", false, {}},
      {"/pasta.txt", true, {"pasta.txt"}},
      {"/.oculto.txt", false, {}},
      {"/.git", true, {}},
      {"/*.xyz", false, {}},
      {"/naoexiste/*", true, {}},
      {"/", true, {}},
  };
  for (const auto& c : cases) {
    DirectorySearch search;
    search.Start(d + c.pattern, c.directory_mode);
    std::vector<std::string> found;
    while (const auto entry = search.Next()) found.push_back(entry->name);
    EXPECT_EQ(found, c.found) << c.pattern << (c.directory_mode ? " DIR" : "");
  }
}

struct CommandCase {
  const char* line;  // "%" is the test's directory
  bool ok;
  const char* written;  // UTF-8
};

void RunCases(const std::vector<CommandCase>& cases, const char* files_before) {
  for (const auto& c : cases) {
    TestRuntime t;
    for (std::string_view f = files_before; !f.empty();) {
      const size_t end = std::min(f.find(' '), f.size());
      WriteFile(t.dir() + "/" + std::string(f.substr(0, end)), "12345");
      f.remove_prefix(std::min(end + 1, f.size()));
    }
    const std::string line = InDir(t, c.line);
    EXPECT_EQ(t.Line(line), c.ok) << line;
    EXPECT_EQ(t.TakeWritten(), Ansi(InDir(t, c.written))) << line;
  }
}

TEST(FileCommands, FailuresAndTheQuietSuffix) {
  RunCases(
      {
          {"remove \"%/a.txt\"", true, ""},
          {"remove \"%/nada.txt\"", false, "Erro no apagamento do arquivo %/nada.txt\r\n"},
          {"remove \"%/nada.txt\" &", true, ""},
          {"remove \"\"", false, ""},
          {"remove \"%\"", false, "Erro no apagamento do arquivo %\r\n"},
          {"renomeia \"%/a.txt\" \"%/c.txt\"", true, ""},
          {"renomeia \"%/nada.txt\" \"%/c.txt\"", false, ""},
          {"renomeia \"%/nada.txt\" \"%/c.txt\" &", true, ""},
          // an existing file is never replaced
          {"renomeia \"%/a.txt\" \"%/b.txt\"", false, ""},
          {"renomeia \"%/a.txt\" \"%/c.txt\" \"x\"", false, ""},
          {"replica \"%/a.txt\" \"%/c.txt\"", true, ""},
          {"replica \"%/nada.txt\" \"%/c.txt\"", false, ""},
          {"replica \"%/nada.txt\" \"%/c.txt\" &", true, ""},
          {"replica \"%/a.txt\" \"%/a.txt\"", false, ""},
          {"replica \"%/a.txt\" \"%/sem/pasta.txt\"", false, ""},
          {"replica \"%/a.txt\"", false, ""},
          {"dir cria \"%/nova\"", true, ""},
          {"dir cria \"%/a.txt\"", false, "Erro no processamento do diretório %/a.txt\r\n"},
          {"DIR CRIA \"%/a.txt\" &", true, ""},
          {"dir remove \"%/nada\"", false, "Erro no processamento do diretório %/nada\r\n"},
          {"dir apaga \"%/nada\"", false, ""},
          {"dir cria \"%/x\" \"y\"", false, ""},
          {"tamarq \"%/nada.txt\" t", false, ""},
          {"tamarq \"%\" t", false, ""},
          {"tamarq \"%/a.txt\"", false, ""},
          {"htamarq \"%/nada.txt\" t", false, ""},
          {"busca b", false, ""},
          {"busca \"b\" dir", false, ""},
          {"busca b próximo x", false, ""},
      },
      "a.txt b.txt");
}

TEST(FileCommands, ReplicaCopiesEveryByte) {
  TestRuntime t;
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i * 7);
  WriteFile(t.dir() + "/origem", bytes);
  WriteFile(t.dir() + "/destino", "antigo e mais longo que nada");
  ASSERT_TRUE(t.Line(InDir(t, "replica \"%/origem\" \"%/destino\"")));
  EXPECT_EQ(ReadFile(t.dir() + "/destino"), bytes);
  ASSERT_TRUE(t.Line(InDir(t, "tamarq \"%/destino\" t")));
  EXPECT_EQ(t.Var("t"), "70000");
}

struct LebyteCase {
  const char* offsets;
  bool ok;
  const char* appended;
};

TEST(ByteFile, LebyteAppendsAByteRangeCountedFromZero) {
  const LebyteCase cases[] = {
      {"0 10", true, "0123456789"},
      {"0 1", true, "0"},
      {"5 5", true, "5"},
      {"5 6", true, "5"},
      {"2 (2+3)", true, "234"},
      {"8 20", true, "89"},  // the file ends first: only its bytes
      {"7 3", false, ""},
      {"10 12", false, ""},  // starts at the end
      {"-1 3", false, ""},
      {"a 3", false, ""},
      {"0", false, ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    WriteFile(t.dir() + "/d.bin", "0123456789");
    t.Var("a") = "x";
    ASSERT_TRUE(t.Line("escrevebyte \"<\""));
    EXPECT_EQ(t.Line(InDir(t, std::string("lebyte \"%/d.bin\" ") + c.offsets)), c.ok) << c.offsets;
    EXPECT_EQ(t.rt().byte_file.bytes(), std::string("<") + c.appended) << c.offsets;
  }
}

TEST(ByteFile, WritesTheBufferToTheBinaryFile) {
  TestRuntime t;
  const std::string bin = t.dir() + "/f.bin";
  EXPECT_FALSE(t.Line("gravabytes"));
  EXPECT_FALSE(t.Line("fechabin"));
  ASSERT_TRUE(t.Line(InDir(t, "criabin \"%/f.bin\"")));
  // Only one binary file, and never over an existing one.
  EXPECT_FALSE(t.Line(InDir(t, "criabin \"%/g.bin\"")));
  t.Var("z") = std::string("\0\xFF\r\n", 4);
  ASSERT_TRUE(t.Line("escrevebyte z"));
  ASSERT_TRUE(t.Line("escrevebyte \"\""));
  ASSERT_TRUE(t.Line("escrevebyte \"ab\" \"ignorado\""));
  ASSERT_TRUE(t.Line("gravabytes"));
  EXPECT_EQ(t.rt().byte_file.count(), 0u);
  ASSERT_TRUE(t.Line("escrevebyte \"c\""));
  ASSERT_TRUE(t.Line("limpabytes"));
  ASSERT_TRUE(t.Line("escrevebyte \"d\""));
  ASSERT_TRUE(t.Line("gravabytes x"));
  ASSERT_TRUE(t.Line("fechabin"));
  EXPECT_FALSE(t.Line("fechabin"));
  EXPECT_EQ(ReadFile(bin), std::string("\0\xFF\r\nabd", 7));
  EXPECT_FALSE(t.Line(InDir(t, "criabin \"%/f.bin\"")));
  EXPECT_FALSE(t.Line("escrevebyte"));
}

TEST(ByteFile, NeverHoldsMoreThanItsCapacity) {
  ByteFile buffer;
  EXPECT_EQ(buffer.memory(), 0u);  // nothing taken before bytes come
  const std::string megabyte(1024 * 1024, 'x');
  while (buffer.room() > megabyte.size()) ASSERT_TRUE(buffer.Append(megabyte));
  ASSERT_TRUE(buffer.Append(std::string(buffer.room() - 1, 'x')));
  EXPECT_FALSE(buffer.Append("ab"));
  EXPECT_EQ(buffer.count(), ByteFile::kCapacity - 1);
  EXPECT_TRUE(buffer.Append("a"));
  EXPECT_EQ(buffer.room(), 0u);
  EXPECT_FALSE(buffer.Append("b"));
  EXPECT_EQ(buffer.memory(), ByteFile::kCapacity);
  buffer.Clear();
  EXPECT_EQ(buffer.count(), 0u);
  EXPECT_EQ(buffer.memory(), 0u);
}

TEST(ByteFile, LebyteFailsWhenTheBytesWouldNotFit) {
  TestRuntime t;
  WriteFile(t.dir() + "/d.bin", "0123456789");
  const std::string megabyte(1024 * 1024, 'x');
  ByteFile& buffer = t.rt().byte_file;
  while (buffer.room() > megabyte.size()) ASSERT_TRUE(buffer.Append(megabyte));
  ASSERT_TRUE(buffer.Append(std::string(buffer.room() - 3, 'x')));
  EXPECT_FALSE(t.Line(InDir(t, "lebyte \"%/d.bin\" 0 4")));
  EXPECT_TRUE(t.Line(InDir(t, "lebyte \"%/d.bin\" 0 3")));
  EXPECT_EQ(t.rt().byte_file.room(), 0u);
  EXPECT_FALSE(t.Line(InDir(t, "lebyte \"%/d.bin\" 0 1")));
  EXPECT_FALSE(t.Line("escrevebyte \"y\""));
}

}  // namespace
}  // namespace morventa::testing
