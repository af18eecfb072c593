#pragma once

#include "device_info.h"

#include <span>
#include <string_view>

namespace vantrel {

// Verdict line for every device matching the expected silicon ID and firmware
// revision; returns the exit code: 0, 1, 2, 171 or 255.
int checkUpdateStatus(std::span<const DeviceInfo> table, int count,
                      std::string_view expectedSiliconId, std::string_view expectedFirmwareRev);

} // namespace vantrel
