// Stand-ins for the servers on the other end of a connection: a certificate
// authority made at test time, and a small server on 127.0.0.1 that speaks
// plain TCP or TLS and runs a handler of the test's for every client.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace morventa::testing {

struct Credentials {
  std::string cert_pem;
  std::string key_pem;
};

// A root certificate and its key, new for every object.
class TestAuthority {
 public:
  explicit TestAuthority(const std::string& name = "Autoridade de teste");
  ~TestAuthority();
  TestAuthority(const TestAuthority&) = delete;
  TestAuthority& operator=(const TestAuthority&) = delete;

  const std::string& cert_pem() const { return cert_pem_; }
  // A server certificate for the names (host names or IPv4 addresses).
  Credentials Issue(const std::vector<std::string>& names) const;
  // Writes the root certificate where SSL_CERT_FILE can name it.
  void WriteCertificate(const std::string& path) const;

 private:
  struct Keys;
  std::unique_ptr<Keys> keys_;
  std::string cert_pem_;
};

// One client as the server sees it. Reads and writes block; both fail once
// the client has gone.
class ServerPeer {
 public:
  ServerPeer(int fd, void* ssl) : fd_(fd), ssl_(ssl) {}
  ~ServerPeer();
  ServerPeer(const ServerPeer&) = delete;
  ServerPeer& operator=(const ServerPeer&) = delete;

  // Up to LF, one CR before it removed; false when the client closed first.
  bool ReadLine(std::string& line);
  // The lines of a request head, up to the empty line (not included).
  std::vector<std::string> ReadHead();
  bool Send(std::string_view bytes);
  // Waits until the client closes its end (or the server stops).
  void WaitForClose();
  // Ends the connection: a TLS link is shut down cleanly first.
  void Close();
  std::string ClientAddress() const;

 private:
  int Receive(char* buf, int size);

  int fd_;
  void* ssl_;  // SSL*, null for plain TCP
  std::string in_;
  bool closed_ = false;
};

// A port on 127.0.0.1 the system just gave out and nobody listens on any
// more: connections to it are refused.
int UnusedPort();

class TestServer {
 public:
  using Handler = std::function<void(ServerPeer&)>;

  // Plain TCP.
  explicit TestServer(Handler handler);
  // TLS with the given certificate.
  TestServer(Handler handler, const Credentials& tls);
  // Stops listening, ends every connection and waits for the handlers.
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int port() const { return port_; }
  // Clients accepted so far (a failed TLS handshake counts too).
  int connections() const { return connections_; }
  // Handlers that have returned.
  int finished() const { return finished_; }

 private:
  void Start();
  void AcceptLoop();

  Handler handler_;
  void* ctx_ = nullptr;  // SSL_CTX*
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::atomic<int> finished_{0};
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<int> client_fds_;
  std::vector<std::thread> clients_;
};

}  // namespace morventa::testing
