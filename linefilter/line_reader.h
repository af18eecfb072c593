#pragma once

#include "platform.h"
#include "search.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace glimmerlode {

// One read gives at most 255 bytes, stopping after a newline: a longer line is
// handled as several lines.
inline constexpr std::size_t pieceLength = 255;

// An input file read through a chunk of its own, which holds the input's bytes
// from next to end, then a carriage return waiting for its next byte (held).
// next is always where a line begins. Lines are cut out of the chunk by byte
// count, never copied, and NUL bytes pass through like any other byte.
struct InputFile {
    FileHandle file = noFile;
    bool crlfLineEnds = false; // CR LF is read as one newline
    bool atEnd = false;        // the file has nothing more to give
    bool readFailed = false;
    std::size_t next = 0;
    std::size_t end = 0;
    std::size_t held = 0;
    std::array<char, 1 << 17> chunk;
};

// The next line of the input as it was read, its newline included: at most
// 255 bytes, stopping after a newline. line points into the chunk until the
// next read. 1 when a line was read; -1 at the end of the input or when
// reading failed (readFailed).
int readRawLine(InputFile& input, std::string_view& line);

// The lines from here up to the first in which search occurs, as they were
// read, and no further than the chunk holds: passed over, so that readRawLine
// reads that line next. Empty when the next line is that line, and at the end
// of the input. Reading the lines one by one would find the same lines.
std::string_view linesWithout(InputFile& input, const SearchString& search);

} // namespace glimmerlode
