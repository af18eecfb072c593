#pragma once

// What differs between the platforms the checker runs on, behind one interface:
// platform_posix.cpp and platform_windows.cpp. Paths are UTF-8 on Windows.
// Every decision about the report is made on the file opened, never on a path
// looked at before: between the two, another file may take the path's place.

#include <cstddef>
#include <cstdint>

namespace vantrel {

// An open report as the platform knows it (a descriptor, a handle).
using ReportHandle = std::intptr_t;
inline constexpr ReportHandle noReport = -1;

// What tells one file, and one state of it, from another: a file renamed over
// the path, or one written to, has another identity.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    bool operator==(const FileIdentity&) const = default;
};

// changed is the reader's own judgement: the platform never gives it.
enum class OpenOutcome { opened, notOpened, notRegular, changed };

// Opens the report for reading in binary mode (the reader translates line ends
// itself, and no byte ends the report early), without waiting for a writer
// should it be a FIFO. Only a regular file stays open, with its identity; a
// directory is notOpened, any other kind of file notRegular.
OpenOutcome openReportFile(const char* path, ReportHandle& handle, FileIdentity& identity);

// Reads up to size bytes: how many were read, 0 at the end of the file, -1
// when the read failed.
std::ptrdiff_t readReportFile(ReportHandle handle, char* buffer, std::size_t size);

void closeReportFile(ReportHandle handle);

// Whether the platform ends a text line with carriage return and line feed.
bool lineEndsAreCrLf();

// Whether standard output was open when the program started. Standard streams
// found closed are opened on the null device, so that no file the program
// opens can take their place and receive its console text.
bool standardOutputIsOpen();

} // namespace vantrel
