#include "filter_driver.h"

#include "line_filter.h"
#include "platform.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace glimmerlode {

namespace {

// The banner and the drivers' shape are the twins of the checker's, in
// checker/driver.cpp: the two programs share no code.
// The banner's lines between its two blank lines, each 49 characters wide.
constexpr std::array<std::string_view, 4> bannerLines = {
    "*************************************************",
    "                    Glimmerlode                  ",
    " Build 1.50 Version 1.23 - Release Date 10/14/13 ",
    "*************************************************",
};
static_assert(std::ranges::all_of(bannerLines, [](auto line) { return line.size() == 49; }));

constexpr int doneCode = 0;
constexpr int usageErrorCode = 1;
constexpr int fileErrorCode = 2;

// "DEBUG" is accepted and changes nothing.
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
    keepRunningWhenConsoleCloses();
    const int code = filterFile(argc, argv);
    // A success that nobody could read is none. The flush at the end also
    // tells of a failed earlier write, which leaves the stream's error set.
    const bool consoleWritten = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    return code == doneCode && !(consoleOpen && consoleWritten) ? fileErrorCode : code;
}

} // namespace glimmerlode
