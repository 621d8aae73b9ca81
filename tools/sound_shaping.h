// Turning recorded speech into the sound format of the program's own
// material: 11025 Hz, 8-bit unsigned, mono, in WAV files with the 44-byte
// canonical header (silence is 128).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace morventa {

constexpr int kVoiceRate = 11025;

// The samples from the first to the last whose magnitude reaches threshold,
// widened by at most keep_before / keep_after samples of what lay outside.
// All-quiet input gives an empty result.
std::vector<int16_t> TrimSilence(std::span<const int16_t> samples, int threshold,
                                 size_t keep_before, size_t keep_after);

// Band-limited resampling (windowed sinc, cut off below the lower Nyquist
// frequency).
std::vector<int16_t> Resample(std::span<const int16_t> samples, int from_rate, int to_rate);

// 16-bit signed to 8-bit unsigned, after multiplying by gain; clipped.
std::vector<uint8_t> ToUnsigned8(std::span<const int16_t> samples, double gain);

// Ramps the first and last n samples from and to silence, so that units and
// words joined end to end do not click.
void FadeEdges(std::vector<uint8_t>& samples, size_t n);

// A touch tone: the sum of two sines, with short ramps, at kVoiceRate.
std::vector<uint8_t> TouchTone(double low_hz, double high_hz, double seconds);

// A WAV image: the 44-byte header (PCM, mono, kVoiceRate, 8 bits) and the
// samples.
std::vector<uint8_t> WaveImage(std::span<const uint8_t> samples);

bool WriteBytes(const std::string& path, std::span<const uint8_t> bytes, std::string* err);

}  // namespace morventa
