#include "speech/wave_image.h"

#include <cstring>

namespace morventa {
namespace {

void PutLe(uint8_t* at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void BuildWaveHeader(uint8_t* image, uint32_t data_length) {
  std::memcpy(image, "RIFF", 4);
  PutLe(image + 4, data_length + 36, 4);
  std::memcpy(image + 8, "WAVEfmt ", 8);
  PutLe(image + 16, 16, 4);
  PutLe(image + 20, 1, 2);           // PCM
  PutLe(image + 22, 1, 2);           // mono
  PutLe(image + 24, kImageRate, 4);
  PutLe(image + 28, kImageRate, 4);  // bytes per second
  PutLe(image + 32, 1, 2);           // block align
  PutLe(image + 34, 8, 2);           // bits
  std::memcpy(image + 36, "data", 4);
  PutLe(image + 40, data_length, 4);
}

}  // namespace morventa
