#include "line_writer.h"

#include <cstring>

namespace glimmerlode {

void flushOutput(OutputFile& output) {
    if (output.used > 0 && !output.writeFailed &&
        !writeFile(output.file, output.buffer.data(), output.used)) {
        output.writeFailed = true;
    }
    output.used = 0;
}

namespace {

void appendBytes(OutputFile& output, std::string_view bytes) {
    if (bytes.empty()) {
        return; // an empty piece may have no storage at all
    }
    if (output.used + bytes.size() > output.buffer.size()) {
        flushOutput(output);
    }
    // GCOVR_EXCL_START: a run of lines is at most a chunk of the input, which
    // the buffer holds; a longer piece would go straight to the file.
    if (bytes.size() > output.buffer.size()) {
        output.writeFailed =
            output.writeFailed || !writeFile(output.file, bytes.data(), bytes.size());
        return;
    }
    // GCOVR_EXCL_STOP
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
    flushOutput(output);
    // Some file systems tell of a failed write only when the file is closed.
    const bool closed = closeFile(output.file);
    output.file = noFile;
    return closed && !output.writeFailed;
}

} // namespace glimmerlode
