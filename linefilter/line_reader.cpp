#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace glimmerlode {

namespace {

// pieceEnd, lineStartAt, joinCrLf and readMore are the twins of those in
// checker/report_lines.cpp (there refill): the programs share no code, and
// tests/reader_cases.h runs one table of cases against both readers.

// The one rule that cuts the input into lines: the line that begins at start
// in bytes ends after its newline, or after 255 bytes; npos when the bytes end
// before either, so that the line may go on past them.
std::size_t pieceEnd(std::string_view bytes, std::size_t start) {
    const std::size_t room = std::min(bytes.size() - start, pieceLength);
    const void* newline = std::memchr(bytes.data() + start, '\n', room);
    if (newline != nullptr) {
        return static_cast<std::size_t>(static_cast<const char*>(newline) - bytes.data()) + 1;
    }
    return room == pieceLength ? start + pieceLength : std::string_view::npos;
}

// Where the line that holds the byte at position of bytes begins, bytes
// beginning with a line; at position itself when a line would begin there.
std::size_t lineStartAt(std::string_view bytes, std::size_t position) {
    const std::size_t newline = bytes.substr(0, position).rfind('\n');
    std::size_t start = newline == std::string_view::npos ? 0 : newline + 1;
    for (std::size_t end; (end = pieceEnd(bytes, start)) <= position; start = end) {
    }
    return start;
}

// The bytes read and not yet handled; they begin with a line.
std::string_view unhandledBytes(const InputFile& input) {
    return {input.chunk.data() + input.next, input.end - input.next};
}

// A carriage return followed by a line feed becomes the line feed alone.
std::size_t joinCrLf(char* data, std::size_t size) {
    char* out = static_cast<char*>(std::memchr(data, '\r', size));
    if (out == nullptr) {
        return size;
    }
    const char* const stop = data + size;
    for (const char* in = out; in < stop; ++in) {
        if (!(*in == '\r' && in + 1 < stop && in[1] == '\n')) {
            *out++ = *in;
        }
    }
    return static_cast<std::size_t>(out - data);
}

// Moves what is left to the front of the chunk (less than a line) and reads
// more behind it; false when nothing was added, at the end of the file or when
// reading failed.
bool readMore(InputFile& input) {
    if (input.atEnd) {
        return false;
    }
    char* const chunk = input.chunk.data();
    const std::size_t kept = input.end + input.held - input.next;
    std::memmove(chunk, chunk + input.next, kept);
    input.end -= input.next;
    input.next = 0;
    const std::ptrdiff_t read = readFile(input.file, chunk + kept, input.chunk.size() - kept);
    if (read <= 0) {
        input.atEnd = true;
        input.readFailed = read < 0;
        // A carriage return that ends the file is a byte like any other.
        input.end += input.held;
        const bool grew = input.held > 0 && !input.readFailed;
        input.held = 0;
        return grew;
    }
    std::size_t fresh = input.held + static_cast<std::size_t>(read);
    if (input.crlfLineEnds) {
        fresh = joinCrLf(chunk + input.end, fresh);
    }
    input.held = input.crlfLineEnds && chunk[input.end + fresh - 1] == '\r' ? 1 : 0;
    input.end += fresh - input.held;
    return true;
}

} // namespace

int readRawLine(InputFile& input, std::string_view& line) {
    std::string_view bytes = unhandledBytes(input);
    std::size_t length = pieceEnd(bytes, 0);
    while (length == std::string_view::npos) {
        const bool added = readMore(input);
        if (!added && input.readFailed) {
            return -1;
        }
        bytes = unhandledBytes(input);
        // At the end of the input, what is left is its last line.
        length = added ? pieceEnd(bytes, 0) : bytes.size();
    }
    if (length == 0) {
        return -1;
    }
    line = bytes.substr(0, length);
    input.next += length;
    return 1;
}

std::string_view linesWithout(InputFile& input, const SearchString& search) {
    for (;;) {
        const std::string_view bytes = unhandledBytes(input);
        const std::size_t hit = findString(bytes, search);
        // Where the line that holds the string begins; or, where no whole line
        // does, where the last may go on past the bytes.
        const std::size_t stop = lineStartAt(bytes, std::min(hit, bytes.size()));
        if (stop > 0 || hit != std::string_view::npos || !readMore(input)) {
            input.next += stop;
            return bytes.substr(0, stop);
        }
    }
}

} // namespace glimmerlode
