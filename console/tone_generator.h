// A square-wave tone that loops beside the speech until it is switched off:
// the signals of a Braille display's mode changes. It has its own sound
// output, so a tone never waits for, or cuts, what the voice is saying.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/audio/audio_output.h"

namespace morventa {

class ToneGenerator {
 public:
  using OutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

  // The output is made at the first tone, not before: most runs never sound
  // one.
  explicit ToneGenerator(OutputFactory make_output);
  ~ToneGenerator();
  ToneGenerator(const ToneGenerator&) = delete;
  ToneGenerator& operator=(const ToneGenerator&) = delete;

  // Another output for the tones to come; a tone playing stops.
  void SetOutputFactory(OutputFactory make_output);

  // Starts the tone, replacing any tone playing. A frequency below 1 Hz has
  // no cycle to play and switches the tone off.
  void On(int frequency);
  void Off();
  bool playing() const { return !image_.empty(); }
  // Keeps the loop fed; the console calls it whenever it pumps.
  void Pump();

  // About one second of the tone as a RIFF/WAVE image, 8-bit mono at 11,025
  // samples per second: each cycle low (96) for its first half and high (160)
  // for the rest, the last sample at rest (128).
  static std::vector<uint8_t> SquareWaveImage(int frequency);

 private:
  OutputFactory make_output_;
  std::unique_ptr<AudioOutput> output_;
  std::vector<uint8_t> image_;
  std::chrono::steady_clock::time_point started_;
  int64_t queued_ms_ = 0;
  uint32_t next_tag_ = 0;
};

}  // namespace morventa
