#include "platform/tls.h"

#include <arpa/inet.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace morventa {

struct TlsLink::Impl {
  SSL_CTX* context = nullptr;
  SSL* connection = nullptr;
  ~Impl() {
    if (connection) {
      SSL_shutdown(connection);
      SSL_free(connection);
    }
    SSL_CTX_free(context);
  }
};

TlsLink::TlsLink(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TlsLink::~TlsLink() = default;

std::unique_ptr<TlsLink> TlsLink::Start(int fd, const std::string& host, bool verify) {
  auto impl = std::make_unique<Impl>();
  // A context per link: links on different channels never share state, and
  // a link that ends leaves nothing behind for the next one.
  impl->context = SSL_CTX_new(TLS_client_method());
  if (!impl->context) return nullptr;
  // A read that met only records without data (session tickets) returns
  // instead of blocking for more, so that readers keep their time-outs.
  SSL_CTX_clear_mode(impl->context, SSL_MODE_AUTO_RETRY);
  if (verify) {
    SSL_CTX_set_verify(impl->context, SSL_VERIFY_PEER, nullptr);
    if (SSL_CTX_set_default_verify_paths(impl->context) != 1) return nullptr;
  }
  impl->connection = SSL_new(impl->context);
  if (!impl->connection || SSL_set_fd(impl->connection, fd) != 1) return nullptr;
  SSL_set_tlsext_host_name(impl->connection, host.c_str());
  if (verify) {
    in_addr address;
    const bool is_address = inet_pton(AF_INET, host.c_str(), &address) == 1;
    X509_VERIFY_PARAM* param = SSL_get0_param(impl->connection);
    const int ok = is_address ? X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str())
                              : X509_VERIFY_PARAM_set1_host(param, host.c_str(), 0);
    if (ok != 1) return nullptr;
  }
  if (SSL_connect(impl->connection) <= 0) {
    ERR_clear_error();
    // Nothing was established: no shutdown is owed to the server.
    SSL_free(impl->connection);
    impl->connection = nullptr;
    return nullptr;
  }
  return std::unique_ptr<TlsLink>(new TlsLink(std::move(impl)));
}

TlsLink::Result TlsLink::Read(char* buffer, int size) {
  ERR_clear_error();
  const int n = SSL_read(impl_->connection, buffer, size);
  return {n, SSL_get_error(impl_->connection, n)};
}

TlsLink::Result TlsLink::Write(const char* bytes, int length) {
  ERR_clear_error();
  const int n = SSL_write(impl_->connection, bytes, length);
  return {n, SSL_get_error(impl_->connection, n)};
}

bool TlsLink::Pending() const { return SSL_pending(impl_->connection) != 0; }

}  // namespace morventa
