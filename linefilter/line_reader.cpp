#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace {

bool refillChunk(InputFile& input) {
    input.next = 0;
    input.end = std::fread(input.chunk.data(), 1, input.chunk.size(), input.file);
    if (input.end == 0 && std::ferror(input.file)) {
        input.readFailed = true;
    }
    return input.end > 0;
}

} // namespace

int readRawLine(InputFile& input, std::span<char> buffer, std::size_t& length) {
    const std::size_t room = buffer.size() - 1;
    length = 0;
    while (length < room) {
        if (input.next == input.end && !refillChunk(input)) {
            break;
        }
        const char* from = input.chunk.data() + input.next;
        const std::size_t available = std::min(input.end - input.next, room - length);
        const void* newline = std::memchr(from, '\n', available);
        const std::size_t taken =
            newline ? static_cast<const char*>(newline) - from + 1 : available;
        std::memcpy(buffer.data() + length, from, taken);
        input.next += taken;
        length += taken;
        if (newline) {
            break;
        }
    }
    buffer[length] = '\0';
    return length > 0 && !input.readFailed ? 1 : -1;
}
