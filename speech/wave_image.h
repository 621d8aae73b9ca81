// The program's own in-memory sounds: a 44-byte canonical RIFF header, then
// 11025 Hz 8-bit unsigned mono samples (silence is 128).
#pragma once

#include <cstddef>
#include <cstdint>

namespace morventa {

constexpr size_t kWaveHeaderSize = 44;
constexpr int kImageRate = 11025;
constexpr uint8_t kSilence = 128;

// Writes the header of an image holding data_length sample bytes.
void BuildWaveHeader(uint8_t* image, uint32_t data_length);

}  // namespace morventa
