// A stand-in for the web translation service the translator talks to: HTTPS
// on 127.0.0.1 with a certificate for translate.google.com from a test
// authority, answering GET /m?sl=..&tl=..&q=.. with an HTML page whose
// element marked class="result-container" holds the translation (", ', &,
// < and > written as HTML entities). It keeps every request, can hold its
// answers until the test lets them go, and can be told to misbehave.
//
// Its "translation" is easy to predict: a few phrases it knows, otherwise
// the text with its ASCII letters in capitals (accents and signs kept).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/doubles/test_servers.h"

namespace morventa::testing {

class TranslationService {
 public:
  static constexpr const char* kHost = "translate.google.com";

  enum class Fault {
    kNone,
    kErrorPage,  // an error page without the marker, then the connection closes
    kClose,      // the connection closes without an answer
    kSilent,     // nothing is sent and the connection stays open
  };

  struct Request {
    std::string target;             // "/m?sl=..&tl=..&q=.."
    std::vector<std::string> head;  // the header lines
    std::string sl, tl;
    std::string q;     // as sent, percent-encoded
    std::string text;  // q decoded: UTF-8 bytes
  };

  TranslationService();
  ~TranslationService();

  int port() const { return server_->port(); }
  // The test authority's certificate, for SSL_CERT_FILE.
  void WriteAuthority(const std::string& path) const { authority_.WriteCertificate(path); }
  // The Orbela.ini section that sends the program's connections here.
  std::string Ini() const;
  // The same for a port where nothing listens: every connection is refused.
  static std::string RefusingIni();

  static std::string Translate(const std::string& sl, const std::string& tl, const std::string& text);
  // The answer page for a translation, as the service writes it.
  static std::string Page(const std::string& translation);

  void SetFault(Fault fault);
  // Answers the first n requests (counted from the start) and holds the
  // others, recorded, until a later call allows them.
  void AnswerOnly(size_t n);
  void AnswerAll();

  std::vector<Request> requests() const;
  // Waits until n requests have arrived; false after the deadline.
  bool WaitForRequests(size_t n, int timeout_ms = 30000) const;

 private:
  void Serve(ServerPeer& peer);

  TestAuthority authority_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  Fault fault_ = Fault::kNone;
  size_t answerable_ = SIZE_MAX;
  std::vector<Request> requests_;
  std::unique_ptr<TestServer> server_;
};

}  // namespace morventa::testing
