#pragma once

#include "device_info.h"
#include "platform.h"

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace vantrel {

// An open report, read through a chunk of its own. next is always where a
// line of the report begins (a long line being several lines of 255 bytes).
// Once a read has found the end of the report or failed, ended is set and
// every later read fails at once, until the report is opened again.
struct ReportCursor {
    ReportHandle file = noReport;
    FileIdentity identity{};   // of the file open
    bool crlfLineEnds = false; // CR LF is read as one newline
    bool ended = true;
    bool failed = false; // a read failed with an error, not at the end
    bool atEnd = false;  // the file has nothing more to give
    std::size_t next = 0;
    std::size_t end = 0;  // the chunk holds the report's bytes from next to end,
    std::size_t held = 0; // then a carriage return waiting for its next byte
    std::array<char, (1 << 17) + lineCapacity> chunk;
};

// The white space that a line loses at its end and a value at its start.
inline bool isReportSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether the line read, up to its terminator, holds text anywhere.
bool lineContains(std::span<const char> line, std::string_view text);

// Opens the report at its top. Only a regular file is opened: every pass reads
// the report from the top, which a pipe or a FIFO cannot give again. With
// readBefore, the file must be the one read before, unchanged, or it is
// closed again: changed.
OpenOutcome openReport(ReportCursor& report, const char* path,
                       const FileIdentity* readBefore = nullptr);
void closeReport(ReportCursor& report);

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
