#include "interpreter/dispatch.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// The vocabulary, in dispatch order. Keywords with accents are Windows-1252.
constexpr Command kCommands[] = {
    {"DEBUG", DebugCommand},
    {"SEJA", SejaCommand},
    {"TELA", TelaCommand},
    {"COR", CorCommand},
    {"FUNDO", FundoCommand},
    {"ABRE", AbreCommand},
    {"FECHA", FechaCommand},
    {"INTERNET", InternetCommand},
    {"CONECTA", ConectaCommand},
    {"ATIVASSL", AtivasslCommand},
    {"SERVE", ServeCommand},
    {"OBSERVA", ObservaCommand},
    {"ESCREVE", EscreveCommand},
    {"BIPA", BipaCommand},
    {"SOMA", SomaCommand},
    {"SUBTRAI", SubtraiCommand},
    {"MULTIPLICA", MultiplicaCommand},
    {"DIVIDE", DivideCommand},
    {"CONCATENA", ConcatenaCommand},
    {"COPIA", CopiaCommand},
    {"SOLETRA", SoletraCommand},
    {"LISTA", ListaCommand},
    {"FALAHORA", FalahoraCommand},
    {"TITULO", TituloCommand},
    {"T\xCDTULO", TituloCommand},  // TÍTULO
    {"DELETA", DeletaCommand},
    {"SUBSTITUI", SubstituiCommand},
    {"FALA", FalaCommand},
    {"L\xCA", LeCommand},  // LÊ
    {"LE", LeCommand},
    {"CHECA", ChecaCommand},
    {"REMOVE", RemoveCommand},
    {"RENOMEIA", RenomeiaCommand},
    {"REPLICA", ReplicaCommand},
    {"CMD", CmdCommand},
    {"ESPERA", EsperaCommand},
    {"TRANSFERE", TransfereCommand},
    {"DESVIA", DesviaCommand},
    {"SE", SeCommand},
    {"SENAO", SenaoCommand},
    {"SEN\xC3O", SenaoCommand},  // SENÃO
    {"ENQUANTO", EnquantoCommand},
    {"REPETE", RepeteCommand},
    {"FIM", FimCommand},
    {"GRAVABYTES", GravabytesCommand},
    {"ESCREVEBYTE", EscrevebyteCommand},
    {"LEBYTE", LebyteCommand},
    {"LIMPABYTES", LimpabytesCommand},
    {"FECHABIN", FechabinCommand},
    {"CRIABIN", CriabinCommand},
    {"TAMARQ", TamarqCommand},
    {"HTAMARQ", HtamarqCommand},
    {"DIR", DirCommand},
    {"BUSCA", BuscaCommand},
    {"TERMINA", TerminaCommand},
    {"CHAMA", ChamaCommand},
    {"RETORNA", RetornaCommand},
    {"RANDOMIZA", RandomizaCommand},
    {"IP", IpCommand},
    {"MENU", MenuCommand},
    {"ANSIPARAUTF8", AnsiparaUtf8Command},
    {"UTF8PARAANSI", Utf8paraAnsiCommand},
    {"HTTP", HttpCommand},
    {"CODBASE64", Codbase64Command},
    {"REMOVEQUOTED", RemovequotedCommand},
    {"ADQUOTED", AdquotedCommand},
    {"CODARQBASE64", Codarqbase64Command},
    {"DECODARQBASE64", Decodarqbase64Command},
    {"DECODBASE64", Decodbase64Command},
};

// Keywords are unique, so finding the one equal keyword is what the ordered
// search of the table would do. They are grouped by their first byte, and a
// lookup compares only the few that share the word's first letter.
class KeywordIndex {
 public:
  KeywordIndex() {
    for (const auto& c : kCommands) by_first_[static_cast<unsigned char>(c.keyword[0])].push_back(&c);
  }
  CommandHandler Find(std::string_view upper_word) const {
    if (upper_word.empty()) return nullptr;
    for (const Command* c : by_first_[static_cast<unsigned char>(upper_word[0])]) {
      // In place, byte by byte: keywords are too short to be worth a call.
      if (c->keyword.size() != upper_word.size()) continue;
      size_t i = 1;
      while (i < upper_word.size() && c->keyword[i] == upper_word[i]) ++i;
      if (i == upper_word.size()) return c->handler;
    }
    return nullptr;
  }

 private:
  std::array<std::vector<const Command*>, 256> by_first_;
};

const KeywordIndex& Keywords() {
  static const KeywordIndex index;
  return index;
}

constexpr size_t kLongestKeyword = [] {
  size_t longest = 0;
  for (const auto& c : kCommands) longest = std::max(longest, c.keyword.size());
  return longest;
}();

bool IsBlockWord(std::string_view word) {
  return word == "REPETE" || word == "ENQUANTO" || word == "SENAO" || word == "SEN\xC3O" ||
         word == "FIM";
}

}  // namespace

bool ExecuteLine(Runtime& rt, std::string_view line, bool nested) {
  line = TrimView(line);
  if (line.empty() || line[0] == '*' || line[0] == '@') return true;
  std::string& word = rt.interp.command_word;
  word.clear();
  size_t i = 0;
  for (; i < line.size(); ++i) {
    if (line[i] == ' ') {
      ++i;
      break;
    }
    word += static_cast<char>(SimpleUpper(static_cast<unsigned char>(line[i])));
  }
  const std::string_view args = line.substr(i);
  if (nested && IsBlockWord(word)) return false;
  const bool ok = Dispatch(rt, word, args);
  rt.interp.fail_flag = !ok;
  return ok;
}

bool Dispatch(Runtime& rt, std::string_view word, std::string_view args) {
  args = TrimView(args);
  if (rt.interp.debug_trace) {
    std::string trace(word);
    trace += ' ';
    trace += args;
    rt.WriteLineSpoken(trace);
  }
  // Every keyword is short: the word is upper-cased into a small buffer on the
  // stack, and a longer word names no command.
  CommandHandler handler = nullptr;
  if (word.size() <= kLongestKeyword) {
    char buffer[kLongestKeyword];
    for (size_t i = 0; i < word.size(); ++i)
      buffer[i] = static_cast<char>(UpperChar(static_cast<unsigned char>(word[i])));
    const std::string_view upper(buffer, word.size());
    handler = Keywords().Find(upper);
    if (handler && rt.interp.allow_command && !rt.interp.allow_command(upper)) handler = nullptr;
  }
  if (!handler) {
    rt.WriteLineSpoken(Ansi("Comando inválido: ") + UpperText(word));
    return false;
  }
  return handler(rt, args);
}

bool DebugCommand(Runtime& rt, std::string_view args) {
  if (args == "-" || (!args.empty() && args[0] == 'N')) {
    rt.interp.debug_trace = false;
    rt.WriteLineSpoken("Debug desligado");
  } else {
    rt.interp.debug_trace = true;
    rt.WriteLineSpoken("Debug ligado");
  }
  return true;
}

}  // namespace morventa
