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
bool LeCommand(Runtime& rt, std::string_view args);
bool ObservaCommand(Runtime& rt, std::string_view args);
bool TelaCommand(Runtime& rt, std::string_view args);
bool CorCommand(Runtime& rt, std::string_view args);
bool FundoCommand(Runtime& rt, std::string_view args);
bool TituloCommand(Runtime& rt, std::string_view args);
bool BipaCommand(Runtime& rt, std::string_view args);
bool EsperaCommand(Runtime& rt, std::string_view args);
bool FalaCommand(Runtime& rt, std::string_view args);
bool FalahoraCommand(Runtime& rt, std::string_view args);
bool SoletraCommand(Runtime& rt, std::string_view args);
bool TransfereCommand(Runtime& rt, std::string_view args);
// console/menu.cc
bool MenuCommand(Runtime& rt, std::string_view args);
// system/channels.cc
bool AbreCommand(Runtime& rt, std::string_view args);
bool FechaCommand(Runtime& rt, std::string_view args);
bool ChecaCommand(Runtime& rt, std::string_view args);
// system/file_commands.cc
bool RemoveCommand(Runtime& rt, std::string_view args);
bool RenomeiaCommand(Runtime& rt, std::string_view args);
bool ReplicaCommand(Runtime& rt, std::string_view args);
bool DirCommand(Runtime& rt, std::string_view args);
bool BuscaCommand(Runtime& rt, std::string_view args);
bool TamarqCommand(Runtime& rt, std::string_view args);
bool HtamarqCommand(Runtime& rt, std::string_view args);
// system/byte_file.cc
bool GravabytesCommand(Runtime& rt, std::string_view args);
bool EscrevebyteCommand(Runtime& rt, std::string_view args);
bool LebyteCommand(Runtime& rt, std::string_view args);
bool LimpabytesCommand(Runtime& rt, std::string_view args);
bool FechabinCommand(Runtime& rt, std::string_view args);
bool CriabinCommand(Runtime& rt, std::string_view args);
// system/encodings.cc
bool AnsiparaUtf8Command(Runtime& rt, std::string_view args);
bool Utf8paraAnsiCommand(Runtime& rt, std::string_view args);
bool Codbase64Command(Runtime& rt, std::string_view args);
bool RemovequotedCommand(Runtime& rt, std::string_view args);
bool AdquotedCommand(Runtime& rt, std::string_view args);
bool Codarqbase64Command(Runtime& rt, std::string_view args);
bool Decodarqbase64Command(Runtime& rt, std::string_view args);
bool Decodbase64Command(Runtime& rt, std::string_view args);
// net/network_commands.cc
bool InternetCommand(Runtime& rt, std::string_view args);
bool ConectaCommand(Runtime& rt, std::string_view args);
bool AtivasslCommand(Runtime& rt, std::string_view args);
bool ServeCommand(Runtime& rt, std::string_view args);
bool IpCommand(Runtime& rt, std::string_view args);
bool HttpCommand(Runtime& rt, std::string_view args);

}  // namespace morventa
