#include "line_writer.h"

#include <cstring>

namespace {

void flushBuffer(OutputFile& output) {
    if (output.used > 0 && !output.writeFailed &&
        std::fwrite(output.buffer.data(), 1, output.used, output.file) != output.used) {
        output.writeFailed = true;
    }
    output.used = 0;
}

void appendBytes(OutputFile& output, std::string_view bytes) {
    if (bytes.empty()) {
        return; // an empty piece may have no storage at all
    }
    if (output.used + bytes.size() > output.buffer.size()) {
        flushBuffer(output);
    }
    if (bytes.size() > output.buffer.size()) {
        output.writeFailed = output.writeFailed || std::fwrite(bytes.data(), 1, bytes.size(),
                                                               output.file) != bytes.size();
        return;
    }
    std::memcpy(output.buffer.data() + output.used, bytes.data(), bytes.size());
    output.used += bytes.size();
}

} // namespace

void writeBytesThroughBuffer(OutputFile& output, std::string_view bytes) {
    if (!output.crlfLineEnds) {
        appendBytes(output, bytes);
        return;
    }
    for (std::size_t newline = bytes.find('\n'); newline != std::string_view::npos;
         newline = bytes.find('\n')) {
        appendBytes(output, bytes.substr(0, newline));
        appendBytes(output, "\r\n");
        bytes.remove_prefix(newline + 1);
    }
    appendBytes(output, bytes);
}

bool closeOutput(OutputFile& output) {
    flushBuffer(output);
    // Closing flushes the library's own buffer: a full disk may show only here.
    const bool closed = std::fclose(output.file) == 0;
    output.file = nullptr;
    return closed && !output.writeFailed;
}
