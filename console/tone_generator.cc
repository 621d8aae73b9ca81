#include "console/tone_generator.h"

#include <cstring>

namespace morventa {
namespace {

// Sound queued ahead of the clock, so that a tone held through a long wait
// of the program (which pumps only when the wait ends) does not run dry.
constexpr int64_t kAheadMs = 2000;
constexpr int64_t kImageMs = 1000;

void PutLe(std::vector<uint8_t>& image, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) image[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

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
  const int samples = kRate;
  std::vector<uint8_t> image(kHeaderBytes + samples);
  std::memcpy(&image[0], "RIFF", 4);
  PutLe(image, 4, static_cast<uint32_t>(image.size() - 8), 4);
  std::memcpy(&image[8], "WAVEfmt ", 8);
  PutLe(image, 16, 16, 4);      // format chunk size
  PutLe(image, 20, 1, 2);       // PCM
  PutLe(image, 22, 1, 2);       // mono
  PutLe(image, 24, kRate, 4);   // samples per second
  PutLe(image, 28, kRate, 4);   // bytes per second
  PutLe(image, 32, 1, 2);       // block align
  PutLe(image, 34, 8, 2);       // bits per sample
  std::memcpy(&image[36], "data", 4);
  PutLe(image, 40, samples, 4);
  uint8_t* pcm = &image[kHeaderBytes];
  // Cycle k starts at k * rate / f; its first p / 2 samples are low, the
  // rest up to the next cycle high. A frequency above the rate has cycles of
  // no length and plays the high level.
  const int64_t p = kRate / frequency;
  std::memset(pcm, 160, samples);
  for (int64_t k = 0;; ++k) {
    const int64_t start = k * kRate / frequency;
    if (start >= samples) break;
    for (int64_t i = start; i < start + p / 2 && i < samples; ++i) pcm[i] = 96;
  }
  pcm[samples - 1] = 128;
  return image;
}

void ToneGenerator::On(int frequency) {
  Off();
  std::vector<uint8_t> image = SquareWaveImage(frequency);
  if (image.empty()) return;
  if (!output_) output_ = make_output_();
  if (!output_ || output_->Open(AudioFormat{kRate, 8, 1}) != kAudioOk) return;
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
    if (output_->Write(++next_tag_, image_.data() + kHeaderBytes, image_.size() - kHeaderBytes) !=
        kAudioOk) {
      // The device went away: the tone ends rather than retrying at every pump.
      Off();
      return;
    }
    queued_ms_ += kImageMs;
  }
}

}  // namespace morventa
