// A TLS client link over a connected TCP socket, one per connection. The
// library's own result codes come back unchanged so that the network layer
// applies its retry rules to them; nothing here waits or writes messages.
#pragma once

#include <memory>
#include <string>

namespace morventa {

class TlsLink {
 public:
  // What the library says about the last read or write.
  enum Code {
    kNone = 0,
    kWantRead = 2,
    kWantWrite = 3,
    kSyscall = 5,
    kZeroReturn = 6,  // the peer closed the link
  };
  struct Result {
    int n;     // bytes moved, or 0 or -1
    int code;  // one of Code, or another code of the library
  };

  // Runs the client handshake on the socket, naming host to the server. With
  // verify the server's certificate must chain to the system's trust store
  // (SSL_CERT_FILE and SSL_CERT_DIR apply) and be issued for host. Null when
  // the handshake fails; the socket stays the caller's.
  static std::unique_ptr<TlsLink> Start(int fd, const std::string& host, bool verify);
  ~TlsLink();  // shuts the link down and frees it
  TlsLink(const TlsLink&) = delete;
  TlsLink& operator=(const TlsLink&) = delete;

  Result Read(char* buffer, int size);
  Result Write(const char* bytes, int length);
  // Decrypted bytes not yet read.
  bool Pending() const;

 private:
  struct Impl;
  explicit TlsLink(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace morventa
