#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace vantrel {

// One read of the report gives at most 255 characters.
inline constexpr std::size_t lineCapacity = 256;
inline constexpr std::size_t statusCapacity = 257;
inline constexpr std::size_t deviceCapacity = 20;

// Silicon ID and firmware revision are held as the report's line gives them,
// up to the end of the 255-byte read that holds the key (237 bytes after a key
// at the start of its line); the fields never cut them shorter than that.
struct DeviceInfo {
    std::array<char, lineCapacity> siliconId{};
    std::array<char, lineCapacity> firmwareRev{};
    std::array<char, statusCapacity> status{};
};

using DeviceTable = std::array<DeviceInfo, deviceCapacity>;

// How many records of a table of tableSize a pass or the verdict handles for
// count: none for a count below 1, never more than the table holds.
inline std::size_t devicesInTable(std::size_t tableSize, int count) {
    return count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), tableSize);
}

} // namespace vantrel
