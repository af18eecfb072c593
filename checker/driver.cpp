#include "driver.h"

#include "platform.h"
#include "report_reader.h"
#include "verdict.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace vantrel {

bool debugEnabled = false;

namespace {

// The banner and the drivers' shape are the twins of the line filter's, in
// linefilter/filter_driver.cpp: the two programs share no code.
// The banner's lines between its two blank lines, each 60 characters wide.
constexpr std::array<std::string_view, 4> bannerLines = {
    "************************************************************",
    " Ormenta 2 Vexo3 Update Utility for use with QOR hardware   ",
    "          Version 1.50 - Release Date 10/22/13              ",
    "************************************************************",
};
static_assert(std::ranges::all_of(bannerLines, [](auto line) { return line.size() == 60; }));

constexpr int usageErrorCode = 1;
constexpr int noDevicesCode = 171;
constexpr int reportErrorCode = 255;

// The trace switch is the only optional argument.
bool argumentsAccepted(int argc, const char* const* argv) {
    return argc == 4 || (argc == 5 && std::string_view(argv[4]) == "DEBUG");
}

} // namespace

void printBanner() {
    std::printf("\n");
    for (const std::string_view line : bannerLines) {
        std::printf("%s\n", line.data());
    }
    std::printf("\n");
}

void printUsage() {
    std::printf("\nUSAGE: Vantrel <siliconId> <firmware rev> <inputFile>\n\n");
}

namespace {

// The run itself: banner, command line, the passes and the verdict.
int checkUpdate(int argc, const char* const* argv) {
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

    CountedReport counted;
    const int count = getNumVexo(reportPath.c_str(), counted);
    if (!counted.read) {
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
    // A pass that could not read the whole report, or read other bytes than
    // the passes before it, ends the run: what it missed could turn a failure
    // into a success, and a verdict must never mix two reports.
    if (getVexoInfo(deviceTable, count, reportPath.c_str(), &counted) != passDone ||
        getStatus(deviceTable, count, reportPath.c_str(), &counted) != passDone) {
        return reportErrorCode;
    }
    return checkUpdateStatus(deviceTable, count, expectedSiliconId, expectedFirmwareRev);
}

} // namespace

int runChecker(int argc, const char* const* argv) {
    const bool consoleOpen = standardOutputIsOpen();
    keepRunningWhenConsoleCloses();
    const int code = checkUpdate(argc, argv);
    // A success that nobody could read is none. The flush at the end also
    // tells of a failed earlier write, which leaves the stream's error set.
    const bool consoleWritten = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    return code == 0 && !(consoleOpen && consoleWritten) ? reportErrorCode : code;
}

} // namespace vantrel
