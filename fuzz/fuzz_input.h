#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// The first line of the fuzzer's bytes, taken off the front of data.
inline std::string_view takeLine(std::string_view& data) {
    const std::size_t end = data.find('\n');
    const std::string_view line = data.substr(0, end);
    data.remove_prefix(end == std::string_view::npos ? data.size() : end + 1);
    return line;
}

// Everything the programs print goes to the console; the fuzzer needs none of it.
inline void silenceStandardOutput() {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("freopen");
    }
}
