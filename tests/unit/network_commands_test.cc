// The network commands' words and arguments, HTTP's encoding, and where a
// connection goes; connections themselves are tested against real servers in
// the end-to-end tests.
#include <arpa/inet.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "net/socket_channel.h"
#include "system/encodings.h"
#include "system/text_encoding.h"
#include "tests/doubles/test_servers.h"
#include "tests/support/run_program.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

TEST(NetworkCommands, ArgumentsThatFail) {
  const char *const cases[] = {
      "internet",       "internet começa", "internet inicia agora",
      "ativassl",       "ativassl 1",      "ip",
      "ip local",
      "ip remoto #1 v",  // a channel without a connection
      "ip local #1 v",  "ip perto #1 v",   "ip local #x v",
      "http \"texto\"", "http 12",         "http",
  };
  for (const char *line : cases) {
    TestRuntime t;
    EXPECT_FALSE(t.Line(line)) << line;
    EXPECT_EQ(t.TakeWritten(), "") << line;
  }
}

TEST(NetworkCommands, WordsInAnyCase) {
  TestRuntime t;
  for (const char *line : {"internet inicia", "INTERNET TERMINA", "Internet Inicia"}) {
    EXPECT_TRUE(t.Line(line)) << line;
  }
}

TEST(NetworkCommands, ServeAndConectaExplainWhatWentWrong) {
  struct Case {
    const char *line;
    const char *written;
  } cases[] = {
      {"serve #1 \"porta\"", "Erro na porta TCP/IP\r\n"},
      {"serve #1", "Erro de conexao\r\n"},
      {"serve 1 80", "Erro de conexao\r\n"},
      {"conecta #1 \"127.0.0.1\" \"porta\"", "Erro na porta TCP/IP\r\n"},
      {"conecta #1", "Erro de conexao\r\n"},
      {"conecta \"127.0.0.1\" 80", "Erro de conexao\r\n"},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    EXPECT_FALSE(t.Line(c.line)) << c.line;
    EXPECT_EQ(t.TakeWritten(), c.written) << c.line;
  }
}

TEST(NetworkCommands, HttpEncodesTheVariableForAnAddress) {
  struct Case {
    std::string text;  // Windows-1252
    std::string encoded;
  } cases[] = {
      {Ansi("a b&c=é"), "a%20b%26c%3D%E9"},
      {"AZaz09-._~", "AZaz09-._~"},
      {AnsiToUtf8(Ansi("ação")), "a%C3%A7%C3%A3o"},
      {"100%/?#+", "100%25%2F%3F%23%2B"},
      {"", ""},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("v") = c.text;
    ASSERT_TRUE(t.Line("http v"));
    EXPECT_EQ(t.Var("v"), c.encoded) << c.text;
  }
}

TEST(ConnectTarget, TheConfigurationSendsAHostElsewhere) {
  struct Case {
    const char *connect_to;
    const char *host;
    int port;
    const char *to_host;
    int to_port;
  } cases[] = {
      {"", "exemplo.org", 443, "exemplo.org", 443},
      {"exemplo.org:443:127.0.0.1:8443", "exemplo.org", 443, "127.0.0.1", 8443},
      {"EXEMPLO.org:443:127.0.0.1:8443", "exemplo.ORG", 443, "127.0.0.1", 8443},
      {"exemplo.org:443:127.0.0.1:8443", "exemplo.org", 80, "exemplo.org", 80},
      {"a:1:b:2; exemplo.org:443:outro:9", "exemplo.org", 443, "outro", 9},
      // Entries that are not whole are passed over.
      {"exemplo.org:443:127.0.0.1", "exemplo.org", 443, "exemplo.org", 443},
      {"exemplo.org:443:127.0.0.1:0", "exemplo.org", 443, "exemplo.org", 443},
      {"exemplo.org:x:127.0.0.1:80", "exemplo.org", 443, "exemplo.org", 443},
      {"exemplo.org:443:127.0.0.1:80:9", "exemplo.org", 443, "exemplo.org", 443},
  };
  for (const auto& c : cases) {
    const auto [host, port] = ConnectTarget(c.connect_to, c.host, static_cast<uint16_t>(c.port));
    EXPECT_EQ(host, c.to_host) << c.connect_to;
    EXPECT_EQ(port, c.to_port) << c.connect_to;
  }
}

TEST(ResolveHost, ATextBeginningWithADigitIsAnAddress) {
  EXPECT_EQ(ResolveHost("10.0.0.1"), inet_addr("10.0.0.1"));
  EXPECT_EQ(ResolveHost("127.0.0.1"), inet_addr("127.0.0.1"));
  EXPECT_EQ(ResolveHost("localhost"), inet_addr("127.0.0.1"));
  for (const char *bad : {"1.2.x", "1host", "0.0.0.0", "", "999.1.1.1"}) {
    EXPECT_EQ(ResolveHost(bad), std::nullopt) << bad;
  }
}

int OpenDescriptors() {
  int n = 0;
  DIR *d = opendir("/proc/self/fd");
  while (readdir(d)) ++n;
  closedir(d);
  return n;
}

TEST(NetworkCommands, NothingIsLeftOpenByFechaFailedConnectionsOrTheEnd) {
  TestAuthority authority;
  const std::string dir = MakeTempDir();
  authority.WriteCertificate(dir + "/ca.pem");
  setenv("SSL_CERT_FILE", (dir + "/ca.pem").c_str(), 1);
  const int before = OpenDescriptors();
  {
    TestServer tls([](ServerPeer& peer) { peer.WaitForClose(); }, authority.Issue({"127.0.0.1"}));
    TestServer plain([](ServerPeer& peer) { peer.WaitForClose(); });
    TestServer wrong_name([](ServerPeer& peer) { peer.WaitForClose(); },
                          authority.Issue({"outro"}));
    const std::string at = " \"127.0.0.1\" ";
    const auto port = [](const TestServer& s) { return "\"" + std::to_string(s.port()) + "\""; };
    {
      TestRuntime t;
      for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(t.Line("conecta ssl #1" + at + port(tls) + " &"));
        ASSERT_TRUE(t.Line("fecha #1"));
        ASSERT_TRUE(t.Line("conecta #2" + at + port(plain) + " &"));
        ASSERT_TRUE(t.Line("conecta ssl #3" + at + port(wrong_name) + " &"));
        ASSERT_TRUE(t.Line("conecta ssl #2" + at + port(tls) + " &"));  // over the open one
        ASSERT_TRUE(t.Line("ativassl #2"));
        ASSERT_TRUE(t.Line("fecha #2"));
        EXPECT_EQ(t.rt().operation_status, 0);
      }
      // Left open for the end of the program to close.
      ASSERT_TRUE(t.Line("conecta #5" + at + port(plain) + " &"));
      ASSERT_TRUE(t.Line("conecta ssl #4" + at + port(tls) + " &"));
      EXPECT_EQ(t.rt().operation_status, 0);
    }
  }  // the servers close their ends too
  unsetenv("SSL_CERT_FILE");
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace morventa::testing
