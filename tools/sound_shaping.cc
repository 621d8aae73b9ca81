#include "tools/sound_shaping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>

namespace morventa {

std::vector<int16_t> TrimSilence(std::span<const int16_t> samples, int threshold,
                                 size_t keep_before, size_t keep_after) {
  auto loud = [threshold](int16_t v) { return std::abs(static_cast<int>(v)) >= threshold; };
  const auto first = std::find_if(samples.begin(), samples.end(), loud);
  if (first == samples.end()) return {};
  const auto last = std::find_if(samples.rbegin(), samples.rend(), loud);
  size_t begin = static_cast<size_t>(first - samples.begin());
  size_t end = samples.size() - static_cast<size_t>(last - samples.rbegin());
  begin -= std::min(begin, keep_before);
  end = std::min(samples.size(), end + keep_after);
  return {samples.begin() + static_cast<long>(begin), samples.begin() + static_cast<long>(end)};
}

std::vector<int16_t> Resample(std::span<const int16_t> samples, int from_rate, int to_rate) {
  if (from_rate == to_rate) return {samples.begin(), samples.end()};
  // Hann-windowed sinc cut off a little below the lower Nyquist frequency,
  // eight zero crossings on each side. The kernel is tabulated at kPhases
  // fractional offsets so that no sine is computed per sample.
  constexpr int kPhases = 256;
  const double fc = 0.45 * std::min(from_rate, to_rate) / from_rate;  // cycles per input sample
  const int half_width = static_cast<int>(std::ceil(8.0 / (2.0 * fc)));
  const int taps = 2 * half_width;
  std::vector<double> kernel(static_cast<size_t>(kPhases) * taps);
  for (int phase = 0; phase < kPhases; ++phase) {
    for (int j = 0; j < taps; ++j) {
      // Distance from the output instant to input sample (centre - half_width + 1 + j).
      const double x = static_cast<double>(phase) / kPhases + half_width - 1 - j;
      const double w = 0.5 + 0.5 * std::cos(std::numbers::pi * x / half_width);
      const double arg = std::numbers::pi * 2.0 * fc * x;
      const double sinc = x == 0.0 ? 1.0 : std::sin(arg) / arg;
      kernel[static_cast<size_t>(phase) * taps + j] = 2.0 * fc * sinc * w;
    }
  }
  const double step = static_cast<double>(from_rate) / to_rate;
  const size_t out_count = static_cast<size_t>(samples.size() / step);
  const long size = static_cast<long>(samples.size());
  std::vector<int16_t> out(out_count);
  for (size_t n = 0; n < out_count; ++n) {
    const double t = n * step;
    const long centre = static_cast<long>(std::floor(t));
    const int phase = std::min(kPhases - 1, static_cast<int>((t - centre) * kPhases + 0.5));
    const double* h = &kernel[static_cast<size_t>(phase) * taps];
    double acc = 0.0;
    for (int j = 0; j < taps; ++j) {
      const long k = centre - half_width + 1 + j;
      if (k >= 0 && k < size) acc += samples[k] * h[j];
    }
    out[n] = static_cast<int16_t>(std::clamp(std::lround(acc), -32768L, 32767L));
  }
  return out;
}

std::vector<uint8_t> ToUnsigned8(std::span<const int16_t> samples, double gain) {
  std::vector<uint8_t> out(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    const long v = std::lround(samples[i] * gain / 256.0) + 128;
    out[i] = static_cast<uint8_t>(std::clamp(v, 0L, 255L));
  }
  return out;
}

void FadeEdges(std::vector<uint8_t>& samples, size_t n) {
  n = std::min(n, samples.size() / 2);
  for (size_t i = 0; i < n; ++i) {
    const double f = static_cast<double>(i) / n;
    auto ramp = [f](uint8_t& s) { s = static_cast<uint8_t>(std::lround(128 + (s - 128) * f)); };
    ramp(samples[i]);
    ramp(samples[samples.size() - 1 - i]);
  }
}

std::vector<uint8_t> TouchTone(double low_hz, double high_hz, double seconds) {
  const size_t count = static_cast<size_t>(seconds * kVoiceRate);
  std::vector<uint8_t> out(count);
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kVoiceRate;
    const double v = 50.0 * std::sin(2 * std::numbers::pi * low_hz * t) +
                     50.0 * std::sin(2 * std::numbers::pi * high_hz * t);
    out[i] = static_cast<uint8_t>(std::lround(128 + v));
  }
  FadeEdges(out, kVoiceRate / 200);  // 5 ms
  return out;
}

std::vector<uint8_t> WaveImage(std::span<const uint8_t> samples) {
  const uint32_t length = static_cast<uint32_t>(samples.size());
  std::vector<uint8_t> image(44 + samples.size());
  size_t at = 0;
  auto text = [&](const char* s) {
    for (int i = 0; i < 4; ++i) image[at++] = static_cast<uint8_t>(s[i]);
  };
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) image[at++] = static_cast<uint8_t>(v >> (8 * i));
  };
  auto u16 = [&](uint16_t v) {
    image[at++] = static_cast<uint8_t>(v);
    image[at++] = static_cast<uint8_t>(v >> 8);
  };
  text("RIFF");
  u32(length + 36);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kVoiceRate);
  u32(kVoiceRate);  // bytes per second
  u16(1);           // block align
  u16(8);           // bits per sample
  text("data");
  u32(length);
  std::copy(samples.begin(), samples.end(), image.begin() + 44);
  return image;
}

bool WriteBytes(const std::string& path, std::span<const uint8_t> bytes, std::string* err) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *err = path + ": cannot write";
    return false;
  }
  return true;
}

}  // namespace morventa
