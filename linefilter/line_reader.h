#pragma once

#include "platform.h"

#include <array>
#include <cstddef>
#include <string_view>

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

// The bytes read and not yet handled; they begin with a line.
std::string_view unhandledBytes(const InputFile& input);

// The first count unhandled bytes are handled; count ends a line.
void markHandled(InputFile& input, std::size_t count);

// Reads more of the input behind the unhandled bytes, which must hold less
// than a line; false when nothing was added: at the end of the file (atEnd) or
// when reading failed (readFailed as well).
bool readMore(InputFile& input);

// Where the line that begins at start in bytes ends: after its newline, after
// 255 bytes, or, when bytes are the last of the input, at their end. npos when
// it may go on past bytes.
std::size_t lineEnd(std::string_view bytes, std::size_t start, bool last);

// Where the line that holds the byte at position begins, bytes beginning with
// a line; at position itself when a line would begin there.
std::size_t lineStartAt(std::string_view bytes, std::size_t position);
