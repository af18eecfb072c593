#include "verdict.h"

#include "driver.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace vantrel {

namespace {

inline constexpr int codeUnchanged = -1;
inline constexpr int noMatchCode = 171;

struct StatusRule {
    const char* phrase; // nullptr: matches every status
    const char* message;
    int code;
};

// Checked in this order; the first phrase found in the status decides.
constexpr std::array<StatusRule, 6> statusRules{{
    {"Firmware update successful", "No errors. Vexo found and firmware updated.\n", codeUnchanged},
    {"Firmware update not required",
     "Vexo Found and Firmware level is up-to-date. No flashing required.\n", codeUnchanged},
    {"Silicon IDs do not match",
     "Vexo Silicon ID Error.  VexO found but the silicon ID did not match file.\n", 171},
    {"VEXO found but update failed", "Vexo firmware update error - VEXO found but update failed.\n",
     2},
    {"No Vexos found", "No Vexos found in the system\n", 1},
    {nullptr, "Not specified error.  The VEXO update did not complete successfully.\n", 255},
}};

const StatusRule& ruleForStatus(const char* status) {
    for (const StatusRule& rule : statusRules) {
        if (rule.phrase == nullptr || std::strstr(status, rule.phrase) != nullptr) {
            return rule;
        }
    }
    // GCOVR_EXCL_START: the last rule, without a phrase, takes every status
    return statusRules.back();
    // GCOVR_EXCL_STOP
}

void traceDevice(std::size_t n, const DeviceInfo& device) {
    std::printf("Vexo #%zu ID:%s\n", n, device.siliconId.data());
    std::printf("Vexo #%zu ID length:%zu\n", n, std::strlen(device.siliconId.data()));
    std::printf("Vexo #%zu FW Rev:%s\n", n, device.firmwareRev.data());
    std::printf("Vexo #%zu FW Rev length:%zu\n", n, std::strlen(device.firmwareRev.data()));
    std::printf("Vexo #%zu status length:%zu\n", n, std::strlen(device.status.data()));
    std::printf("Vexo #%zu status:%s\n\n", n, device.status.data());
}

bool deviceMatches(const DeviceInfo& device, std::string_view siliconId,
                   std::string_view firmwareRev) {
    return std::string_view(device.siliconId.data()) == siliconId &&
           std::string_view(device.firmwareRev.data()) == firmwareRev;
}

} // namespace

int checkUpdateStatus(std::span<const DeviceInfo> table, int count,
                      std::string_view expectedSiliconId, std::string_view expectedFirmwareRev) {
    int code = 0;
    int matches = 0;
    if (debugEnabled) {
        std::printf("\nFunction: checkUpdateStatus\n");
        std::printf("numVexo:%d.\n", count);
        std::printf("FW Rev:%.*s.\n", static_cast<int>(expectedFirmwareRev.size()),
                    expectedFirmwareRev.data());
        std::printf("Silicon ID:%.*s.\n\n", static_cast<int>(expectedSiliconId.size()),
                    expectedSiliconId.data());
    }
    const std::size_t devices = devicesInTable(table.size(), count);
    for (std::size_t n = 0; n < devices; ++n) {
        const DeviceInfo& device = table[n];
        if (debugEnabled) {
            traceDevice(n, device);
        }
        if (!deviceMatches(device, expectedSiliconId, expectedFirmwareRev)) {
            continue;
        }
        ++matches;
        const StatusRule& rule = ruleForStatus(device.status.data());
        std::printf("Vexo#%zu - %s", n, rule.message);
        if (rule.code != codeUnchanged) {
            code = rule.code;
        }
    }
    if (matches == 0) {
        code = noMatchCode;
    }
    if (debugEnabled) {
        std::printf("Return Code:%d.\n VexoMatches %d\n", code, matches);
    }
    return code;
}

} // namespace vantrel
