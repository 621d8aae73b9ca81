#include "console/tone_generator.h"

#include <cstring>

#include "speech/wave_image.h"

namespace morventa {
namespace {

// Sound queued ahead of the clock, so that a tone held through a long wait
// of the program (which pumps only when the wait ends) does not run dry.
constexpr int64_t kAheadMs = 2000;
constexpr int64_t kImageMs = 1000;

}  // namespace

ToneGenerator::ToneGenerator(OutputFactory make_output) : make_output_(std::move(make_output)) {}

ToneGenerator::~ToneGenerator() { Off(); }

void ToneGenerator::SetOutputFactory(OutputFactory make_output) {
  Off();
  output_.reset();
  make_output_ = std::move(make_output);
}

std::vector<uint8_t> ToneGenerator::SquareWaveImage(int frequency) {
  if (frequency < 1) return {};
  const int samples = kImageRate;
  std::vector<uint8_t> image(kWaveHeaderSize + samples);
  BuildWaveHeader(image.data(), samples);
  uint8_t* pcm = &image[kWaveHeaderSize];
  // Cycle k starts at k * rate / f; its first p / 2 samples are low, the
  // rest up to the next cycle high. A frequency above the rate has cycles of
  // no length and plays the high level.
  const int64_t p = kImageRate / frequency;
  std::memset(pcm, 160, samples);
  for (int64_t k = 0;; ++k) {
    const int64_t start = k * kImageRate / frequency;
    if (start >= samples) break;
    for (int64_t i = start; i < start + p / 2 && i < samples; ++i) pcm[i] = 96;
  }
  pcm[samples - 1] = kSilence;
  return image;
}

void ToneGenerator::On(int frequency) {
  Off();
  std::vector<uint8_t> image = SquareWaveImage(frequency);
  if (image.empty()) return;
  if (!output_) output_ = make_output_();
  if (!output_ || output_->Open(AudioFormat{kImageRate, 8, 1}) != kAudioOk) return;
  image_ = std::move(image);
  started_ = std::chrono::steady_clock::now();
  queued_ms_ = 0;
  Pump();
}

void ToneGenerator::Off() {
  if (image_.empty()) return;
  image_.clear();
  output_->Reset();
  output_->Close();
  output_->TakeFinished();
}

void ToneGenerator::Pump() {
  if (image_.empty()) return;
  output_->TakeFinished();
  const int64_t elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - started_)
                              .count();
  while (queued_ms_ < elapsed + kAheadMs) {
    if (output_->Write(++next_tag_, image_.data() + kWaveHeaderSize, image_.size() - kWaveHeaderSize) !=
        kAudioOk) {
      // The device went away: the tone ends rather than retrying at every pump.
      Off();
      return;
    }
    queued_ms_ += kImageMs;
  }
}

}  // namespace morventa
