#include "interpreter/dispatch.h"

#include <array>
#include <string>
#include <unordered_map>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// The vocabulary, in dispatch order. Keywords with accents are Windows-1252.
const Command kCommands[] = {
    {"DEBUG", DebugCommand},
    {"SEJA", SejaCommand},
    {"ESCREVE", EscreveCommand},
    {"SOMA", SomaCommand},
    {"SUBTRAI", SubtraiCommand},
    {"MULTIPLICA", MultiplicaCommand},
    {"DIVIDE", DivideCommand},
    {"CONCATENA", ConcatenaCommand},
    {"COPIA", CopiaCommand},
    {"LISTA", ListaCommand},
    {"DELETA", DeletaCommand},
    {"SUBSTITUI", SubstituiCommand},
    {"CMD", CmdCommand},
    {"DESVIA", DesviaCommand},
    {"SE", SeCommand},
    {"SENAO", SenaoCommand},
    {"SEN\xC3O", SenaoCommand},  // SENÃO
    {"ENQUANTO", EnquantoCommand},
    {"REPETE", RepeteCommand},
    {"FIM", FimCommand},
    {"TERMINA", TerminaCommand},
    {"CHAMA", ChamaCommand},
    {"RETORNA", RetornaCommand},
    {"RANDOMIZA", RandomizaCommand},
};

// Keywords are unique, so a hash lookup finds what the ordered search would.
const std::unordered_map<std::string_view, CommandHandler>& CommandIndex() {
  static const auto* index = [] {
    auto* map = new std::unordered_map<std::string_view, CommandHandler>;
    for (const auto& c : kCommands) map->emplace(c.keyword, c.handler);
    return map;
  }();
  return *index;
}

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
  const std::string upper = UpperText(word);
  const auto& index = CommandIndex();
  auto it = index.find(upper);
  if (rt.interp.allow_command && !rt.interp.allow_command(upper)) it = index.end();
  if (it == index.end()) {
    rt.WriteLineSpoken(Ansi("Comando inválido: ") + upper);
    return false;
  }
  return it->second(rt, args);
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
