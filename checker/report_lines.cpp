#include "report_lines.h"

#include "report_search.h"

#include <algorithm>
#include <bit>
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

// A hash of bytes, to tell a block read again from the block read before, at
// the speed of the reads: eight lanes of 64-bit add-multiply-rotate rounds,
// written out so that the lanes stay in registers and run side by side. Each
// round is a bijection of its lane for a given word and of the word for a
// given lane, so a change to any one word always changes the hash.
std::uint64_t blockHash(const char* bytes, std::size_t size) {
    constexpr std::uint64_t prime = 0x9E3779B185EBCA87u;
    const auto round = [](std::uint64_t lane, std::uint64_t word) {
        return std::rotl((lane + word) * prime, 31);
    };
    const auto word = [bytes](std::size_t at) {
        std::uint64_t value;
        std::memcpy(&value, bytes + at, sizeof value);
        return value;
    };
    std::array<std::uint64_t, 8> lanes = {1, 2, 3, 4, 5, 6, 7, 8};
    std::size_t at = 0;
    for (; at + 64 <= size; at += 64) {
        lanes[0] = round(lanes[0], word(at));
        lanes[1] = round(lanes[1], word(at + 8));
        lanes[2] = round(lanes[2], word(at + 16));
        lanes[3] = round(lanes[3], word(at + 24));
        lanes[4] = round(lanes[4], word(at + 32));
        lanes[5] = round(lanes[5], word(at + 40));
        lanes[6] = round(lanes[6], word(at + 48));
        lanes[7] = round(lanes[7], word(at + 56));
    }
    std::uint64_t hash = size;
    for (const std::uint64_t lane : lanes) {
        hash = round(hash, lane);
    }
    for (; at < size; ++at) {
        hash = round(hash, static_cast<unsigned char>(bytes[at]));
    }
    return hash;
}

// Whether the whole block at index, with hash, is what earlier reads found
// there; the first read of a block records it. A whole block where a read met
// the end before is a report that has grown.
bool blockAgrees(ReadRecord& record, std::uint64_t index, std::uint64_t hash) {
    if (index < record.blocks.size()) {
        return record.blocks[index] == hash;
    }
    if (index > record.blocks.size() || record.endKnown) {
        return false;
    }
    record.blocks.push_back(hash);
    return true;
}

// Whether the end met at end, after a last block with hash, is where earlier
// reads met it; the first read to meet it records it. An end inside a block
// that was read whole before is a report that has shrunk.
bool endAgrees(ReadRecord& record, std::uint64_t end, std::uint64_t hash) {
    if (record.endKnown) {
        return end == record.end && hash == record.lastBlock;
    }
    if (end / readBlockSize != record.blocks.size()) {
        return false;
    }
    record.endKnown = true;
    record.end = end;
    record.lastBlock = hash;
    return true;
}

// Whether the bytes just read, from offset (where a block begins) on, agree
// with the record: every whole block, and the end when the read met it.
bool readAgrees(ReportCursor& report, const char* bytes, std::size_t size) {
    for (std::size_t at = 0; at < size; at += readBlockSize) {
        const std::size_t length = std::min(readBlockSize, size - at);
        const std::uint64_t hash = blockHash(bytes + at, length);
        const std::uint64_t offset = report.offset + at;
        if (length == readBlockSize ? !blockAgrees(report.record, offset / readBlockSize, hash)
                                    : !endAgrees(report.record, offset + length, hash)) {
            return false;
        }
    }
    return size % readBlockSize != 0 || !report.endMet || report.readError ||
           endAgrees(report.record, report.offset + size, blockHash(bytes, 0));
}

// Reads up to the block boundary that the room leaves, going on after a short
// read until the room is full or the end is met, so that every read of the
// report ends where a block ends, or at the end of the file. How many bytes
// were read, 0 at the end and -1 when a read failed or the bytes differ from
// what earlier reads found (changed); bytes read before the end or an error
// are given first, and the end or the error at the next call.
std::ptrdiff_t readBlocks(ReportCursor& report, char* into, std::size_t room) {
    if (report.endMet) {
        return report.readError ? -1 : 0;
    }
    const std::uint64_t stop = (report.offset + room) / readBlockSize * readBlockSize;
    const std::size_t wanted = static_cast<std::size_t>(stop - report.offset);
    std::size_t got = 0;
    while (got < wanted && !report.endMet) {
        const std::ptrdiff_t read = readReportFile(report.file, into + got, wanted - got);
        report.endMet = read <= 0;
        report.readError = read < 0;
        got += read > 0 ? static_cast<std::size_t>(read) : 0;
    }
    if (!report.readError && !readAgrees(report, into, got)) {
        report.changed = true;
        return -1;
    }
    report.offset += got;
    return got > 0 ? static_cast<std::ptrdiff_t>(got) : report.readError ? -1 : 0;
}

// Moves what is left to the front of the chunk and reads more behind it;
// false when nothing was added, at the end of the file, when the read failed
// or when the report changed.
bool refill(ReportCursor& report) {
    if (report.atEnd) {
        return false;
    }
    char* const chunk = report.chunk.data();
    const std::size_t kept = report.end + report.held - report.next;
    std::memmove(chunk, chunk + report.next, kept);
    report.end -= report.next;
    report.next = 0;
    const std::ptrdiff_t read = readBlocks(report, chunk + kept, report.chunk.size() - kept);
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

OpenOutcome openReport(ReportCursor& report, const char* path, EarlierReads earlier) {
    closeReport(report);
    report.failed = report.changed = report.atEnd = report.endMet = report.readError = false;
    report.offset = report.next = report.end = report.held = 0;
    if (earlier == EarlierReads::forget) {
        report.record = {};
    }
    const OpenOutcome outcome = openReportFile(path, report.file);
    if (outcome != OpenOutcome::opened) {
        return outcome;
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

void rereadAsFarAsBefore(ReportCursor& report) {
    const std::uint64_t reach = report.record.blocks.size() * readBlockSize;
    while (!report.ended && (report.record.endKnown || report.offset < reach)) {
        report.next = report.end;
        report.ended = !refill(report);
    }
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
