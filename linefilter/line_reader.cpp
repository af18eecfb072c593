#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace {

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

} // namespace

std::string_view unhandledBytes(const InputFile& input) {
    return {input.chunk.data() + input.next, input.end - input.next};
}

void markHandled(InputFile& input, std::size_t count) {
    input.next += count;
}

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

std::size_t lineEnd(std::string_view bytes, std::size_t start, bool last) {
    const std::size_t available = bytes.size() - start;
    const void* newline = std::memchr(bytes.data() + start, '\n', std::min(available, pieceLength));
    if (newline != nullptr) {
        return static_cast<std::size_t>(static_cast<const char*>(newline) - bytes.data()) + 1;
    }
    if (available >= pieceLength) {
        return start + pieceLength;
    }
    return last ? bytes.size() : std::string_view::npos;
}

std::size_t lineStartAt(std::string_view bytes, std::size_t position) {
    const std::string_view before = bytes.substr(0, position);
    // Mostly there is no newline before position: a forward search says so fastest.
    const std::size_t newline =
        before.find('\n') == std::string_view::npos ? before.npos : before.rfind('\n');
    const std::size_t start = newline == std::string_view::npos ? 0 : newline + 1;
    return start + (position - start) / pieceLength * pieceLength;
}
