#pragma once

#include "platform.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace glimmerlode {

// An output file written through a buffer of its own: a line is written in up
// to two pieces, and one library call per piece would cost more than the
// filtering itself.
struct OutputFile {
    FileHandle file = noFile;
    bool crlfLineEnds = false; // every newline goes out as CR LF
    std::array<char, 1 << 17> buffer{};
    std::size_t used = 0;
    bool writeFailed = false;
};

void writeBytesThroughBuffer(OutputFile& output, std::string_view bytes);

// Writes bytes, each newline as the platform's line end. Called for every
// piece of every line, so the common case is kept inline.
inline void writeBytes(OutputFile& output, std::string_view bytes) {
    if (output.crlfLineEnds || output.used + bytes.size() > output.buffer.size()) {
        writeBytesThroughBuffer(output, bytes);
    } else if (!bytes.empty()) { // an empty piece may have no storage at all
        std::memcpy(output.buffer.data() + output.used, bytes.data(), bytes.size());
        output.used += bytes.size();
    }
}

// Writes out what is buffered.
void flushOutput(OutputFile& output);

// Writes out what is buffered and closes the file; false when any write,
// this one included, failed.
bool closeOutput(OutputFile& output);

} // namespace glimmerlode
