// The TCP layer under the socket channels: outgoing connections, plain or
// TLS, one incoming peer on a listening port, and the line reading and
// writing a channel does on them. Everything runs on the interpreter's
// thread; waits keep the console alive through DelayMs and KeyPending.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/tls.h"
#include "system/channels.h"

namespace morventa {

class ConsoleWindow;
class Config;

// What the network commands remember for the whole run.
struct NetworkSettings {
  // Set by CONECTA SSL, cleared when FECHA closes a socket channel.
  bool tls_choice = false;
  std::string last_host;
  std::string last_port_text;
  uint16_t last_port = 0;
  // How long one readiness check may wait, in microseconds; read from the
  // configuration after every outgoing connection.
  int wait_us = 0;
};

// A socket descriptor that closes itself.
class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() { Reset(); }
  Socket(Socket&& other) noexcept : fd_(other.Release()) {}
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = other.Release();
    }
    return *this;
  }
  int fd() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset();

 private:
  int fd_ = -1;
};

// The IPv4 address of host in network order: a text that begins with a
// digit is taken as a dotted address and never looked up by name.
std::optional<uint32_t> ResolveHost(const std::string& host);

// Where the configuration sends connections for host:port (CONECTA_EM);
// host and port themselves when no entry names them.
std::pair<std::string, uint16_t> ConnectTarget(const std::string& connect_to,
                                               const std::string& host, uint16_t port);

// The channel's side of one connection: the socket, the TLS link when there
// is one, and the line reader's 4096-byte buffer.
class SocketConnection : public ChannelConnection {
 public:
  SocketConnection(ConsoleWindow& console, const NetworkSettings& settings, Socket socket,
                   std::unique_ptr<TlsLink> tls);
  ~SocketConnection() override;

  bool Send(std::string_view text, bool line_end) override;
  // Reads with the time-out count of LE.
  bool ReadLine(std::string& line) override { return ReadLine(line, kReadTimeoutCount); }
  bool DataAvailable() override;
  std::optional<std::string> Address(bool remote) const override;

  // t bounds the empty polls of 100 ms over the whole line, 10 × t of them;
  // 0 waits for ever. On a time-out line keeps what came.
  bool ReadLine(std::string& line, int t);

  static constexpr int kReadTimeoutCount = 30;

 private:
  bool Ready();
  int Receive();
  int Transmit(const char* bytes, int length);

  ConsoleWindow& console_;
  const NetworkSettings& settings_;
  Socket socket_;
  std::unique_ptr<TlsLink> tls_;
  char data_[4096];
  int position_ = 4096;
  int fill_ = 0;
};

// An outgoing connection, TLS when tls is set; null when the host cannot be
// resolved, the connection or the handshake fails. A connection made reads
// the readiness wait from the configuration into settings.
std::unique_ptr<SocketConnection> Connect(ConsoleWindow& console, const Config& config,
                                          NetworkSettings& settings, const std::string& host,
                                          uint16_t port, bool tls);

// A socket listening on every local address at the port, or an invalid one.
Socket Listen(uint16_t port);
// Waits, without a time-out, for one client on the listening socket.
Socket Accept(const Socket& listening);

}  // namespace morventa
