// Conversion commands: ANSIPARAUTF8, UTF8PARAANSI, CODBASE64, DECODBASE64,
// ADQUOTED, REMOVEQUOTED, CODARQBASE64 and DECODARQBASE64.
#include "system/encodings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/variables.h"
#include "system/file_descriptor.h"
#include "system/host_paths.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr std::array<int, 256> kBase64Values = [] {
  std::array<int, 256> values{};
  for (int& v : values) v = -1;
  for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = i;
  return values;
}();

// Encodes groups of three bytes as they arrive; Finish adds the last partial
// group and its padding.
class Base64Encoder {
 public:
  template <typename Emit>
  void Feed(unsigned char byte, Emit&& emit) {
    group_[size_++] = byte;
    if (size_ < 3) return;
    emit(kAlphabet[group_[0] >> 2]);
    emit(kAlphabet[((group_[0] & 3) << 4) | (group_[1] >> 4)]);
    emit(kAlphabet[((group_[1] & 15) << 2) | (group_[2] >> 6)]);
    emit(kAlphabet[group_[2] & 63]);
    size_ = 0;
  }
  template <typename Emit>
  void Finish(Emit&& emit) {
    if (size_ == 0) return;
    emit(kAlphabet[group_[0] >> 2]);
    if (size_ == 1) {
      emit(kAlphabet[(group_[0] & 3) << 4]);
    } else {
      emit(kAlphabet[((group_[0] & 3) << 4) | (group_[1] >> 4)]);
      emit(kAlphabet[(group_[1] & 15) << 2]);
    }
    size_ = 0;
  }

 private:
  unsigned char group_[3] = {};
  int size_ = 0;
};

// The four-step decoding cycle, fed one character at a time.
class Base64Decoder {
 public:
  // False once an "=" has been read: nothing after it counts.
  template <typename Emit>
  bool Feed(unsigned char c, Emit&& emit) {
    if (c == '=') return false;
    const int value = kBase64Values[c];
    if (value < 0) return true;
    switch (step_) {
      case 0: kept_ = static_cast<unsigned char>(value << 2); break;
      case 1:
        emit(static_cast<char>(kept_ | (value >> 4)));
        kept_ = static_cast<unsigned char>(value << 4);
        break;
      case 2:
        emit(static_cast<char>(kept_ | (value >> 2)));
        kept_ = static_cast<unsigned char>(value << 6);
        break;
      case 3: emit(static_cast<char>(kept_ | value)); break;
    }
    step_ = (step_ + 1) % 4;
    return true;
  }

 private:
  int step_ = 0;
  unsigned char kept_ = 0;
};

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The source (a file, never a directory) and the destination, created or
// truncated; a destination that is the source itself would be lost before it
// was read, and is refused.
bool OpenPair(const std::string& source, const std::string& destination, FileDescriptor& in,
              FileDescriptor& out) {
  in = FileDescriptor(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat in_st, out_st;
  if (!in.ok() || fstat(in.get(), &in_st) != 0 || S_ISDIR(in_st.st_mode)) return false;
  if (stat(destination.c_str(), &out_st) == 0 && out_st.st_dev == in_st.st_dev &&
      out_st.st_ino == in_st.st_ino) {
    return false;
  }
  out = FileDescriptor(::open(destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  return out.ok();
}

}  // namespace

std::string Utf8PairsToAnsi(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if ((lead & 0xE0) != 0xC0) {
      out += static_cast<char>(lead);
      continue;
    }
    // The byte after the lead is taken whatever it is; past the end it is
    // the blank the conversion appends as a sentinel.
    const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[++i]) : ' ';
    out += static_cast<char>(((lead & 3) << 6) | (next & 63));
  }
  return out;
}

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  const auto emit = [&](char c) { out += c; };
  Base64Encoder encoder;
  for (const char c : bytes) encoder.Feed(static_cast<unsigned char>(c), emit);
  encoder.Finish(emit);
  while (out.size() % 4 != 0) out += '=';
  return out;
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  const auto emit = [&](char c) { out += c; };
  Base64Decoder decoder;
  for (const char c : text) {
    if (!decoder.Feed(static_cast<unsigned char>(c), emit)) break;
  }
  return out;
}

std::string QuotedPrintableEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 32 || b == '=' || b >= 127) {
      out += '=';
      out += kHexDigits[b >> 4];
      out += kHexDigits[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string QuotedPrintableDecode(std::string_view text) {
  if (!text.empty() && text.back() == '=') text.remove_suffix(1);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size()) {
      const int high = HexValue(static_cast<unsigned char>(text[i + 1]));
      const int low = HexValue(static_cast<unsigned char>(text[i + 2]));
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

bool EncodeFileBase64(const std::string& source, const std::string& destination) {
  FileDescriptor in, out;
  if (!OpenPair(source, destination, in, out)) return false;
  constexpr size_t kLine = 64;
  std::string pending;  // whole lines not yet written, and the line being made
  std::string line;
  const auto emit = [&](char c) {
    line += c;
    if (line.size() == kLine) {
      pending += line;
      pending += "\r\n";
      line.clear();
    }
  };
  Base64Encoder encoder;
  char block[1024];
  bool writing = true;
  for (;;) {
    // A read error ends the text as if the file ended there.
    const ssize_t n = ReadSome(in.get(), block, sizeof block);
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) encoder.Feed(static_cast<unsigned char>(block[i]), emit);
    if (pending.size() >= 16 * 1024) {
      writing = writing && WriteAll(out.get(), pending);
      pending.clear();
    }
  }
  encoder.Finish(emit);
  while (line.size() % 4 != 0) line += '=';
  if (!line.empty()) pending += line + "\r\n";
  writing = writing && WriteAll(out.get(), pending);
  return writing;
}

bool DecodeFileBase64(const std::string& source, const std::string& destination) {
  FileDescriptor in, out;
  if (!OpenPair(source, destination, in, out)) return false;
  std::string decoded;
  bool writing = true;
  const auto emit = [&](char c) {
    decoded += c;
    if (decoded.size() == 1024) {
      writing = writing && WriteAll(out.get(), decoded);
      decoded.clear();
    }
  };
  Base64Decoder decoder;
  char block[1024];
  bool more = true;
  while (more && writing) {
    const ssize_t n = ReadSome(in.get(), block, sizeof block);
    if (n < 0) return false;
    if (n == 0) break;
    for (ssize_t i = 0; i < n && more; ++i) more = decoder.Feed(static_cast<unsigned char>(block[i]), emit);
  }
  return writing && WriteAll(out.get(), decoded);
}

std::string PercentEncode(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const unsigned char c : bytes) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Commands

bool ConvertInPlace(Runtime& rt, std::string_view args, std::string (*convert)(std::string_view)) {
  std::string_view value_args = args;
  std::string value;
  if (!EvaluateValue(rt, value_args, value)) return false;
  const auto slot = TakeVariable(rt, args);
  if (!slot) return false;
  rt.interp.variables.Slot(*slot) = convert(value);
  return true;
}

namespace {

std::string AnsiToUtf8Text(std::string_view text) { return AnsiToUtf8(text); }

bool ConvertFile(Runtime& rt, std::string_view args,
                 bool (*convert)(const std::string&, const std::string&)) {
  std::string source, destination;
  if (!EvaluateValue(rt, args, source) || !EvaluateValue(rt, args, destination)) return false;
  return convert(HostPath(source), HostPath(destination));
}

}  // namespace

bool AnsiparaUtf8Command(Runtime& rt, std::string_view args) {
  return ConvertInPlace(rt, args, AnsiToUtf8Text);
}
bool Utf8paraAnsiCommand(Runtime& rt, std::string_view args) {
  return ConvertInPlace(rt, args, Utf8PairsToAnsi);
}
bool Codbase64Command(Runtime& rt, std::string_view args) {
  return ConvertInPlace(rt, args, Base64Encode);
}
bool Decodbase64Command(Runtime& rt, std::string_view args) {
  return ConvertInPlace(rt, args, Base64Decode);
}
bool AdquotedCommand(Runtime& rt, std::string_view args) {
  return ConvertInPlace(rt, args, QuotedPrintableEncode);
}
bool RemovequotedCommand(Runtime& rt, std::string_view args) {
  return ConvertInPlace(rt, args, QuotedPrintableDecode);
}
bool Codarqbase64Command(Runtime& rt, std::string_view args) {
  return ConvertFile(rt, args, EncodeFileBase64);
}
bool Decodarqbase64Command(Runtime& rt, std::string_view args) {
  return ConvertFile(rt, args, DecodeFileBase64);
}

}  // namespace morventa
