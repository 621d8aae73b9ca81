// The translator, the real morventa-light, in a pseudo-terminal as a user
// meets it: spoken menus, the working folder, the three jobs against a
// stand-in of the translation service on 127.0.0.1, and what happens when
// that service misbehaves. The program is followed through its speech
// transcript: each step waits for what the user would hear before typing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/doubles/translation_service.h"
#include "tests/doubles/virtual_desktop.h"
#include "tests/support/pty_session.h"
#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

namespace fs = std::filesystem;

// The real program in a home of its own, with or without ~/morventa-light.
class Translator {
 public:
  // `ini` is the user's Orbela.ini; `env` adds to the environment.
  explicit Translator(bool working_folder = true, const std::vector<std::string>& params = {},
                      const std::string& ini = "", const std::map<std::string, std::string>& extra_env = {})
      : home_(MakeTempDir()) {
    fs::create_directories(home_ + "/config/Orbela");
    if (working_folder) fs::create_directories(home_ + "/morventa-light");
    if (!ini.empty()) WriteFile(home_ + "/config/Orbela/Orbela.ini", ini);
    std::vector<std::string> argv = {MORVENTA_LIGHT_BINARY};
    argv.insert(argv.end(), params.begin(), params.end());
    auto env = TerminalEnvironment(home_, transcript_path());
    for (const auto& [k, v] : extra_env) env[k] = v;
    session_ = std::make_unique<PtySession>(argv, env, home_, 30);
  }
  ~Translator() {
    session_.reset();
    fs::remove_all(home_);
  }

  PtySession& s() { return *session_; }
  const std::string& home() const { return home_; }
  std::string transcript_path() const { return home_ + "/transcript"; }
  std::string transcript() const { return fs::exists(transcript_path()) ? ReadFile(transcript_path()) : ""; }
  std::string Dump() const {
    return "screen:\n" + session_->screen().Text() + "\ntranscript:\n" + transcript();
  }

  // Waits until the program has said a line beginning with `spoken`, after
  // everything earlier waits heard.
  bool Said(const std::string& spoken, int timeout_ms = PtySession::kDeadlineMs) {
    return Heard("fala: " + spoken, timeout_ms);
  }
  // Types keys the last of which beeps, and waits until the program waits
  // for the next key: a beep drops the keys typed ahead of it. The caret,
  // hidden once the program took the keys and shown again, tells that wait.
  bool TypeToBeep(const std::string& keys) {
    const size_t from = session_->output().size();
    session_->Send(KeyBytes(keys));
    return Heard("bipe") && session_->WaitUntil([&](const VtScreen& v) {
      return session_->output().find("\x1b[?25l", from) != std::string::npos && v.cursor_visible();
    });
  }
  // The same for any transcript line: "fala: ...", "bipe", "clique".
  bool Heard(const std::string& line, int timeout_ms = PtySession::kDeadlineMs) {
    size_t found = std::string::npos;
    const bool ok = session_->WaitUntil(
        [&](const VtScreen&) {
          const std::string t = transcript();
          for (size_t at = t.find(line, heard_); at != std::string::npos; at = t.find(line, at + 1)) {
            if (at == 0 || t[at - 1] == '\n') {
              found = at;
              return true;
            }
          }
          return false;
        },
        timeout_ms);
    if (ok) heard_ = found + line.size();
    return ok;
  }
  // Types the keys, then waits until the program says `spoken`.
  bool Type(const std::string& keys, const std::string& spoken, int timeout_ms = PtySession::kDeadlineMs) {
    session_->Send(KeyBytes(keys));
    return Said(spoken, timeout_ms);
  }

  // The two language menus and the job menu on their first showing, each
  // opening on its first item: 1 Alemão ... 6 Português; 1 phrases, 2 file,
  // 3 clipboard.
  bool Choose(int from, int to, int job) {
    if (!Said("Selecione o idioma de origem:") || !Type(Downs(from) + "<Enter>", "Selecione idioma de destino:") ||
        !Type(Downs(to) + "<Enter>", "De ") || !Said("Escolha uma opção:")) {
      return false;
    }
    session_->Send(KeyBytes(Downs(job) + "<Enter>"));
    return true;
  }
  static std::string Downs(int item) {
    std::string keys;
    for (int i = 1; i < item; ++i) keys += "<Down>";
    return keys;
  }

 private:
  std::string home_;
  std::unique_ptr<PtySession> session_;
  size_t heard_ = 0;
};

// The lines a run said, without the sounds between them.
std::vector<std::string> Spoken(const std::string& transcript) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < transcript.size()) {
    size_t end = transcript.find('\n', from);
    if (end == std::string::npos) end = transcript.size();
    const std::string line = transcript.substr(from, end - from);
    if (line.rfind("fala: ", 0) == 0) lines.push_back(line.substr(6));
    from = end + 1;
  }
  return lines;
}

TEST(TranslatorTest, WithoutAWorkingFolderSaysWhyAndEndsAtEnter) {
  Translator t(false);
  ASSERT_TRUE(t.Said("Tecle enter para fechar.")) << t.Dump();
  // The screen is drawn when the program waits for Enter.
  ASSERT_TRUE(t.s().WaitUntil([](const VtScreen& v) { return v.cursor_visible() && v.Row(6) != ""; })) << t.Dump();
  const VtScreen& v = t.s().screen();
  EXPECT_EQ(v.Row(1), "erro.");
  EXPECT_EQ(v.Row(2), "É necessário definir um diretório de trabalho.");
  EXPECT_EQ(v.Row(3), "O diretório padrão ~/morventa-light não foi encontrado.");
  EXPECT_EQ(v.Row(4), "");
  EXPECT_EQ(v.Row(5), "Verifique a instalação do programa.");
  EXPECT_EQ(v.Row(6), "Tecle enter para fechar.");
  EXPECT_EQ(v.title(), "morventa-light");
  t.s().Send(KeyBytes("<Enter>"));
  EXPECT_EQ(t.s().WaitExit(), 0) << t.Dump();
  // A silent end: no "Fim do script".
  EXPECT_EQ(Spoken(t.transcript()).back(), "Tecle enter para fechar.");
}

TEST(TranslatorTest, ParametersNameTheWorkingFolderWhenTheDefaultIsMissing) {
  // Two parameters joined by one blank: a path with a blank, given unquoted.
  const std::string place = MakeTempDir();
  fs::create_directories(place + "/meus arquivos");
  {
    Translator t(false, {place + "/meus", "arquivos"});
    ASSERT_TRUE(t.Said("Morventa - Versão 1")) << t.Dump();
    ASSERT_TRUE(t.Said("Selecione o idioma de origem:")) << t.Dump();
    // The file job makes its folders in the working folder.
    ASSERT_TRUE(t.Type("<Enter>", "Selecione idioma de destino:") && t.Type("<Enter>", "Escolha uma opção:") &&
                t.Type("<Down><Enter>", "Informe o arquivo que deseja traduzir"))
        << t.Dump();
    WriteFile(t.home() + "/vazio.txt", "");
    ASSERT_TRUE(t.Type("vazio.txt<Enter>", "Resultado salvo em ")) << t.Dump();
    ASSERT_TRUE(t.Said("Escolha as opções de tradução")) << t.Dump();
    EXPECT_TRUE(fs::is_regular_file(place + "/meus arquivos/arquivos traduzidos/vazio_de.txt"));
    EXPECT_TRUE(fs::is_directory(place + "/meus arquivos/temp"));
    EXPECT_FALSE(fs::exists(place + "/meus arquivos/temp/tdl.temp"));
  }
  {
    // A folder that does not exist: the error report names it.
    Translator t(false, {place + "/outros", "arquivos"});
    ASSERT_TRUE(t.s().WaitForText("Erro no processamento do diretório " + place + "/outros arquivos"))
        << t.Dump();
    t.s().Send(KeyBytes("<Enter>"));
    EXPECT_EQ(t.s().WaitExit(), 1) << t.Dump();
  }
  fs::remove_all(place);
}

// Escape in any of the three menus ends the program with "Desistiu" and no
// end message; another key shows the menu again where it was; Enter with
// nothing highlighted chooses nothing.
TEST(TranslatorTest, MenusChooseWithEnterGiveUpWithEscapeAndRepeatOnOtherKeys) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> steps;  // keys, then what is said
  };
  const Case cases[] = {
      {"escape in the source menu", {{"", "Selecione o idioma de origem:"}, {"<Esc>", "Desistiu"}}},
      {"escape in the target menu",
       {{"", "Selecione o idioma de origem:"}, {"<Enter>", "Selecione idioma de destino:"}, {"<Esc>", "Desistiu"}}},
      {"escape in the job menu",
       {{"", "Selecione o idioma de origem:"},
        {"<Enter>", "Selecione idioma de destino:"},
        {"<Enter>", "De Alemão para Alemão."},
        {"", "Escolha uma opção:"},
        {"<Esc>", "Desistiu"}}},
      {"other keys and Enter outside the lists",
       {{"", "Selecione o idioma de origem:"},
        // A letter: the menu again, on the item where it was.
        {"<Down><Down><Down>x", "Inglês"},
        {"", "Inglês"},
        // Above the first item (a beep), Enter: nothing chosen, the menu again.
        {"<Up><Up><Up><Up>", "bipe"},
        {"<Enter>", "Alemão"},
        {"<Down><Down><Down><Enter>", "Selecione idioma de destino:"},
        // Below the last item, Enter: the menu again on the last item.
        {"<End>", "Português"},
        {"<Down>", "bipe"},
        {"<Enter>", "Português"},
        {"<Tab><Enter>", "De Inglês para Português."},
        {"", "Escolha uma opção:"},
        {"<F1>", "Traduzir frases"},
        {"<Down><Down><Down>", "bipe"},
        {"<Enter>", "Traduzir da área de transferência"},
        {"<Esc>", "Desistiu"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Translator t;
    for (const auto& [keys, spoken] : c.steps) {
      const bool heard = spoken == "bipe" ? t.TypeToBeep(keys) : t.Type(keys, spoken);
      ASSERT_TRUE(heard) << keys << " -> " << spoken << "\n" << t.Dump();
    }
    EXPECT_EQ(t.s().WaitExit(), 0) << t.Dump();
    EXPECT_EQ(Spoken(t.transcript()).back(), "Desistiu");
  }
}

// An empty phrase and an empty file name go back to the menus; a file that
// is not there is asked for again.
TEST(TranslatorTest, EmptyAnswersGoBackToTheMenus) {
  Translator t;
  ASSERT_TRUE(t.Choose(1, 1, 1)) << t.Dump();
  ASSERT_TRUE(t.Said("Digite o texto a traduzir:")) << t.Dump();
  ASSERT_TRUE(t.Type("<Enter>", "Escolha as opções de tradução ou tecle escape para sair.")) << t.Dump();
  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Enter>", "Selecione idioma de destino:") &&
              t.Type("<Enter>", "Escolha uma opção:") &&
              t.Type("<Down><Enter>", "Informe o arquivo que deseja traduzir"))
      << t.Dump();
  ASSERT_TRUE(t.Type("nada.txt<Enter>", "Arquivo não encontrado.")) << t.Dump();
  ASSERT_TRUE(t.Said("Verifique o caminho digitado e tente novamente.")) << t.Dump();
  ASSERT_TRUE(t.Said("Informe o arquivo que deseja traduzir")) << t.Dump();
  ASSERT_TRUE(t.Type("<Enter>", "Desistiu.")) << t.Dump();
  ASSERT_TRUE(t.Said("Escolha as opções de tradução ou tecle escape para sair.")) << t.Dump();
  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Esc>", "Desistiu")) << t.Dump();
  EXPECT_EQ(t.s().WaitExit(), 0) << t.Dump();
}

// The stand-in service, and its authority's certificate for SSL_CERT_FILE.
struct Service {
  TranslationService service;
  std::string dir = MakeTempDir();
  Service() { service.WriteAuthority(dir + "/ca.pem"); }
  ~Service() { fs::remove_all(dir); }
  std::map<std::string, std::string> env() const { return {{"SSL_CERT_FILE", dir + "/ca.pem"}}; }
};

const std::vector<std::string> kRequestHead = {"Host: translate.google.com", "User-Agent: pelugo",
                                               "Connection: Keep-Alive", "Accept: */*",
                                               "Accept-Encoding: identity"};

TEST(TranslatorTest, TranslatesTypedPhrasesOneAfterAnother) {
  Service svc;
  Translator t(true, {}, svc.service.Ini(), svc.env());
  ASSERT_TRUE(t.Choose(4, 6, 1)) << t.Dump();
  struct Case {
    const char* keys;
    const char* heard;  // and shown
  };
  const Case cases[] = {
      {"good morning", "bom dia"},
      // Quotes, apostrophes and the signs HTML writes as entities.
      {"say \"hi\", it's <lt>b> & co", "SAY \"HI\", IT'S <B> & CO"},
      // Accents go out as UTF-8 and come back.
      {"ação é boa", "AçãO é BOA"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(t.Said("Digite o texto a traduzir:")) << t.Dump();
    ASSERT_TRUE(t.Type(std::string(c.keys) + "<Enter>", "Editore a resposta")) << t.Dump();
    ASSERT_TRUE(t.Said(std::string(c.heard) + "\n")) << c.heard << "\n" << t.Dump();
    EXPECT_TRUE(t.s().WaitForText(c.heard)) << t.Dump();
    // The translation waits in the line editor for review.
    t.s().Send(KeyBytes("<End> ok<Enter>"));
  }
  ASSERT_TRUE(t.Said("Digite o texto a traduzir:")) << t.Dump();
  ASSERT_TRUE(t.Type("<Enter>", "Escolha as opções de tradução")) << t.Dump();
  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Esc>", "Desistiu")) << t.Dump();
  EXPECT_EQ(t.s().WaitExit(), 0) << t.Dump();

  const auto requests = svc.service.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].target, "/m?sl=en&tl=pt&q=good%20morning");
  EXPECT_EQ(requests[0].head, kRequestHead);
  EXPECT_EQ(requests[1].q, "say%20%22hi%22%2C%20it%27s%20%3Cb%3E%20%26%20co");
  EXPECT_EQ(requests[2].text, "ação é boa");
  EXPECT_NE(t.transcript().find("fala: De Inglês para Português.\n"), std::string::npos);
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// One request holds the whole small file: the separator before each line
// says how that line ends, and long lines arrive cut.
TEST(TranslatorTest, TranslatesAFileIntoTheFolderOfTranslations) {
  Service svc;
  Translator t(true, {}, svc.service.Ini(), svc.env());
  const std::string palavras = Repeat("palavra ", 56) + "ok";  // 450 characters
  const std::string xs = std::string(250, 'x');                // no place to cut
  WriteFile(t.home() + "/textos/carta.txt", "Primeira frase.\r\ncontinua aqui\r\n\r\nNova (parte)\r\n" + palavras +
                                                "\r\n" + xs + "\r\nfim?\r\n");
  WriteFile(t.home() + "/notas.TXT", "bom dia\n");
  ASSERT_TRUE(t.Choose(6, 4, 2)) << t.Dump();
  ASSERT_TRUE(t.Type("textos/carta.txt<Enter>", "Aguarde um momento.")) << t.Dump();
  for (const char* line : {"Aperte enter para saber o andamento da tradução.",
                           "Espaço para ligar ou desligar o indicador de progresso.", "Escape para abandonar.",
                           "Iniciando a tradução", "Resultado salvo em ~/morventa-light/arquivos traduzidos/carta_en.txt",
                           "Escolha as opções de tradução"}) {
    ASSERT_TRUE(t.Said(line)) << line << "\n" << t.Dump();
  }
  // The next file, with the same choices: the menus open on them.
  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Enter>", "Selecione idioma de destino:") &&
              t.Type("<Enter>", "Escolha uma opção:") && t.Type("<Enter>", "Informe o arquivo"))
      << t.Dump();
  ASSERT_TRUE(t.Type("notas.TXT<Enter>", "Resultado salvo em ~/morventa-light/arquivos traduzidos/notas_en.txt"))
      << t.Dump();
  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Esc>", "Desistiu")) << t.Dump();
  EXPECT_EQ(t.s().WaitExit(), 0) << t.Dump();

  const auto requests = svc.service.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].sl, "pt");
  EXPECT_EQ(requests[0].tl, "en");
  EXPECT_EQ(requests[0].q.substr(0, 62), "%0DPrimeira%20frase.%20continua%20aqui%0D%0DNova%20%28parte%29");
  const std::string cut = Repeat("palavra ", 25);  // 200 characters, ending in the blank
  EXPECT_EQ(requests[0].text, "\rPrimeira frase. continua aqui\r\rNova (parte) " + cut + " " + cut + " " +
                                  Repeat("palavra ", 6) + "ok " + std::string(200, 'x') + " " +
                                  std::string(50, 'x') + "\rfim?");
  const std::string out = t.home() + "/morventa-light/arquivos traduzidos/";
  EXPECT_EQ(ReadFile(out + "carta_en.txt"), TranslationService::Translate("pt", "en", requests[0].text) + "\r\n");
  EXPECT_EQ(ReadFile(out + "notas_en.txt"), " BOM DIA\r\n");
  EXPECT_FALSE(fs::exists(t.home() + "/morventa-light/temp/tdl.temp"));
}

// 410 lines of 100 characters: 66 fill a request (66 x 103 = 6798), the
// 67th does not fit and goes alone; six such pairs, then the last 8 lines.
// Keys during the job: Enter tells the progress, Space switches the spoken
// progress off and on, Escape asks whether to stop ("x" asks again, "n"
// goes on; on the next run "s" stops and the output goes).
TEST(TranslatorTest, BatchesAFileAndAnswersKeysOnTheWay) {
  Service svc;
  Translator t(true, {}, svc.service.Ini(), svc.env());
  std::string text;
  for (int i = 1; i <= 410; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "L%03d", i);
    text += number + std::string(96, 'x') + "\n";
  }
  WriteFile(t.home() + "/longo.txt", text);
  svc.service.AnswerOnly(0);
  ASSERT_TRUE(t.Choose(6, 4, 2)) << t.Dump();
  ASSERT_TRUE(t.Type("longo.txt<Enter>", "Iniciando a tradução")) << t.Dump();

  // Each key is typed while a request waits for its answer; the job sees it
  // before the line after the pair of requests.
  ASSERT_TRUE(svc.service.WaitForRequests(1));
  t.s().Send(KeyBytes("<Enter>"));
  svc.service.AnswerOnly(2);
  for (const char* line : {"16%", "Tradução de arquivo em andamento", "16%"})
    ASSERT_TRUE(t.Said(line)) << line << "\n" << t.Dump();
  ASSERT_TRUE(svc.service.WaitForRequests(3));
  t.s().Send(" ");
  svc.service.AnswerOnly(6);  // the third pair passes unannounced
  ASSERT_TRUE(t.Said("32%") && t.Said("Indicador de progresso desativado")) << t.Dump();
  ASSERT_TRUE(svc.service.WaitForRequests(7));
  t.s().Send(KeyBytes("<Esc>"));
  svc.service.AnswerOnly(8);
  ASSERT_TRUE(t.Said("Deseja parar a tradução?")) << t.Dump();
  ASSERT_TRUE(t.Type("x", "Deseja parar a tradução?")) << t.Dump();
  t.s().Send("n");
  ASSERT_TRUE(svc.service.WaitForRequests(9));
  t.s().Send(" ");
  svc.service.AnswerAll();
  ASSERT_TRUE(t.Said("Indicador de progresso ativado") && t.Said("98%")) << t.Dump();
  ASSERT_TRUE(t.Said("Resultado salvo em ~/morventa-light/arquivos traduzidos/longo_en.txt")) << t.Dump();
  for (const char* unsaid : {"fala: 49%", "fala: 65%", "fala: 81%"})
    EXPECT_EQ(t.transcript().find(unsaid), std::string::npos) << unsaid;

  const auto requests = svc.service.requests();
  ASSERT_EQ(requests.size(), 13u);
  std::string expected;
  for (size_t i = 0; i < requests.size(); ++i) {
    const size_t size = i == 12 ? 8 * 103 : i % 2 == 0 ? 66 * 103 : 100;
    EXPECT_EQ(requests[i].q.size(), size) << "request " << i + 1;
    EXPECT_LE(requests[i].q.size(), 6815u);
    expected += TranslationService::Translate("pt", "en", requests[i].text) + "\r\n";
  }
  EXPECT_EQ(requests[0].q.substr(0, 8), "%20L001x");
  EXPECT_EQ(requests[1].q.substr(0, 5), "L067x") << "the line that did not fit goes alone";
  EXPECT_EQ(requests[2].q.substr(0, 8), "%20L068x");
  EXPECT_EQ(requests[12].q.substr(0, 8), "%20L403x");
  // Every batch, in order.
  const std::string output = t.home() + "/morventa-light/arquivos traduzidos/longo_en.txt";
  EXPECT_EQ(ReadFile(output), expected);

  // Again, stopped with "s": the output goes, and so does the temporary file.
  svc.service.AnswerOnly(14);
  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Enter>", "Selecione idioma de destino:") &&
              t.Type("<Enter>", "Escolha uma opção:") && t.Type("<Enter>", "Informe o arquivo"))
      << t.Dump();
  t.s().Send(KeyBytes("longo.txt<Enter>"));
  ASSERT_TRUE(svc.service.WaitForRequests(14));
  t.s().Send(KeyBytes("<Esc>"));
  svc.service.AnswerAll();
  ASSERT_TRUE(t.Said("Deseja parar a tradução?")) << t.Dump();
  ASSERT_TRUE(t.Type("S", "Tradução de arquivo interrompida.")) << t.Dump();
  ASSERT_TRUE(t.Said("Escolha as opções de tradução")) << t.Dump();
  EXPECT_FALSE(fs::exists(output));
  EXPECT_FALSE(fs::exists(t.home() + "/morventa-light/temp/tdl.temp"));
  EXPECT_EQ(svc.service.requests().size(), 15u) << "nothing sent after the stop";
}

// Two lines from another program on the X clipboard: the line break goes as
// the text %0D and comes back a line break, on the clipboard.
TEST(TranslatorTest, TranslatesTheClipboardIntoTheClipboard) {
  VirtualDesktop x;
  if (!x.available()) GTEST_SKIP() << "Xvfb could not start";
  if (system("command -v xclip >/dev/null") != 0) GTEST_SKIP() << "xclip is not installed";
  const std::string put = "xclip -display " + x.display_name() + " -selection clipboard -in >/dev/null 2>&1";
  const std::string get = "xclip -display " + x.display_name() + " -selection clipboard -out 2>/dev/null";
  auto read_clipboard = [&] {
    FILE* p = popen(get.c_str(), "r");
    std::string text;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    pclose(p);
    return text;
  };
  FILE* p = popen(put.c_str(), "w");
  ASSERT_NE(p, nullptr);
  fputs("Bom dia.\nComo vai?", p);
  pclose(p);
  // xclip's child takes the selection a moment after it forks.
  for (int i = 0; i < 1000 && read_clipboard() != "Bom dia.\nComo vai?"; ++i) {
  }
  ASSERT_EQ(read_clipboard(), "Bom dia.\nComo vai?");

  Service svc;
  auto env = svc.env();
  env["DISPLAY"] = x.display_name();
  Translator t(true, {}, svc.service.Ini(), env);
  ASSERT_TRUE(t.Choose(6, 4, 3)) << t.Dump();
  ASSERT_TRUE(t.Said("Resultado copiado para  aárea de transferência")) << t.Dump();
  EXPECT_EQ(read_clipboard(), "BOM DIA.\nCOMO VAI?");
  const auto requests = svc.service.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].q, "Bom%20dia.%250DComo%20vai%3F");
  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Esc>", "Desistiu")) << t.Dump();
  EXPECT_EQ(t.s().WaitExit(), 0) << t.Dump();
}

// An answer without the translation (an error page, a connection closed or
// silent) ends the reading: the user is told, and the program goes back to
// the menus; the file job stops and keeps what it had written.
TEST(TranslatorTest, AnAnswerWithoutTranslationIsReportedAndNothingIsLost) {
  using Fault = TranslationService::Fault;
  struct Case {
    const char* name;
    Fault fault;
    int job;
  };
  const Case cases[] = {
      {"error page, typed phrase", Fault::kErrorPage, 1},
      {"closed, typed phrase", Fault::kClose, 1},
      {"silent, typed phrase", Fault::kSilent, 1},
      {"error page, clipboard", Fault::kErrorPage, 3},
      {"closed, file", Fault::kClose, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Service svc;
    Translator t(true, {}, svc.service.Ini(), svc.env());
    std::string text;
    for (int i = 0; i < 70; ++i) text += std::string(100, 'a') + "\n";
    WriteFile(t.home() + "/texto.txt", text);
    if (c.job == 2) {
      // The first pair of requests is answered; the next fails.
      svc.service.AnswerOnly(2);
    } else {
      svc.service.SetFault(c.fault);
    }
    ASSERT_TRUE(t.Choose(6, 4, c.job)) << t.Dump();
    if (c.job == 1) t.s().Send(KeyBytes("bom dia<Enter>"));
    if (c.job == 2) {
      t.s().Send(KeyBytes("texto.txt<Enter>"));
      ASSERT_TRUE(svc.service.WaitForRequests(3));
      svc.service.SetFault(c.fault);
      svc.service.AnswerAll();
    }
    ASSERT_TRUE(t.Said("O serviço de tradução não devolveu nenhuma tradução.", 60000)) << t.Dump();
    if (c.job == 2) {
      ASSERT_TRUE(t.Said("Tradução de arquivo interrompida.")) << t.Dump();
      ASSERT_TRUE(t.Said("O que foi traduzido até aqui está em ~/morventa-light/arquivos traduzidos/texto_en.txt"))
          << t.Dump();
      const auto requests = svc.service.requests();
      EXPECT_EQ(ReadFile(t.home() + "/morventa-light/arquivos traduzidos/texto_en.txt"),
                TranslationService::Translate("pt", "en", requests[0].text) + "\r\n" +
                    TranslationService::Translate("pt", "en", requests[1].text) + "\r\n");
    }
    ASSERT_TRUE(t.Said("Escolha as opções de tradução")) << t.Dump();
    EXPECT_FALSE(fs::exists(t.home() + "/morventa-light/temp/tdl.temp"));
    ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Esc>", "Desistiu")) << t.Dump();
    EXPECT_EQ(t.s().WaitExit(), 0) << t.Dump();
    EXPECT_EQ(Spoken(t.transcript()).back(), "Desistiu");
  }
}

// No connection: a beep and another try every ten seconds, until the user
// gives up with Escape (back to the menus) or the service answers.
TEST(TranslatorTest, RetriesARefusedConnectionUntilItWorksOrTheUserGivesUp) {
  Service svc;
  Translator t(true, {}, TranslationService::RefusingIni(), svc.env());
  const std::string refused = "Não foi possível conectar ao serviço de tradução.";
  ASSERT_TRUE(t.Choose(4, 6, 1)) << t.Dump();
  ASSERT_TRUE(t.Type("good morning<Enter>", refused)) << t.Dump();
  ASSERT_TRUE(t.Type("<Esc>", "Tradução cancelada.")) << t.Dump();
  ASSERT_TRUE(t.Said("Escolha as opções de tradução")) << t.Dump();

  ASSERT_TRUE(t.Said("Selecione o idioma de origem:") && t.Type("<Enter>", "Selecione idioma de destino:") &&
              t.Type("<Enter>", "Escolha uma opção:") && t.Type("<Enter>", "Digite o texto a traduzir:"))
      << t.Dump();
  ASSERT_TRUE(t.Type("good morning<Enter>", refused)) << t.Dump();
  // The service comes back: the next try, read afresh from the configuration, reaches it.
  WriteFile(t.home() + "/config/Orbela/Orbela.ini", svc.service.Ini());
  ASSERT_TRUE(t.Said("bom dia", 60000)) << t.Dump();
  EXPECT_EQ(svc.service.requests().size(), 1u);
  t.s().Send(KeyBytes("<Enter><Esc>"));
}

}  // namespace
}  // namespace morventa::testing
