#include "filter_driver.h"

#include "line_filter.h"
#include "platform.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace glimmerlode {

namespace {

constexpr std::string_view frameLine = "*************************************************";
constexpr std::string_view titleLine = "                    Glimmerlode                  ";
constexpr std::string_view versionLine = " Build 1.50 Version 1.23 - Release Date 10/14/13 ";
static_assert(frameLine.size() == 49 && titleLine.size() == 49 && versionLine.size() == 49);

constexpr int doneCode = 0;
constexpr int usageErrorCode = 1;
constexpr int fileErrorCode = 2;

// "DEBUG" is accepted and changes nothing.
bool argumentsAccepted(int argc, const char* const* argv) {
    return argc == 4 || (argc == 5 && std::string_view(argv[4]) == "DEBUG");
}

} // namespace

void printBanner() {
    std::printf("\n%s\n%s\n%s\n%s\n\n", frameLine.data(), titleLine.data(), versionLine.data(),
                frameLine.data());
}

void printUsage() {
    std::printf("\nUSAGE: Glimmerlode <input-file> <output-file> <string> <DEBUG>\n\n");
}

namespace {

// The run itself: banner, command line and the copy.
int filterFile(int argc, const char* const* argv) {
    printBanner();
    if (!argumentsAccepted(argc, argv)) {
        printUsage();
        return usageErrorCode;
    }
    // Held whole, whatever their length.
    const std::string inputPath = argv[1];
    const std::string outputPath = argv[2];
    const std::string search = argv[3];
    // The output may be the console itself (/dev/stdout): the banner must be
    // out before the output is created, or it would land over the data.
    std::fflush(stdout);
    const int result = filterLines(inputPath.c_str(), outputPath.c_str(), search);
    return result == filterDone ? doneCode : fileErrorCode;
}

} // namespace

int runFilter(int argc, const char* const* argv) {
    const bool consoleOpen = standardOutputIsOpen();
    const int code = filterFile(argc, argv);
    // A success that nobody could read is none. The flush at the end also
    // tells of a failed earlier write, which leaves the stream's error set.
    const bool consoleWritten = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    return code == doneCode && !(consoleOpen && consoleWritten) ? fileErrorCode : code;
}

} // namespace glimmerlode
