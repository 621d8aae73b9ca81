// Records speech from espeak-ng's Brazilian Portuguese voice, in-process:
// synchronous synthesis with a callback that collects the samples.
// espeak-ng keeps one global engine, so at most one recorder may be open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morventa {

struct SpeakingStyle {
  int words_per_minute = 175;
  int pitch = 50;   // 0..100
  int range = 50;   // pitch variation, 0 (monotone) .. 100
};

class EspeakRecorder {
 public:
  // Opens the engine with the "pt-br" voice; nullptr and a message when
  // espeak-ng or its data cannot be used.
  static std::unique_ptr<EspeakRecorder> Open(std::string* err);
  ~EspeakRecorder();
  EspeakRecorder(const EspeakRecorder&) = delete;
  EspeakRecorder& operator=(const EspeakRecorder&) = delete;

  int sample_rate() const { return sample_rate_; }

  // 16-bit mono samples at sample_rate() of a UTF-8 text, in which
  // "[[...]]" holds espeak-ng phonemes. Empty when synthesis failed.
  std::vector<int16_t> Record(std::string_view text, const SpeakingStyle& style);

 private:
  explicit EspeakRecorder(int sample_rate) : sample_rate_(sample_rate) {}
  int sample_rate_;
};

}  // namespace morventa
