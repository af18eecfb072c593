#include "report_lines.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t pieceLength = lineCapacity - 1;

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

// Moves what is left to the front of the chunk and reads more behind it; false
// when nothing was added, at the end of the file or when the read failed.
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

// Where the line that holds the byte at position begins, or where one would
// begin at position: a long line is cut every 255 bytes from its start.
std::size_t lineStartAt(const ReportCursor& report, std::size_t position) {
    const std::string_view before(report.chunk.data() + report.next, position - report.next);
    const std::size_t newline = before.rfind('\n');
    const std::size_t start =
        newline == std::string_view::npos ? report.next : report.next + newline + 1;
    return start + (position - start) / pieceLength * pieceLength;
}

// Two places of the text whose bytes to look for first: the rarest in report
// text (punctuation before capitals and digits, before small letters, before
// spaces), so that few places of a report pass the test.
struct Probe {
    std::size_t rareAt = 0;
    std::size_t otherAt = 0;
};

int commonness(char c) {
    if (c == ' ') {
        return 3;
    }
    if (c >= 'a' && c <= 'z') {
        return 2;
    }
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? 1 : 0;
}

// The place of the rarest byte of text, the last of equals, other than skip.
std::size_t rarestAt(std::string_view text, std::size_t skip) {
    std::size_t rarest = std::string_view::npos;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at != skip && (rarest == std::string_view::npos ||
                           commonness(text[at]) <= commonness(text[rarest]))) {
            rarest = at;
        }
    }
    return rarest;
}

Probe probeFor(std::string_view text) {
    const std::size_t rareAt = rarestAt(text, std::string_view::npos);
    const std::size_t otherAt = rarestAt(text, rareAt);
    return {rareAt, otherAt == std::string_view::npos ? rareAt : otherAt};
}

constexpr std::size_t blockSize = 32;

unsigned char allOnesIf(bool condition) {
    return static_cast<unsigned char>(-static_cast<int>(condition));
}

// Whether the text may begin somewhere in the block. One branch-free pass over
// byte masks, which the compiler turns into vector instructions.
bool blockMayHold(const char* block, std::string_view text, const Probe& probe) {
    const char rare = text[probe.rareAt];
    const char other = text[probe.otherAt];
    unsigned char may = 0;
    for (std::size_t k = 0; k < blockSize; ++k) {
        may |= allOnesIf(block[k + probe.rareAt] == rare) &
               allOnesIf(block[k + probe.otherAt] == other);
    }
    return may != 0;
}

// Where text first occurs in bytes, or npos.
std::size_t findText(std::string_view bytes, std::string_view text, const Probe& probe) {
    if (text.empty() || text.size() > bytes.size()) {
        return bytes.find(text);
    }
    const std::size_t starts = bytes.size() - text.size() + 1;
    std::size_t at = 0;
    for (; at + blockSize <= starts; at += blockSize) {
        if (blockMayHold(bytes.data() + at, text, probe)) {
            const std::size_t hit = bytes.substr(at, blockSize + text.size() - 1).find(text);
            if (hit != std::string_view::npos) {
                return at + hit;
            }
        }
    }
    const std::size_t hit = bytes.substr(at).find(text);
    return hit == std::string_view::npos ? hit : at + hit;
}

} // namespace

bool lineContains(std::span<const char> line, std::string_view text) {
    return std::string_view(line.data()).find(text) != std::string_view::npos;
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
    const std::size_t room = line.size() - 1;
    std::size_t length = 0;
    for (;;) {
        const char* from = report.chunk.data() + report.next;
        const std::size_t available = report.end - report.next;
        const void* newline = std::memchr(from, '\n', std::min(available, room));
        length = newline ? static_cast<const char*>(newline) - from + 1 : available;
        if (newline != nullptr || available >= room || !refill(report)) {
            length = std::min(length, room);
            break;
        }
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
    const Probe probe = probeFor(text);
    while (!report.ended) {
        const std::string_view window(report.chunk.data() + report.next, report.end - report.next);
        const std::size_t hit = findText(window, text, probe);
        if (hit == std::string_view::npos) {
            // No whole line of the window holds text; its last may go on past it.
            report.next = lineStartAt(report, report.end);
            if (!refill(report)) {
                report.ended = true;
            }
            continue;
        }
        report.next = lineStartAt(report, report.next + hit);
        if (readLine(report, line) == 1 && lineContains(line, text)) {
            return true;
        }
    }
    return false;
}
