#include "tests/doubles/translation_service.h"

#include <chrono>
#include <cstdint>
#include <map>

namespace morventa::testing {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else if (s[i] == '+') {
      out += ' ';
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string HtmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Response(const std::string& status, const std::string& body, bool keep_alive) {
  return "HTTP/1.1 " + status + "\r\nContent-Type: text/html; charset=UTF-8\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\nConnection: " + (keep_alive ? "keep-alive" : "close") +
         "\r\n\r\n" + body;
}

}  // namespace

TranslationService::TranslationService() {
  server_ = std::make_unique<TestServer>([this](ServerPeer& peer) { Serve(peer); },
                                         authority_.Issue({kHost}));
}

// The server's handlers use this object: they end before it goes.
TranslationService::~TranslationService() {
  AnswerAll();
  server_.reset();
}

std::string TranslationService::Ini() const {
  return "[ORBELA]\nCONECTA_EM=" + std::string(kHost) + ":443:127.0.0.1:" + std::to_string(port()) + "\n";
}

std::string TranslationService::RefusingIni() {
  return "[ORBELA]\nCONECTA_EM=" + std::string(kHost) + ":443:127.0.0.1:" + std::to_string(UnusedPort()) + "\n";
}

std::string TranslationService::Translate(const std::string& sl, const std::string& tl, const std::string& text) {
  static const std::map<std::string, std::string> kKnown = {
      {"en|pt|good morning", "bom dia"},
      {"pt|en|bom dia", "good morning"},
  };
  if (const auto it = kKnown.find(sl + "|" + tl + "|" + text); it != kKnown.end()) return it->second;
  std::string out = text;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string TranslationService::Page(const std::string& translation) {
  // The page's own lines, with the marked element in the middle of one.
  return "<!DOCTYPE html>\r\n"
         "<html lang=\"pt-BR\"><head><meta charset=\"UTF-8\"><title>Tradutor</title>\r\n"
         "<style>.result-container{font-size:1.2em}</style></head>\r\n"
         "<body><div class=\"frame\"><div class=\"header\">Tradutor</div>\r\n"
         "<div class=\"translate\"><div class=\"result-container\">" +
         HtmlEscape(translation) +
         "</div></div>\r\n"
         "<div class=\"footer\">Termos</div></div></body></html>\r\n";
}

void TranslationService::SetFault(Fault fault) {
  std::lock_guard lock(mutex_);
  fault_ = fault;
}

void TranslationService::AnswerOnly(size_t n) {
  std::lock_guard lock(mutex_);
  answerable_ = n;
  changed_.notify_all();
}

void TranslationService::AnswerAll() { AnswerOnly(SIZE_MAX); }

std::vector<TranslationService::Request> TranslationService::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool TranslationService::WaitForRequests(size_t n, int timeout_ms) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return requests_.size() >= n; });
}

void TranslationService::Serve(ServerPeer& peer) {
  std::vector<std::string> head = peer.ReadHead();
  if (head.empty()) return;
  Request r;
  // "GET /m?... HTTP/1.1"
  const std::string& line = head.front();
  const size_t from = line.find(' ') + 1;
  r.target = line.substr(from, line.rfind(' ') - from);
  r.head.assign(head.begin() + 1, head.end());
  if (const size_t query = r.target.find('?'); query != std::string::npos) {
    const std::string params = r.target.substr(query + 1);
    size_t at = 0;
    while (at <= params.size()) {
      size_t end = params.find('&', at);
      if (end == std::string::npos) end = params.size();
      const std::string pair = params.substr(at, end - at);
      const size_t eq = pair.find('=');
      const std::string key = pair.substr(0, eq);
      const std::string value = eq == std::string::npos ? "" : pair.substr(eq + 1);
      if (key == "sl") r.sl = value;
      if (key == "tl") r.tl = value;
      if (key == "q") r.q = value;
      at = end + 1;
    }
  }
  r.text = PercentDecode(r.q);
  Fault fault;
  {
    std::unique_lock lock(mutex_);
    const size_t index = requests_.size();
    requests_.push_back(r);
    changed_.notify_all();
    changed_.wait(lock, [&] { return index < answerable_; });
    fault = fault_;
  }
  switch (fault) {
    case Fault::kNone:
      peer.Send(Response("200 OK", Page(Translate(r.sl, r.tl, r.text)), true));
      // Kept alive, as asked: the client closes when it has its line.
      peer.WaitForClose();
      break;
    case Fault::kErrorPage:
      peer.Send(Response("500 Internal Server Error",
                         "<!DOCTYPE html>\r\n<html><body><p>Erro no servidor.</p></body></html>\r\n", false));
      peer.Close();
      break;
    case Fault::kClose:
      peer.Close();
      break;
    case Fault::kSilent:
      peer.WaitForClose();
      break;
  }
}

}  // namespace morventa::testing
