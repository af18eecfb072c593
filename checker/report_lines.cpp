#include "report_lines.h"

#include "report_search.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

namespace {

constexpr std::size_t pieceLength = lineCapacity - 1;

// pieceEnd, lineStartAt, joinCrLf and refill are the twins of those in
// linefilter/line_reader.cpp (there readMore): the programs share no code, and
// tests/reader_cases.h runs one table of cases against both readers.

// The one rule that cuts the report into lines: the line that begins at start
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

// The report's bytes in the chunk that no line has been read from yet.
std::string_view unreadBytes(const ReportCursor& report) {
    return {report.chunk.data() + report.next, report.end - report.next};
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

// Moves what is left to the front of the chunk and reads more behind it;
// false when nothing was added, at the end of the file or when the read failed.
bool refill(ReportCursor& report) {
    if (report.atEnd) {
        return false;
    }
    char* const chunk = report.chunk.data();
    const std::size_t kept = report.end + report.held - report.next;
    std::memmove(chunk, chunk + report.next, kept);
    report.end -= report.next;
    report.next = 0;
    const std::ptrdiff_t read =
        readReportFile(report.file, chunk + kept, report.chunk.size() - kept);
    if (read <= 0) {
        report.atEnd = true;
        report.failed = read < 0;
        // A carriage return that ends the file is a byte like any other.
        report.end += report.held;
        const bool grew = report.held > 0 && !report.failed;
        report.held = 0;
        return grew;
    }
    std::size_t fresh = report.held + static_cast<std::size_t>(read);
    if (report.crlfLineEnds) {
        fresh = joinCrLf(chunk + report.end, fresh);
    }
    report.held = report.crlfLineEnds && chunk[report.end + fresh - 1] == '\r' ? 1 : 0;
    report.end += fresh - report.held;
    return true;
}

} // namespace

bool lineContains(std::span<const char> line, std::string_view text) {
    const auto terminator = std::find(line.begin(), line.end(), '\0');
    return std::string_view(line.data(), static_cast<std::size_t>(terminator - line.begin()))
               .find(text) != std::string_view::npos;
}

OpenOutcome openReport(ReportCursor& report, const char* path, const FileIdentity* readBefore) {
    closeReport(report);
    report.failed = false;
    report.atEnd = false;
    report.next = report.end = report.held = 0;
    const OpenOutcome outcome = openReportFile(path, report.file, report.identity);
    if (outcome != OpenOutcome::opened) {
        return outcome;
    }
    if (readBefore != nullptr && report.identity != *readBefore) {
        closeReport(report);
        return OpenOutcome::changed;
    }
    report.crlfLineEnds = lineEndsAreCrLf();
    report.ended = false;
    return OpenOutcome::opened;
}

void closeReport(ReportCursor& report) {
    if (report.file != noReport) {
        closeReportFile(report.file);
    }
    report.file = noReport;
    report.ended = true;
}

int readLine(ReportCursor& report, std::span<char> line) {
    if (report.ended) {
        return -1;
    }
    std::size_t length = pieceEnd(unreadBytes(report), 0);
    while (length == std::string_view::npos) {
        // At the end of the report, what is left is its last line.
        length = refill(report) ? pieceEnd(unreadBytes(report), 0) : report.end - report.next;
    }
    if (report.failed || length == 0) {
        report.ended = true;
        if (report.failed) {
            line[0] = '\0';
        }
        return -1;
    }
    std::memcpy(line.data(), report.chunk.data() + report.next, length);
    report.next += length;
    length =
        static_cast<std::size_t>(std::find(line.data(), line.data() + length, '\0') - line.data());
    while (length > 0 && isReportSpace(line[length - 1])) {
        --length;
    }
    line[length] = '\0';
    return 1;
}

bool readLineHolding(ReportCursor& report, std::span<char> line, std::string_view text) {
    while (!report.ended) {
        const std::string_view bytes = unreadBytes(report);
        const std::size_t hit = findText(bytes, text);
        if (hit == std::string_view::npos) {
            // No whole line of the bytes holds text; the last may go on past them.
            report.next += lineStartAt(bytes, bytes.size());
            if (!refill(report)) {
                report.ended = true;
            }
            continue;
        }
        report.next += lineStartAt(bytes, hit);
        if (readLine(report, line) == 1 && lineContains(line, text)) {
            return true;
        }
    }
    return false;
}

} // namespace vantrel
