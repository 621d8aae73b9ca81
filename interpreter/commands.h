// Every command handler of the language, grouped by the file that holds it.
#pragma once

#include <string_view>

namespace morventa {

class Runtime;

// dispatch.cc
bool DebugCommand(Runtime& rt, std::string_view args);
// assignment.cc
bool SejaCommand(Runtime& rt, std::string_view args);
// arithmetic_commands.cc
bool SomaCommand(Runtime& rt, std::string_view args);
bool SubtraiCommand(Runtime& rt, std::string_view args);
bool MultiplicaCommand(Runtime& rt, std::string_view args);
bool DivideCommand(Runtime& rt, std::string_view args);
bool ConcatenaCommand(Runtime& rt, std::string_view args);
bool CopiaCommand(Runtime& rt, std::string_view args);
bool DeletaCommand(Runtime& rt, std::string_view args);
bool SubstituiCommand(Runtime& rt, std::string_view args);
bool RandomizaCommand(Runtime& rt, std::string_view args);
// list_commands.cc
bool ListaCommand(Runtime& rt, std::string_view args);
// control_flow.cc
bool CmdCommand(Runtime& rt, std::string_view args);
bool DesviaCommand(Runtime& rt, std::string_view args);
bool SeCommand(Runtime& rt, std::string_view args);
bool SenaoCommand(Runtime& rt, std::string_view args);
bool EnquantoCommand(Runtime& rt, std::string_view args);
bool RepeteCommand(Runtime& rt, std::string_view args);
bool FimCommand(Runtime& rt, std::string_view args);
bool TerminaCommand(Runtime& rt, std::string_view args);
bool ChamaCommand(Runtime& rt, std::string_view args);
bool RetornaCommand(Runtime& rt, std::string_view args);
// console/console_commands.cc
bool EscreveCommand(Runtime& rt, std::string_view args);
// console/menu.cc
bool MenuCommand(Runtime& rt, std::string_view args);

}  // namespace morventa
