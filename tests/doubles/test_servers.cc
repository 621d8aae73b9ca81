#include "tests/doubles/test_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <stdexcept>

namespace morventa::testing {
namespace {

[[noreturn]] void Fail(const char* what) {
  char buf[256];
  ERR_error_string_n(ERR_get_error(), buf, sizeof buf);
  throw std::runtime_error(std::string(what) + ": " + buf);
}

std::string ToPem(X509* cert) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, cert);
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio, &data);
  std::string pem(data, n);
  BIO_free(bio);
  return pem;
}

std::string ToPem(EVP_PKEY* key) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio, &data);
  std::string pem(data, n);
  BIO_free(bio);
  return pem;
}

void AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  if (!ext) Fail("extensão");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

// A certificate valid from a day ago for a year, named cn.
X509* NewCertificate(EVP_PKEY* key, const std::string& cn, long serial) {
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert), -86400);
  X509_gmtime_adj(X509_getm_notAfter(cert), 365L * 86400);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(cn.c_str()), -1, -1, 0);
  return cert;
}

bool IsAddress(const std::string& name) {
  in_addr a;
  return inet_pton(AF_INET, name.c_str(), &a) == 1;
}

}  // namespace

struct TestAuthority::Keys {
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
};

TestAuthority::TestAuthority(const std::string& name) : keys_(std::make_unique<Keys>()) {
  keys_->key = EVP_EC_gen("P-256");
  if (!keys_->key) Fail("chave da autoridade");
  keys_->cert = NewCertificate(keys_->key, name, 1);
  X509_set_issuer_name(keys_->cert, X509_get_subject_name(keys_->cert));
  AddExtension(keys_->cert, keys_->cert, NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(keys_->cert, keys_->cert, NID_key_usage, "critical,keyCertSign,cRLSign");
  AddExtension(keys_->cert, keys_->cert, NID_subject_key_identifier, "hash");
  if (!X509_sign(keys_->cert, keys_->key, EVP_sha256())) Fail("assinatura da autoridade");
  cert_pem_ = ToPem(keys_->cert);
}

TestAuthority::~TestAuthority() {
  X509_free(keys_->cert);
  EVP_PKEY_free(keys_->key);
}

Credentials TestAuthority::Issue(const std::vector<std::string>& names) const {
  static std::atomic<long> serial{100};
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (!key) Fail("chave do servidor");
  X509* cert = NewCertificate(key, names.empty() ? "servidor" : names.front(), serial++);
  X509_set_issuer_name(cert, X509_get_subject_name(keys_->cert));
  std::string alt;
  for (const auto& n : names) {
    if (!alt.empty()) alt += ",";
    alt += (IsAddress(n) ? "IP:" : "DNS:") + n;
  }
  if (!alt.empty()) AddExtension(cert, keys_->cert, NID_subject_alt_name, alt);
  AddExtension(cert, keys_->cert, NID_ext_key_usage, "serverAuth");
  AddExtension(cert, keys_->cert, NID_authority_key_identifier, "keyid");
  if (!X509_sign(cert, keys_->key, EVP_sha256())) Fail("assinatura do servidor");
  Credentials c{ToPem(cert), ToPem(key)};
  X509_free(cert);
  EVP_PKEY_free(key);
  return c;
}

void TestAuthority::WriteCertificate(const std::string& path) const {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("não foi possível escrever " + path);
  std::fwrite(cert_pem_.data(), 1, cert_pem_.size(), f);
  std::fclose(f);
}

// ---------------------------------------------------------------------------

ServerPeer::~ServerPeer() { Close(); }

int ServerPeer::Receive(char* buf, int size) {
  if (closed_) return -1;
  if (ssl_) return SSL_read(static_cast<SSL*>(ssl_), buf, size);
  return static_cast<int>(recv(fd_, buf, size, 0));
}

bool ServerPeer::ReadLine(std::string& line) {
  for (;;) {
    const size_t lf = in_.find('\n');
    if (lf != std::string::npos) {
      line = in_.substr(0, lf);
      in_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    char buf[4096];
    const int n = Receive(buf, sizeof buf);
    if (n <= 0) {
      line = std::move(in_);
      in_.clear();
      return false;
    }
    in_.append(buf, n);
  }
}

std::vector<std::string> ServerPeer::ReadHead() {
  std::vector<std::string> lines;
  std::string line;
  while (ReadLine(line) && !line.empty()) lines.push_back(line);
  return lines;
}

bool ServerPeer::Send(std::string_view bytes) {
  if (closed_) return false;
  if (ssl_) {
    return bytes.empty() ||
           SSL_write(static_cast<SSL*>(ssl_), bytes.data(), static_cast<int>(bytes.size())) > 0;
  }
  while (!bytes.empty()) {
    const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes.remove_prefix(n);
  }
  return true;
}

void ServerPeer::WaitForClose() {
  char buf[4096];
  while (Receive(buf, sizeof buf) > 0) {
  }
}

void ServerPeer::Close() {
  if (closed_) return;
  closed_ = true;
  if (ssl_) {
    SSL_shutdown(static_cast<SSL*>(ssl_));
    SSL_free(static_cast<SSL*>(ssl_));
    ssl_ = nullptr;
  }
  // The file descriptor itself belongs to the server, which closes it when it
  // stops; here the connection is only ended.
  shutdown(fd_, SHUT_RDWR);
}

std::string ServerPeer::ClientAddress() const {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (getpeername(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) return "";
  char text[INET_ADDRSTRLEN];
  return inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
}

// ---------------------------------------------------------------------------

int UnusedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

TestServer::TestServer(Handler handler) : handler_(std::move(handler)) { Start(); }

TestServer::TestServer(Handler handler, const Credentials& tls) : handler_(std::move(handler)) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  BIO* cert_bio = BIO_new_mem_buf(tls.cert_pem.data(), static_cast<int>(tls.cert_pem.size()));
  X509* cert = PEM_read_bio_X509(cert_bio, nullptr, nullptr, nullptr);
  BIO* key_bio = BIO_new_mem_buf(tls.key_pem.data(), static_cast<int>(tls.key_pem.size()));
  EVP_PKEY* key = PEM_read_bio_PrivateKey(key_bio, nullptr, nullptr, nullptr);
  const bool ok = cert && key && SSL_CTX_use_certificate(ctx, cert) == 1 &&
                  SSL_CTX_use_PrivateKey(ctx, key) == 1;
  X509_free(cert);
  EVP_PKEY_free(key);
  BIO_free(cert_bio);
  BIO_free(key_bio);
  if (!ok) {
    SSL_CTX_free(ctx);
    Fail("certificado do servidor");
  }
  ctx_ = ctx;
  Start();
}

void TestServer::Start() {
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      listen(listen_fd_, 16) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    throw std::runtime_error("o servidor de teste não escuta");
  }
  port_ = ntohs(a.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

void TestServer::AcceptLoop() {
  for (;;) {
    pollfd p{listen_fd_, POLLIN, 0};
    if (poll(&p, 1, 50) < 0 || stopping_) return;
    if (!(p.revents & POLLIN)) continue;
    const int fd = accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) continue;
    ++connections_;
    std::lock_guard lock(mutex_);
    client_fds_.push_back(fd);
    clients_.emplace_back([this, fd] {
      SSL* ssl = nullptr;
      if (ctx_) {
        ssl = SSL_new(static_cast<SSL_CTX*>(ctx_));
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) <= 0) {
          SSL_free(ssl);
          shutdown(fd, SHUT_RDWR);
          ++finished_;
          return;
        }
      }
      {
        ServerPeer peer(fd, ssl);
        handler_(peer);
      }
      ++finished_;
    });
  }
}

TestServer::~TestServer() {
  stopping_ = true;
  acceptor_.join();
  close(listen_fd_);
  {
    // Handlers blocked on a client that stays connected are woken up.
    std::lock_guard lock(mutex_);
    for (int fd : client_fds_) shutdown(fd, SHUT_RDWR);
  }
  for (auto& t : clients_) t.join();
  for (int fd : client_fds_) close(fd);
  SSL_CTX_free(static_cast<SSL_CTX*>(ctx_));
}

}  // namespace morventa::testing
