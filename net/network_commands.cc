// INTERNET, CONECTA, ATIVASSL, SERVE, IP and HTTP: the commands that attach
// connections to channels and prepare text for a request.
#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "interpreter/variables.h"
#include "net/socket_channel.h"
#include "system/encodings.h"

namespace morventa {
namespace {

constexpr const char* kConnectionError = "Erro de conexao";
constexpr const char* kPortError = "Erro na porta TCP/IP";

// A connection that failed leaves a socket channel without one, so that its
// reads and writes fail with status 1 instead of reaching an earlier peer.
void DropConnection(Runtime& rt, int channel) {
  Channel& c = rt.channels.at(channel);
  if (c.open && c.socket) c.connection.reset();
}

}  // namespace

bool InternetCommand(Runtime&, std::string_view args) {
  // POSIX sockets need no service started or stopped: the words are checked
  // so that scripts fail where they always failed.
  const std::string word = UpperText(args);
  return word == "INICIA" || word == "TERMINA";
}

bool ConectaCommand(Runtime& rt, std::string_view args) {
  NetworkSettings& net = rt.network;
  if (StartsWithUpper(args, "SSL ")) {
    net.tls_choice = true;
    args.remove_prefix(4);
  }
  const bool quiet = TakeQuietSuffix(args);
  const auto channel = TakeChannel(args);
  std::string host, port_text;
  bool named = channel && !args.empty() && EvaluateValue(rt, args, host);
  named = named && !args.empty() && EvaluateValue(rt, args, port_text);
  std::unique_ptr<SocketConnection> connection;
  if (named) {
    net.last_host = host;
    net.last_port_text = port_text;
    const auto port = ToInteger(port_text);
    if (!port) {
      if (quiet) {
        rt.operation_status = 2;
        return true;
      }
      rt.WriteLineSpoken(kPortError);
      return false;
    }
    net.last_port = static_cast<uint16_t>(*port);
    connection = Connect(rt.console, rt.config, net, host, net.last_port, net.tls_choice);
  }
  if (!connection) {
    if (channel) DropConnection(rt, *channel);
    if (quiet) {
      rt.operation_status = 1;
      return true;
    }
    rt.WriteLineSpoken(kConnectionError);
    return false;
  }
  AttachConnection(rt, *channel, std::move(connection));
  if (quiet) rt.operation_status = 0;
  return true;
}

bool AtivasslCommand(Runtime& rt, std::string_view args) {
  const auto channel = TakeChannel(args);
  if (!channel) return false;
  NetworkSettings& net = rt.network;
  auto connection = net.last_host.empty()
                        ? nullptr
                        : Connect(rt.console, rt.config, net, net.last_host, net.last_port, true);
  // The channel moves to the new link; the earlier connection closes.
  if (connection) {
    AttachConnection(rt, *channel, std::move(connection));
  } else {
    DropConnection(rt, *channel);
  }
  return true;
}

bool ServeCommand(Runtime& rt, std::string_view args) {
  const auto channel = TakeChannel(args);
  std::string port_text;
  if (!channel || args.empty() || !EvaluateValue(rt, args, port_text)) {
    rt.WriteLineSpoken(kConnectionError);
    return false;
  }
  const auto port = ToInteger(port_text);
  if (!port) {
    rt.WriteLineSpoken(kPortError);
    return false;
  }
  Socket peer;
  {
    const Socket listening = Listen(static_cast<uint16_t>(*port));
    if (listening.valid()) peer = Accept(listening);
  }
  if (!peer.valid()) {
    rt.WriteLineSpoken(kConnectionError);
    return false;
  }
  AttachConnection(rt, *channel,
                   std::make_unique<SocketConnection>(rt.console, rt.network, std::move(peer), nullptr));
  return true;
}

bool IpCommand(Runtime& rt, std::string_view args) {
  bool remote;
  if (StartsWithUpper(args, "LOCAL ")) {
    remote = false;
    args.remove_prefix(6);
  } else if (StartsWithUpper(args, "REMOTO ")) {
    remote = true;
    args.remove_prefix(7);
  } else {
    return false;
  }
  args = TrimView(args);
  const auto channel = TakeChannel(args);
  if (!channel) return false;
  const auto slot = TakeVariable(rt, args);
  ChannelConnection* connection = rt.channels.Connection(*channel);
  if (!slot || !connection) return false;
  const auto address = connection->Address(remote);
  if (!address) return false;
  rt.interp.variables.Slot(*slot) = *address;
  return true;
}

bool HttpCommand(Runtime& rt, std::string_view args) { return ConvertInPlace(rt, args, PercentEncode); }

}  // namespace morventa
