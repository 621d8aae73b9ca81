// The translator, the real morventa-light, in a pseudo-terminal as a user
// meets it: spoken menus, the working folder, the three jobs against a
// stand-in of the translation service on 127.0.0.1, and what happens when
// that service misbehaves. The program is followed through its speech
// transcript: each step waits for what the user would hear before typing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
    std::map<std::string, std::string> env = {{"MORVENTA_CONSOLE", "terminal"},
                                              {"MORVENTA_AUDIO", "null"},
                                              {"MORVENTA_TRANSCRIPT", transcript_path()},
                                              {"DISPLAY", ""},
                                              {"WAYLAND_DISPLAY", ""},
                                              {"HOME", home_},
                                              {"XDG_CONFIG_HOME", home_ + "/config"}};
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

}  // namespace
}  // namespace morventa::testing
