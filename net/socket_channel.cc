#include "net/socket_channel.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <mutex>

#include "console/config.h"
#include "console/console_window.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr int kPollDelayMs = 100;
// What Receive answers when a TLS link has taken bytes that held no data yet
// (a session ticket, half a record).
constexpr int kNothingYet = -2;
constexpr int kHandshakeSeconds = 30;

// A peer that has gone away must make a write fail, not end the program:
// Linux would raise SIGPIPE where Windows only returns an error, and a TLS
// link writes its farewell to a peer that may have gone.
void IgnoreBrokenPipes() {
  static std::once_flag once;
  std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

// Bounds every blocking receive and send on the socket; 0 lifts the bound.
void SetTransferTimeout(int fd, int seconds) {
  const timeval limit{seconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

// Scripts send a request a line at a time; without this each small line
// waits for the peer to acknowledge the one before it (some 40 ms a line).
void SendLinesAtOnce(int fd) {
  const int yes = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
}

std::string UpperHost(std::string_view text) {
  std::string s(text);
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Dotted(const in_addr& address) {
  char text[INET_ADDRSTRLEN];
  return inet_ntop(AF_INET, &address, text, sizeof text) ? text : "";
}

}  // namespace

void Socket::Reset() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

std::optional<uint32_t> ResolveHost(const std::string& host) {
  if (host.empty()) return std::nullopt;
  in_addr address{};
  if (std::isdigit(static_cast<unsigned char>(host[0]))) {
    if (inet_pton(AF_INET, host.c_str(), &address) != 1) return std::nullopt;
  } else {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(AnsiToUtf8(host).c_str(), nullptr, &hints, &found) != 0 || !found) {
      return std::nullopt;
    }
    address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
  }
  if (address.s_addr == 0) return std::nullopt;
  return address.s_addr;
}

std::pair<std::string, uint16_t> ConnectTarget(const std::string& connect_to,
                                               const std::string& host, uint16_t port) {
  std::string_view rest = connect_to;
  while (!rest.empty()) {
    const size_t end = rest.find(';');
    std::string_view entry = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    // HOST:PORT:OTHERHOST:OTHERPORT
    std::string_view parts[4];
    int n = 0;
    for (; n < 4; ++n) {
      const size_t colon = n < 3 ? entry.find(':') : std::string_view::npos;
      parts[n] = TrimView(entry.substr(0, colon));
      if (colon == std::string_view::npos) break;
      entry.remove_prefix(colon + 1);
    }
    if (n != 3) continue;
    const auto from_port = ToInteger(parts[1]);
    const auto to_port = ToInteger(parts[3]);
    if (!from_port || !to_port || *to_port < 1 || *to_port > 65535) continue;
    if (UpperHost(parts[0]) == UpperHost(host) && *from_port == port) {
      return {std::string(parts[2]), static_cast<uint16_t>(*to_port)};
    }
  }
  return {host, port};
}

// ---------------------------------------------------------------------------

SocketConnection::SocketConnection(ConsoleWindow& console, const NetworkSettings& settings,
                                   Socket socket, std::unique_ptr<TlsLink> tls)
    : console_(console), settings_(settings), socket_(std::move(socket)), tls_(std::move(tls)) {
  IgnoreBrokenPipes();
}

// The link is shut down before its socket closes.
SocketConnection::~SocketConnection() { tls_.reset(); }

bool SocketConnection::Ready() {
  if (tls_ && tls_->Pending()) return true;
  pollfd p{socket_.fd(), POLLIN, 0};
  // poll counts whole milliseconds; a wait of a few microseconds still waits
  // one rather than none, so that a short wait never turns into a busy loop.
  const int ms = settings_.wait_us <= 0 ? 0 : (settings_.wait_us + 999) / 1000;
  const int ready = poll(&p, 1, ms);
  console_.KeyPending();
  // A closed or failed socket is readable too: the receive then tells.
  return ready > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR));
}

bool SocketConnection::DataAvailable() { return position_ < fill_ || Ready(); }

int SocketConnection::Receive() {
  if (!tls_) return static_cast<int>(recv(socket_.fd(), data_, sizeof data_, 0));
  for (;;) {
    const TlsLink::Result r = tls_->Read(data_, sizeof data_);
    switch (r.code) {
      case TlsLink::kNone:
        return r.n;
      case TlsLink::kWantRead:
        // Waited for by the reader as an empty poll, so that a server that
        // never sends its data still meets the line's time-out.
        return kNothingYet;
      case TlsLink::kWantWrite:
        console_.DelayMs(kPollDelayMs);
        return r.n;
      case TlsLink::kSyscall:
      case TlsLink::kZeroReturn:
        return -1;
      default:
        console_.ConsoleOutput("Erro SSL: " + std::to_string(r.code) + "\r\n");
        return -1;
    }
  }
}

int SocketConnection::Transmit(const char* bytes, int length) {
  if (!tls_) return static_cast<int>(send(socket_.fd(), bytes, length, MSG_NOSIGNAL));
  for (;;) {
    const TlsLink::Result r = tls_->Write(bytes, length);
    switch (r.code) {
      case TlsLink::kNone:
        return r.n;
      case TlsLink::kWantWrite:
        console_.DelayMs(kPollDelayMs);
        continue;
      case TlsLink::kWantRead:
        console_.DelayMs(kPollDelayMs);
        return r.n;
      default:
        return -1;
    }
  }
}

bool SocketConnection::Send(std::string_view text, bool line_end) {
  std::string block(text);
  if (line_end) block += "\r\n";
  // An empty text without a line end has nothing to send, and sending
  // nothing is not a success.
  if (block.empty() || block.size() > INT_MAX) return false;
  return Transmit(block.data(), static_cast<int>(block.size())) > 0;
}

bool SocketConnection::ReadLine(std::string& line, int t) {
  line.clear();
  int empty_polls = 0;
  for (;;) {
    if (position_ >= fill_) {
      if (!Ready()) {
        console_.DelayMs(kPollDelayMs);
        ++empty_polls;
        if (t != 0 && empty_polls > 10 * t) return false;
        continue;
      }
      const int got = Receive();
      // The link took records without data (a session ticket, part of a
      // record): the socket is asked again at once, its readiness wait
      // keeping this from spinning.
      if (got == kNothingYet) continue;
      position_ = 0;
      fill_ = got > 0 ? got : 0;
      // The peer closed, or the receive failed: a line under way is the
      // last one.
      if (got <= 0) {
        if (line.empty()) return false;
        break;
      }
    }
    const char byte = data_[position_++];
    if (byte == '\n') break;
    line += byte;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::optional<std::string> SocketConnection::Address(bool remote) const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  sockaddr* a = reinterpret_cast<sockaddr*>(&address);
  const int r = remote ? getpeername(socket_.fd(), a, &length) : getsockname(socket_.fd(), a, &length);
  if (r != 0 || address.sin_family != AF_INET) return std::nullopt;
  return Dotted(address.sin_addr);
}

// ---------------------------------------------------------------------------

std::unique_ptr<SocketConnection> Connect(ConsoleWindow& console, const Config& config,
                                          NetworkSettings& settings, const std::string& host,
                                          uint16_t port, bool tls) {
  Socket s(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!s.valid()) return nullptr;
  sockaddr_in local{};
  local.sin_family = AF_INET;
  if (bind(s.fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return nullptr;
  const auto [target_host, target_port] = ConnectTarget(config.ConnectTo(), host, port);
  const auto address = ResolveHost(target_host);
  if (!address) return nullptr;
  sockaddr_in remote{};
  remote.sin_family = AF_INET;
  remote.sin_port = htons(target_port);
  remote.sin_addr.s_addr = *address;
  int r;
  do {
    r = connect(s.fd(), reinterpret_cast<sockaddr*>(&remote), sizeof remote);
  } while (r != 0 && errno == EINTR);
  if (r != 0) return nullptr;
  SendLinesAtOnce(s.fd());
  settings.wait_us = config.NetworkWaitMicroseconds();
  std::unique_ptr<TlsLink> link;
  if (tls) {
    // The server is asked for, and checked against, the name the script
    // gave, wherever the configuration sent the connection.
    // A peer that takes the connection but never answers the handshake (a
    // plain server, a stalled one) must not hold the program for ever.
    SetTransferTimeout(s.fd(), kHandshakeSeconds);
    link = TlsLink::Start(s.fd(), AnsiToUtf8(host), config.VerifyCertificates());
    if (!link) return nullptr;
    SetTransferTimeout(s.fd(), 0);
  }
  return std::make_unique<SocketConnection>(console, settings, std::move(s), std::move(link));
}

Socket Listen(uint16_t port) {
  Socket s(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!s.valid()) return s;
  // A script run again at once finds its port still held by the last run's
  // closing connection; that must not stop it from serving.
  const int yes = 1;
  setsockopt(s.fd(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  if (bind(s.fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || listen(s.fd(), 3) != 0) {
    return Socket();
  }
  return s;
}

Socket Accept(const Socket& listening) {
  int fd;
  do {
    fd = accept4(listening.fd(), nullptr, nullptr, SOCK_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0) SendLinesAtOnce(fd);
  return Socket(fd);
}

}  // namespace morventa
