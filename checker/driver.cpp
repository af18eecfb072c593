#include "driver.h"

#include "report_reader.h"
#include "verdict.h"

#include <cstdio>
#include <string>
#include <string_view>

bool debugEnabled = false;

namespace {

constexpr std::string_view frameLine =
    "************************************************************";
constexpr std::string_view titleLine =
    " Ormenta 2 Vexo3 Update Utility for use with QOR hardware   ";
constexpr std::string_view versionLine =
    "          Version 1.50 - Release Date 10/22/13              ";
static_assert(frameLine.size() == 60 && titleLine.size() == 60 && versionLine.size() == 60);

constexpr int usageErrorCode = 1;
constexpr int noDevicesCode = 171;
constexpr int reportErrorCode = 255;

// The trace switch is the only optional argument.
bool argumentsAccepted(int argc, const char* const* argv) {
    return argc == 4 || (argc == 5 && std::string_view(argv[4]) == "DEBUG");
}

} // namespace

void printBanner() {
    std::printf("\n%s\n%s\n%s\n%s\n\n", frameLine.data(), titleLine.data(), versionLine.data(),
                frameLine.data());
}

void printUsage() {
    std::printf("\nUSAGE: Vantrel <siliconId> <firmware rev> <inputFile>\n\n");
}

int runChecker(int argc, const char* const* argv) {
    printBanner();
    if (!argumentsAccepted(argc, argv)) {
        printUsage();
        return usageErrorCode;
    }
    if (argc == 5) {
        debugEnabled = true;
    }
    // Held whole, whatever their length, and compared whole.
    const std::string expectedSiliconId = argv[1];
    const std::string expectedFirmwareRev = argv[2];
    const std::string reportPath = argv[3];

    bool reportRead = false;
    const int count = getNumVexo(reportPath.c_str(), reportRead);
    if (!reportRead) {
        return reportErrorCode;
    }
    if (count == 0) {
        return noDevicesCode;
    }
    if (count > static_cast<int>(deviceCapacity)) {
        std::printf("ERROR: Vexo info file lists %d devices... at most %zu are supported!\n\n",
                    count, deviceCapacity);
        return reportErrorCode;
    }
    DeviceTable deviceTable;
    // A pass that could not read the whole report ends the run: the devices it
    // missed could turn a failure into a success.
    if (getVexoInfo(deviceTable, count, reportPath.c_str()) != passDone ||
        getStatus(deviceTable, count, reportPath.c_str()) != passDone) {
        return reportErrorCode;
    }
    return checkUpdateStatus(deviceTable, count, expectedSiliconId, expectedFirmwareRev);
}
