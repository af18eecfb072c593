// Whole checker runs on arbitrary reports. Input: a flags byte (bit 0: DEBUG),
// then the expected silicon ID and firmware revision, a line each, then the
// report itself.
#include "driver.h"
#include "fuzz_input.h"
#include "temp_file.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    if (data.empty()) {
        return 0;
    }
    const bool debug = (data[0] & 1) != 0;
    data.remove_prefix(1);
    // Arguments cannot hold NUL bytes; they end there as on a command line.
    const std::string expectedId = std::string(takeLine(data));
    const std::string expectedRev = std::string(takeLine(data));
    const std::string report = writeTempFile("report", data);
    std::vector<const char*> argv = {"Vantrel", expectedId.c_str(), expectedRev.c_str(),
                                     report.c_str()};
    if (debug) {
        argv.push_back("DEBUG");
    }
    vantrel::debugEnabled = false;
    const int code = vantrel::runChecker(static_cast<int>(argv.size()), argv.data());
    if (code != 0 && code != 1 && code != 2 && code != 171 && code != 255) {
        __builtin_trap();
    }
    return 0;
}
