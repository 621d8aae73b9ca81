// Splitting a script file into the lines the store receives.
#include <gtest/gtest.h>

#include "interpreter/script_loader.h"

namespace morventa {
namespace {

struct SplitCase {
  const char* contents;
  std::vector<std::string> lines;  // Windows-1252
};

TEST(ScriptLoader, SplitScript) {
  const SplitCase cases[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\n\n  \nb", {"a", "", "  ", "b"}},  // blank lines kept, nothing trimmed
      {"a\rb\n", {"a\rb"}},                  // a lone CR is no line end
      {"escreve \"a\xC3\xA7\xC3\xA3o\"\n", {"escreve \"a\xE7\xE3o\""}},  // UTF-8
      {"escreve \"a\xE7\xE3o\"\n", {"escreve \"a\xE7\xE3o\""}},          // Windows-1252
      {"\xEF\xBB\xBF* coment\xC3\xA1rio\nfim", {"* coment\xE1rio", "fim"}},  // byte-order mark
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines;
    std::string err;
    ASSERT_TRUE(SplitScript(c.contents, lines, &err)) << c.contents << ": " << err;
    EXPECT_EQ(lines, c.lines) << c.contents;
  }
}

TEST(ScriptLoader, RefusesMoreLinesThanTheStoreHolds) {
  std::vector<std::string> lines;
  std::string err;
  EXPECT_TRUE(SplitScript(std::string(5000, '\n'), lines, &err));
  EXPECT_EQ(lines.size(), 5000u);
  EXPECT_FALSE(SplitScript(std::string(5000, '\n') + "x", lines, &err));
  EXPECT_FALSE(err.empty());
}

}  // namespace
}  // namespace morventa
