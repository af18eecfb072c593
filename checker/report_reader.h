#pragma once

#include "device_info.h"
#include "platform.h"

#include <span>

namespace vantrel {

inline constexpr const char* totalKey = "Total Vexo Devices Found =";
inline constexpr const char* deviceBlockMarker = "==== Vexo device ====";
inline constexpr const char* siliconIdKey = "Silicon ID      = ";
inline constexpr const char* firmwareKey = "Firmware rev    = ";
inline constexpr const char* deviceNumberPrefix = "Vexo #";

inline constexpr int passDone = 0;
inline constexpr int fileNotOpened = 999;
inline constexpr int fileReadFailed = 998;
inline constexpr int fileChanged = 997;

// What the count pass read: read is false, after the message, when the report
// is not a regular file, cannot be opened or a read fails (the count is then
// not to be used). The bytes it read are held in the passes' record of reads.
struct CountedReport {
    bool read = false;
};

// Number of devices the report lists; 0 without the total key.
int getNumVexo(const char* reportPath, CountedReport& counted);

// Fill silicon ID and firmware revision, then status, of the first count
// records (never more than the table holds). With counted, every byte read
// must be what the passes before read there, and every end met where they
// met it; without, the pass is held to its own reads only. The status pass
// ends by reading the report once more as far as the reads before it went.
// passDone; fileNotOpened, fileReadFailed or fileChanged, after the message,
// when the report could not be read whole, as it was read before.
int getVexoInfo(std::span<DeviceInfo> table, int count, const char* reportPath,
                const CountedReport* counted = nullptr);
int getStatus(std::span<DeviceInfo> table, int count, const char* reportPath,
              const CountedReport* counted = nullptr);

// Leading decimal integer of text in the manner of atoi, saturated to the
// range of int instead of overflowing.
int parseCount(const char* text);

} // namespace vantrel
