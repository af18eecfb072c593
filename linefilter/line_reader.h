#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <span>

// One read gives at most 255 bytes, stopping after a newline.
inline constexpr std::size_t rawLineCapacity = 256;

// An input file read through a chunk of its own, so that lines are cut out by
// byte count and NUL bytes pass through like any other byte.
struct InputFile {
    std::FILE* file = nullptr;
    std::array<char, 1 << 18> chunk{};
    std::size_t next = 0;
    std::size_t end = 0;
    bool readFailed = false;
};

// Reads at most capacity-1 bytes into buffer, stopping after a newline, which
// stays in the line; nothing is stripped. length is the number of bytes read.
// 1 when a line was read, -1 at the end of the file or when reading failed
// (then readFailed is set).
int readRawLine(InputFile& input, std::span<char> buffer, std::size_t& length);
