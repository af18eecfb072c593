#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

// An output file written through a buffer of its own: a line is written in up
// to two pieces, and one library call per piece would cost more than the
// filtering itself.
struct OutputFile {
    std::FILE* file = nullptr;
    std::array<char, 1 << 18> buffer{};
    std::size_t used = 0;
    bool writeFailed = false;
};

void writeBytes(OutputFile& output, std::string_view bytes);

// Writes out what is buffered and closes the file; false when any write,
// this one included, failed.
bool closeOutput(OutputFile& output);
