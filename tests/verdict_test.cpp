#include "driver.h"
#include "verdict.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vantrel;

namespace {

struct Device {
    const char* siliconId;
    const char* firmwareRev;
    const char* status;
};

DeviceTable tableOf(const std::vector<Device>& devices) {
    DeviceTable table{};
    const auto copy = [](auto& field, const char* text) {
        std::snprintf(field.data(), field.size(), "%s", text);
    };
    for (std::size_t n = 0; n < devices.size(); ++n) {
        copy(table[n].siliconId, devices[n].siliconId);
        copy(table[n].firmwareRev, devices[n].firmwareRev);
        copy(table[n].status, devices[n].status);
    }
    return table;
}

struct VerdictCase {
    const char* name;
    std::vector<Device> devices;
    int count;
    std::string output;
    int code;
};

constexpr const char* success = "No errors. Vexo found and firmware updated.\n";
constexpr const char* upToDate =
    "Vexo Found and Firmware level is up-to-date. No flashing required.\n";
constexpr const char* siliconError =
    "Vexo Silicon ID Error.  VexO found but the silicon ID did not match file.\n";
constexpr const char* updateFailed = "Vexo firmware update error - VEXO found but update failed.\n";
constexpr const char* noneFound = "No Vexos found in the system\n";
constexpr const char* unspecified =
    "Not specified error.  The VEXO update did not complete successfully.\n";

TEST(CheckUpdateStatus, JudgesMatchingDevicesInOrder) {
    using namespace std::string_literals;
    const std::vector<VerdictCase> cases = {
        {"no device matches", {{"FFFF", "1.5", "Firmware update successful"}}, 1, "", 171},
        {"negative count", {{"1A2B", "1.5", "Firmware update successful"}}, -3, "", 171},
        {"failure then success keeps the failure",
         {{"1A2B", "1.5", "VEXO found but update failed"},
          {"1A2B", "1.5", "Firmware update successful"}},
         2,
         "Vexo#0 - "s + updateFailed + "Vexo#1 - " + success,
         2},
        {"the last failing device decides: 171",
         {{"1A2B", "1.5", "No Vexos found"}, {"1A2B", "1.5", "Silicon IDs do not match"}},
         2,
         "Vexo#0 - "s + noneFound + "Vexo#1 - " + siliconError,
         171},
        {"the last failing device decides: 1",
         {{"1A2B", "1.5", "Silicon IDs do not match"}, {"1A2B", "1.5", "No Vexos found"}},
         2,
         "Vexo#0 - "s + siliconError + "Vexo#1 - " + noneFound,
         1},
        {"the first phrase in table order wins",
         {{"1A2B", "1.5", "Silicon IDs do not match; Firmware update successful"}},
         1,
         "Vexo#0 - "s + success,
         0},
        {"of two failures, the first in table order wins",
         {{"1A2B", "1.5", "VEXO found but update failed: Silicon IDs do not match"}},
         1,
         "Vexo#0 - "s + siliconError,
         171},
        {"phrase found anywhere, case-sensitive",
         {{"1A2B", "1.5", "xx Firmware update not required yy"},
          {"1A2B", "1.5", "firmware update successful"}},
         2,
         "Vexo#0 - "s + upToDate + "Vexo#1 - " + unspecified,
         255},
        {"empty status is unspecified", {{"1A2B", "1.5", ""}}, 1, "Vexo#0 - "s + unspecified, 255},
        {"a prefix of the silicon ID does not match",
         {{"1A2B3C4D", "1.5", "Firmware update successful"}},
         1,
         "",
         171},
        {"firmware revision compared whole",
         {{"1A2B", "1.50", "Firmware update successful"}, {"1A2B", "1.5", "No Vexos found"}},
         2,
         "Vexo#1 - "s + noneFound,
         1},
        {"only count devices are looked at",
         {{"1A2B", "1.5", "Firmware update successful"}, {"1A2B", "1.5", "No Vexos found"}},
         1,
         "Vexo#0 - "s + success,
         0},
    };
    debugEnabled = false;
    for (const VerdictCase& c : cases) {
        const DeviceTable table = tableOf(c.devices);
        testing::internal::CaptureStdout();
        const int code = checkUpdateStatus(table, c.count, "1A2B", "1.5");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output) << c.name;
        EXPECT_EQ(code, c.code) << c.name;
    }
}

TEST(CheckUpdateStatus, EmptyExpectedValuesMatchEmptyFields) {
    const DeviceTable table = tableOf({{"", "", "No Vexos found"}});
    testing::internal::CaptureStdout();
    EXPECT_EQ(checkUpdateStatus(table, 1, "", ""), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("Vexo#0 - ") + noneFound);
}

TEST(CheckUpdateStatus, TracesEveryDeviceAndTheResult) {
    const DeviceTable table =
        tableOf({{"AB", "1.5", "Firmware update successful"}, {"CD", "2", "x"}});
    debugEnabled = true;
    testing::internal::CaptureStdout();
    const int code = checkUpdateStatus(table, 2, "AB", "1.5");
    debugEnabled = false;
    EXPECT_EQ(code, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nFunction: checkUpdateStatus\nnumVexo:2.\nFW Rev:1.5.\nSilicon ID:AB.\n\n"
              "Vexo #0 ID:AB\nVexo #0 ID length:2\nVexo #0 FW Rev:1.5\nVexo #0 FW Rev length:3\n"
              "Vexo #0 status length:26\nVexo #0 status:Firmware update successful\n\n"
              "Vexo#0 - No errors. Vexo found and firmware updated.\n"
              "Vexo #1 ID:CD\nVexo #1 ID length:2\nVexo #1 FW Rev:2\nVexo #1 FW Rev length:1\n"
              "Vexo #1 status length:1\nVexo #1 status:x\n\n"
              "Return Code:0.\n VexoMatches 1\n");
}

} // namespace
