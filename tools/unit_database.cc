#include "tools/unit_database.h"

#include <algorithm>
#include <limits>

#include "tools/sound_shaping.h"
#include "tools/voice_inventory.h"

namespace morventa {

bool WriteUnitDatabase(std::vector<UnitRecording> units, const std::string& index_path,
                       const std::string& data_path, std::string* err) {
  // std::string's order is byte order with a prefix first: the order the
  // synthesizer's bisection expects.
  std::sort(units.begin(), units.end(),
            [](const UnitRecording& a, const UnitRecording& b) { return a.name < b.name; });
  std::vector<uint8_t> index;
  std::vector<uint8_t> data;
  for (const UnitRecording& unit : units) {
    if (unit.name.size() > kUnitNameLimit) {
      *err = "unit name longer than 8 characters: " + unit.name;
      return false;
    }
    if (unit.samples.size() > std::numeric_limits<uint16_t>::max()) {
      *err = "unit too long for its record: " + unit.name;
      return false;
    }
    const uint16_t count = static_cast<uint16_t>(unit.samples.size());
    const uint32_t offset = static_cast<uint32_t>(data.size());
    uint8_t record[kUnitRecordSize] = {};
    record[0] = static_cast<uint8_t>(unit.name.size());
    std::copy(unit.name.begin(), unit.name.end(), record + 1);
    record[9] = static_cast<uint8_t>(count);
    record[10] = static_cast<uint8_t>(count >> 8);
    for (int i = 0; i < 4; ++i) record[11 + i] = static_cast<uint8_t>(offset >> (8 * i));
    index.insert(index.end(), record, record + kUnitRecordSize);
    data.insert(data.end(), unit.samples.begin(), unit.samples.end());
  }
  return WriteBytes(index_path, index, err) && WriteBytes(data_path, data, err);
}

}  // namespace morventa
