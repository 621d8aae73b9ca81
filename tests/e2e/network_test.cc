// Scripts talking to servers of ours on 127.0.0.1, plain and TLS: how lines
// are read whatever the server does, what CONECTA reports, which
// certificates are trusted, and the channel's life from CONECTA to FECHA.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>
#include <atomic>
#include <memory>

#include "tests/doubles/test_servers.h"
#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

// Reads lines from channel 1 until one fails, showing each with its status
// and its length (a CR kept in a line is not seen on the console).
constexpr const char* kReadAll =
    "@LER\n"
    "le #1 l\n"
    "checa c\n"
    "seja t tamanho l\n"
    "escreve c \": [\" l \"] \" t\n"
    "se c = \"0\" desvia @LER\n";

class Network : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = MakeTempDir();
    authority_.WriteCertificate(home_ + "/ca.pem");
  }
  void TearDown() override { std::filesystem::remove_all(home_); }

  // Runs the script with quintera; the config file holds ini.
  ProgramResult Run(const std::string& script, const std::string& ini = "",
                    const std::string& ca = "") {
    WriteFile(home_ + "/rede.q", script);
    WriteFile(home_ + "/config/Orbela/Orbela.ini", ini);
    return RunProgram({QUINTERA_BINARY, home_ + "/rede.q"}, "\r",
                      {{"MORVENTA_CONSOLE", "plain"},
                       {"MORVENTA_AUDIO", "null"},
                       {"HOME", home_},
                       {"XDG_CONFIG_HOME", home_ + "/config"},
                       {"SSL_CERT_FILE", ca.empty() ? home_ + "/ca.pem" : ca},
                       {"SSL_CERT_DIR", home_}},
                      home_);
  }

  static std::string Connect(const std::string& options, int port, const std::string& host = "127.0.0.1") {
    return "conecta " + options + "#1 \"" + host + "\" \"" + std::to_string(port) + "\" &\n";
  }

  TestAuthority authority_;
  std::string home_;
};

struct ServerCase {
  const char* what;
  std::string sends;  // then the server closes
  std::string shown;  // what the reading loop writes
};

TEST_F(Network, LinesAreReadHoweverTheServerEndsThemPlainOrTls) {
  const std::string long_line(5000, 'x');
  const ServerCase cases[] = {
      {"CR LF and LF", "a\r\nb\n", "0: [a] 1\n0: [b] 1\n1: [] 0\n"},
      {"a last line without a line end", "abc\r\nfim", "0: [abc] 3\n0: [fim] 3\n1: [] 0\n"},
      {"an empty line is a line", "\r\n\r\nx\n", "0: [] 0\n0: [] 0\n0: [x] 1\n1: [] 0\n"},
      {"only one CR is removed", "a\r\r\n", "0: [a] 2\n1: [] 0\n"},
      {"nothing at all", "", "1: [] 0\n"},
      {"a line across receive buffers", long_line + "\n", "0: [" + long_line + "] 5000\n1: [] 0\n"},
  };
  const Credentials credentials = authority_.Issue({"127.0.0.1"});
  for (const bool tls : {false, true}) {
    for (const auto& c : cases) {
      const auto answer = [&](ServerPeer& peer) {
        peer.Send(c.sends);
        peer.Close();
      };
      auto server = tls ? std::make_unique<TestServer>(answer, credentials)
                        : std::make_unique<TestServer>(answer);
      const auto r = Run(Connect(tls ? "ssl " : "", server->port()) + "checa c\nescreve \"conectado \" c\n" +
                         kReadAll);
      EXPECT_EQ(r.out, "conectado 0\n" + c.shown) << c.what << (tls ? " (TLS)" : "") << r.err;
    }
  }
}

// The one slow test: the time-out is some 30 seconds by design. Over TLS, so
// that a link holding only records without data still meets it.
TEST_F(Network, ASilentServerGivesThePartialLineWithStatusOneAfterTheTimeOut) {
  TestServer server(
      [](ServerPeer& peer) {
        peer.Send("abc");
        peer.WaitForClose();
      },
      authority_.Issue({"127.0.0.1"}));
  const auto r = Run(Connect("ssl ", server.port()) + kReadAll, "[ORBELA]\nTIMEOUT_REDE=0\n");
  EXPECT_EQ(r.out, "1: [abc] 3\n") << r.err;
}

// Slow too: the handshake is given 30 seconds. A server that takes the
// connection and never answers it must not hold the program for ever.
TEST_F(Network, AHandshakeNobodyAnswersFailsTheConnection) {
  TestServer server([](ServerPeer& peer) { peer.WaitForClose(); });
  const auto r = Run(Connect("ssl ", server.port()) + "checa c\nescreve \"situação \" c\n");
  EXPECT_EQ(r.out, "situação 1\n") << r.err;
}

TEST_F(Network, ConectaReportsWhatHappened) {
  TestServer server([](ServerPeer& peer) { peer.Send("ola\r\n"); });
  const std::string port = std::to_string(server.port());
  const std::string closed = std::to_string(UnusedPort());
  struct Case {
    const char* line;
    const char* shown;  // the status CHECA gives after it, or the message
    int status;
  } cases[] = {
      {"conecta #1 \"127.0.0.1\" PORT &", "0\n", 0},
      // Without the suffix a connection leaves the status of the line before.
      {"conecta #1 \"127.0.0.1\" PORT", "1\n", 0},
      {"conecta #1 \"127.0.0.1\" \"abc\" &", "2\n", 0},
      {"conecta #1 \"127.0.0.1\" CLOSED &", "1\n", 0},
      // A host beginning with a digit is an address, never a name.
      {"conecta #1 \"1.2.x\" PORT &", "1\n", 0},
      {"conecta #1 \"127.0.0.1\" &", "1\n", 0},
      {"conecta #12 \"127.0.0.1\" PORT &", "1\n", 0},
      {"conecta #1 \"127.0.0.1\" \"abc\"", "Erro na porta TCP/IP\n", 1},
      {"conecta #1 \"127.0.0.1\" CLOSED", "Erro de conexao\n", 1},
  };
  for (const auto& c : cases) {
    std::string line = c.line;
    for (const auto& [from, to] : {std::pair{"CLOSED", closed}, std::pair{"PORT", port}}) {
      const size_t at = line.find(from);
      if (at != std::string::npos) line.replace(at, std::string(from).size(), "\"" + to + "\"");
    }
    // A failed connection first, so that the status starts at 1.
    const auto r = Run("conecta #2 \"127.0.0.1\" \"" + closed + "\" &\n" + line + "\ncheca c\nescreve c\n");
    EXPECT_EQ(r.out.substr(0, std::string(c.shown).size()), c.shown) << c.line << "\n" << r.out << r.err;
    EXPECT_EQ(r.status, c.status) << c.line;
  }
}

TEST_F(Network, TheServersCertificateMustBeTrustedAndNamedUnlessTheUserSaysOtherwise) {
  TestAuthority stranger("Desconhecida");
  stranger.WriteCertificate(home_ + "/outra.pem");
  struct Case {
    const char* what;
    std::vector<std::string> names;  // on the server's certificate
    const char* host;                // what the script connects to
    std::string ini;
    bool known_authority;
    const char* status;
  } cases[] = {
      {"trusted and named", {"127.0.0.1"}, "127.0.0.1", "", true, "0"},
      {"an unknown authority", {"127.0.0.1"}, "127.0.0.1", "", false, "1"},
      {"an unknown authority, checking off", {"127.0.0.1"}, "127.0.0.1",
       "[ORBELA]\nVERIFICA_CERTIFICADO=0\n", false, "0"},
      {"issued for another name", {"outro.teste"}, "127.0.0.1", "", true, "1"},
      {"a name sent elsewhere keeps its name", {"servico.teste"}, "servico.teste",
       "[ORBELA]\nCONECTA_EM=x:1:y:2;servico.teste:443:127.0.0.1:PORT\n", true, "0"},
  };
  for (auto& c : cases) {
    TestServer server([](ServerPeer& peer) { peer.Send("ola\r\n"); }, authority_.Issue(c.names));
    const size_t at = c.ini.find("PORT");
    if (at != std::string::npos) c.ini.replace(at, 4, std::to_string(server.port()));
    const int port = std::string(c.host) == "127.0.0.1" ? server.port() : 443;
    const auto r = Run(Connect("SSL ", port, c.host) + "checa c\nse c = 0 le #1 l\nescreve c \" \" l\n", c.ini,
                       c.known_authority ? "" : home_ + "/outra.pem");
    EXPECT_EQ(r.out, std::string(c.status) + (c.status == std::string("0") ? " ola\n" : " \n"))
        << c.what << "\n" << r.err;
  }
}

// A TLS server that greets every client with its number and then echoes
// lines until the client goes.
std::unique_ptr<TestServer> EchoServer(const Credentials& tls, const std::string& name) {
  auto count = std::make_shared<std::atomic<int>>(0);
  const auto handler = [count, name](ServerPeer& peer) {
    peer.Send(name + " " + std::to_string(++*count) + "\r\n");
    std::string line;
    while (peer.ReadLine(line)) peer.Send("eco: " + line + "\r\n");
  };
  return name == "tls" ? std::make_unique<TestServer>(handler, tls) : std::make_unique<TestServer>(handler);
}

std::string WithPorts(std::string script, const std::map<std::string, int>& ports) {
  for (const auto& [name, port] : ports) {
    for (size_t at; (at = script.find(name)) != std::string::npos;) {
      script.replace(at, name.size(), "\"" + std::to_string(port) + "\"");
    }
  }
  return script;
}

TEST_F(Network, AChannelLivesFromConectaToFechaWithItsOwnTlsLink) {
  const auto tls = EchoServer(authority_.Issue({"127.0.0.1"}), "tls");
  const auto plain = EchoServer({}, "plain");
  const std::string script = WithPorts(R"(
conecta ssl #1 "127.0.0.1" TPORT &
checa c
le #1 l
escreve c " " l
fecha #1
* A new link after FECHA.
conecta SSL #1 "127.0.0.1" TPORT &
checa c
le #1 l
escreve c " " l
* Two links side by side.
conecta ssl #2 "127.0.0.1" TPORT &
le #2 m
escreve #1 "um"
escreve #2 "dois"
* OBSERVA sees the answer once it has come.
@ESPERA
observa #1 d
se d = "0" desvia @ESPERA
le #2 b
le #1 a
escreve m ", " a ", " b
fecha #1
fecha #2
* FECHA ended the TLS choice.
conecta #1 "127.0.0.1" PPORT &
checa c
le #1 l
escreve c " " l
ip remoto #1 r
ip local #1 x
escreve r " " x
* Without FECHA the choice stays, and TLS to a plain server fails.
conecta ssl #3 "127.0.0.1" TPORT &
conecta #4 "127.0.0.1" PPORT &
checa c
escreve "sem fecha " c
)", {{"TPORT", tls->port()}, {"PPORT", plain->port()}});
  const auto r = Run(script);
  EXPECT_EQ(r.out,
            "0 tls 1\n"
            "0 tls 2\n"
            "tls 3, eco: um, eco: dois\n"
            "0 plain 1\n"
            "127.0.0.1 127.0.0.1\n"
            "sem fecha 1\n")
      << r.err;
  EXPECT_EQ(r.status, 0);
}

TEST_F(Network, AtivasslMovesTheChannelToANewLinkOrLeavesItWithout) {
  const auto tls = EchoServer(authority_.Issue({"127.0.0.1"}), "tls");
  const std::string script = WithPorts(R"(
conecta ssl #1 "127.0.0.1" TPORT &
le #1 l
escreve l
ativassl #1
le #1 l
escreve #1 "x"
le #1 e
escreve l ", " e
* A connection that fails leaves the channel reading and writing nothing.
conecta #2 "127.0.0.1" CLOSED &
ativassl #1
escreve #1 "y"
checa w
le #1 l
checa c
escreve "escrita " w ", leitura " c " [" l "]"
ip local #1 x
)", {{"TPORT", tls->port()}, {"CLOSED", UnusedPort()}});
  const auto r = Run(script);
  // IP on the channel without a connection fails the script.
  const std::string shown =
      "tls 1\n"
      "tls 2, eco: x\n"
      "escrita 1, leitura 1 []\n";
  EXPECT_EQ(r.out.substr(0, shown.size()), shown) << r.out << r.err;
  EXPECT_EQ(r.status, 1);
}

TEST_F(Network, ServeTakesOneClient) {
  const int port = UnusedPort();
  std::string reply;
  std::thread client([&] {
    // The script listens once it reaches SERVE; until then the port refuses.
    for (int attempt = 0; attempt < 400; ++attempt) {
      const int s = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_port = htons(port);
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        ServerPeer peer(s, nullptr);
        peer.Send("pergunta\r\n");
        peer.ReadLine(reply);
        peer.Close();
        close(s);
        return;
      }
      close(s);
      usleep(50000);
    }
  });
  const auto r = Run(WithPorts(R"(
serve #1 PORT
le #1 l
escreve #1 "resposta a " l
ip remoto #1 r
escreve "servido: " l " de " r
serve #2 "porta"
)", {{"PORT", port}}));
  client.join();
  EXPECT_EQ(reply, "resposta a pergunta");
  const std::string shown = "servido: pergunta de 127.0.0.1\nErro na porta TCP/IP\n";
  EXPECT_EQ(r.out.substr(0, shown.size()), shown) << r.out << r.err;
}

}  // namespace
}  // namespace morventa::testing
