#pragma once

#include "report_lines.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <span>

inline constexpr std::size_t statusCapacity = 257;
inline constexpr std::size_t deviceCapacity = 20;

inline constexpr const char* totalKey = "Total Vexo Devices Found =";
inline constexpr const char* deviceBlockMarker = "==== Vexo device ====";
inline constexpr const char* siliconIdKey = "Silicon ID      = ";
inline constexpr const char* firmwareKey = "Firmware rev    = ";
inline constexpr const char* deviceNumberPrefix = "Vexo #";

inline constexpr int passDone = 0;
inline constexpr int fileNotOpened = 999;
inline constexpr int fileReadFailed = 998;
inline constexpr int fileChanged = 997;

// Silicon ID and firmware revision are held as the report's line gives them,
// up to the end of the 255-byte read that holds the key (237 bytes after a key
// at the start of its line); the fields never cut them shorter than that.
struct DeviceInfo {
    std::array<char, lineCapacity> siliconId{};
    std::array<char, lineCapacity> firmwareRev{};
    std::array<char, statusCapacity> status{};
};

using DeviceTable = std::array<DeviceInfo, deviceCapacity>;

// What the count pass read: read is false, after the message, when the report
// is not a regular file, cannot be opened or a read fails (the count is then
// not to be used); file is the report it read.
struct CountedReport {
    bool read = false;
    FileIdentity file{};
};

// Number of devices the report lists; 0 without the total key.
int getNumVexo(const char* reportPath, CountedReport& counted);

// Fill silicon ID and firmware revision, then status, of the first count
// records (never more than the table holds). With counted, every file opened
// must be the one the count pass read, unchanged. passDone; fileNotOpened,
// fileReadFailed or fileChanged, after the message, when the report could not
// be read whole, as it was counted.
int getVexoInfo(std::span<DeviceInfo> table, int count, const char* reportPath,
                const FileIdentity* counted = nullptr);
int getStatus(std::span<DeviceInfo> table, int count, const char* reportPath,
              const FileIdentity* counted = nullptr);

// How many records of a table of tableSize a pass or the verdict handles for
// count: none for a count below 1, never more than the table holds.
inline std::size_t devicesInTable(std::size_t tableSize, int count) {
    return count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), tableSize);
}

// Leading decimal integer of text in the manner of atoi, saturated to the
// range of int instead of overflowing.
int parseCount(const char* text);
