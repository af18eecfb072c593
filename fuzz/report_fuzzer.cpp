// Whole checker runs on arbitrary reports. Input: a flags byte (bit 0: DEBUG),
// then the expected silicon ID and firmware revision, a line each, then the
// report itself. Every run's exit code and verdict lines must be those of a
// plain restatement of the passes and the verdict (report_model.h).
#include "driver.h"
#include "fuzz_input.h"
#include "report_model.h"
#include "temp_file.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What the checker prints goes here: a stream whose writes append to it.
std::string& console() {
    static std::string printed;
    return printed;
}

// The lines of printed that are verdict lines.
std::vector<std::string> verdictLinesOf(const std::string& printed) {
    std::vector<std::string> lines;
    std::istringstream in(printed);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("Vexo#")) {
            lines.push_back(line);
        }
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    cookie_io_functions_t io{};
    io.write = [](void*, const char* bytes, std::size_t size) -> ssize_t {
        console().append(bytes, size);
        return static_cast<ssize_t>(size);
    };
    stdout = fopencookie(nullptr, "w", io);
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
    console().clear();
    const int code = vantrel::runChecker(static_cast<int>(argv.size()), argv.data());
    const report_model::Outcome expected = report_model::checkReport(data, expectedId, expectedRev);
    if (code != expected.code || verdictLinesOf(console()) != expected.verdictLines) {
        std::fprintf(stderr, "exit code %d, the restatement gives %d; verdict lines:\n%s\n", code,
                     expected.code, console().c_str());
        __builtin_trap();
    }
    return 0;
}
