#pragma once

#include "device_info.h"
#include "platform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vantrel {

// The report is read in blocks of this many bytes from its top, and every
// block read is held to what earlier reads of it found.
inline constexpr std::size_t readBlockSize = 1 << 16;

// What the reads of the report have found since it was first read: a hash of
// every whole block they read, in order from the top, and where a read met
// the end of the report, with a hash of the bytes after the last whole block.
// Every later read must find the same, so that all the passes judge one and
// the same report, whatever its metadata says.
struct ReadRecord {
    std::vector<std::uint64_t> blocks;
    bool endKnown = false;
    std::uint64_t end = 0;
    std::uint64_t lastBlock = 0;
};

// An open report, read through a chunk of its own. next is always where a
// line of the report begins (a long line being several lines of 255 bytes).
// Once a read has found the end of the report or failed, ended is set and
// every later read fails at once, until the report is opened again.
struct ReportCursor {
    ReportHandle file = noReport;
    bool crlfLineEnds = false; // CR LF is read as one newline
    bool ended = true;
    bool failed = false;  // reading stopped short: a read failed, or the report changed
    bool changed = false; // a read found other bytes, or another end, than one before
    bool atEnd = false;   // the file has nothing more to give
    bool endMet = false;  // the last read met the end of the file, or an error (readError)
    bool readError = false;
    std::uint64_t offset = 0; // bytes read from the file since it was opened
    ReadRecord record;
    std::size_t next = 0;
    std::size_t end = 0;  // the chunk holds the report's bytes from next to end,
    std::size_t held = 0; // then a carriage return waiting for its next byte
    std::array<char, (1 << 17) + lineCapacity> chunk;
};
// What a refill leaves of a line, and a carriage return, must leave room for
// a whole block.
static_assert(sizeof(ReportCursor::chunk) - lineCapacity - 1 >= readBlockSize);

// The white space that a line loses at its end and a value at its start.
inline bool isReportSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether the line read, up to its terminator, holds text anywhere.
bool lineContains(std::span<const char> line, std::string_view text);

// Whether the reads of a report opened are held to those made before it was
// opened (an earlier pass, or an earlier device of the status pass), or start
// a record of their own.
enum class EarlierReads { forget, compare };

// Opens the report at its top. Only a regular file is opened: every pass reads
// the report from the top, which a pipe or a FIFO cannot give again.
OpenOutcome openReport(ReportCursor& report, const char* path,
                       EarlierReads earlier = EarlierReads::forget);
void closeReport(ReportCursor& report);

// Reads the open report once more as far as the reads since the record began
// went (to its end, where one met it), comparing as every read does; the
// bytes go unused. Sets changed when they differ.
void rereadAsFarAsBefore(ReportCursor& report);

// Reads at most 255 characters into line, stopping after a newline; a NUL
// ends the line; strips the newline and trailing white space. 1 when a line
// was read; -1 at the end of the report (line is left as it was) or when a
// read fails (line is emptied).
int readLine(ReportCursor& report, std::span<char> line);

// Reads on as readLine does until a line holds text, which is then in line;
// false at the end of the report. Stretches of the report where text does not
// occur are passed over without being cut into lines.
bool readLineHolding(ReportCursor& report, std::span<char> line, std::string_view text);

} // namespace vantrel
