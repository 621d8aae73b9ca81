// Lines written to a channel wait in its buffer; however the program ends,
// they reach the disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

struct EndCase {
  const char* how;
  const char* last_line;  // after the channel was written
  const char* keys;
  int status;
};

TEST(ChannelFlush, BufferedLinesReachTheDiskHoweverTheProgramEnds) {
  const EndCase cases[] = {
      {"a normal end without FECHA", "escreve \"fim\"", "", 0},
      {"a failed command", "comandoerrado", "<Enter>", 1},
      {"the console closed while the script waits", "le l", "", 3},
  };
  for (const auto& c : cases) {
    const std::string home = MakeTempDir();
    WriteFile(home + "/teste.q", std::string("abre #1 \"saída.txt\" &\n"
                                             "escreve #1 \"primeira\"\n"
                                             "escreve #1 \"ação\"\n") +
                                     c.last_line + "\n");
    const auto result = RunProgram({QUINTERA_BINARY, home + "/teste.q"}, KeyBytes(c.keys),
                                   {{"MORVENTA_CONSOLE", "plain"},
                                    {"MORVENTA_AUDIO", "null"},
                                    {"HOME", home},
                                    {"XDG_CONFIG_HOME", home + "/config"}},
                                   home);
    EXPECT_EQ(result.status, c.status) << c.how << "\n" << result.out << result.err;
    EXPECT_EQ(ReadFile(home + "/saída.txt"), "primeira\r\na\xC3\xA7\xC3\xA3o\r\n") << c.how;
    std::filesystem::remove_all(home);
  }
}

}  // namespace
}  // namespace morventa::testing
