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

enum class OpenOutcome { opened, notOpened, notRegular };

// Opens the report for reading in binary mode (the reader translates line ends
// itself, and no byte ends the report early), without waiting for a writer
// should it be a FIFO. Only a regular file stays open. A directory, a path
// that names nothing, or a file whose kind cannot be told is notOpened; any
// other kind of file (a pipe, a FIFO, a device, a socket), whether it opens
// or not, notRegular.
OpenOutcome openReportFile(const char* path, ReportHandle& handle);

// Reads up to size bytes: how many were read, 0 at the end of the file, -1
// when the read failed.
std::ptrdiff_t readReportFile(ReportHandle handle, char* buffer, std::size_t size);

void closeReportFile(ReportHandle handle);

// Whether the platform ends a text line with carriage return and line feed.
bool lineEndsAreCrLf();

// A reader that closes the console's pipe early (head, grep -q) makes a write
// fail, and must not end the program before it can give its exit code.
void keepRunningWhenConsoleCloses();

// Whether standard output was open when the program started. Standard streams
// found closed are opened on the null device, so that no file the program
// opens can take their place and receive its console text.
bool standardOutputIsOpen();

} // namespace vantrel
