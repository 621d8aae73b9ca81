// Writes the diphone voice's unit database: DIFONES2.IND, 15-byte records
// sorted by name in byte order (a name that is a prefix of another first),
// and DIFONES2.DIF, the samples of every unit one after the other.
//
//   record offset 0   name length (0..8)
//                 1   name, 8 bytes, zero-padded
//                 9   sample count, unsigned 16-bit little-endian
//                 11  byte offset in DIFONES2.DIF, signed 32-bit little-endian
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morventa {

constexpr size_t kUnitRecordSize = 15;

struct UnitRecording {
  std::string name;
  std::vector<uint8_t> samples;  // 11025 Hz, 8-bit unsigned
};

// false with a message when a name is longer than 8 bytes, a unit holds more
// samples than a record can count, or a file cannot be written.
bool WriteUnitDatabase(std::vector<UnitRecording> units, const std::string& index_path,
                       const std::string& data_path, std::string* err);

}  // namespace morventa
