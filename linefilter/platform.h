#pragma once

// What differs between the platforms the line filter runs on, behind one
// interface: platform_posix.cpp and platform_windows.cpp. Paths are UTF-8 on
// Windows. Every decision about a file is made on the file opened, never on a
// path looked at before: between the two, another file may take its place.

#include <cstddef>
#include <cstdint>

namespace glimmerlode {

// An open file as the platform knows it (a descriptor, a handle).
using FileHandle = std::intptr_t;
inline constexpr FileHandle noFile = -1;

// Both in binary mode: the reader and the writer translate line ends
// themselves, and no byte of the input ends it early. The input is noFile
// when it cannot be opened or is a directory; the output, created when it
// does not exist, is not truncated yet.
FileHandle openInputFile(const char* path);
FileHandle openOutputFile(const char* path);

// Whether two open files are one and the same, under whatever names; unknown
// when the system cannot tell (a query that fails, an identity it lacks),
// which is never taken for different.
enum class Sameness { same, different, unknown };
Sameness sameFile(FileHandle input, FileHandle output);

// Empties the output, as creating it would have, when it is a regular file;
// a FIFO, a device or a terminal is written as it is. false when it cannot.
bool truncateOutputFile(FileHandle output);

// Reads up to size bytes: how many were read, 0 at the end of the input, -1
// when the read failed.
std::ptrdiff_t readFile(FileHandle input, char* buffer, std::size_t size);

// Writes all of the bytes; false when that failed.
bool writeFile(FileHandle output, const char* bytes, std::size_t size);

// false when closing told of an error (a write that failed late).
bool closeFile(FileHandle file);

// Whether the platform ends a text line with carriage return and line feed.
bool lineEndsAreCrLf();

// When the console writes to the output file itself (/dev/stdout redirected
// to a file), moves the console past what was written there, so that a
// message printed now follows the data instead of landing inside it.
void placeConsoleAfter(FileHandle output);

// A reader that closes the console's pipe early (head, grep -q) makes a write
// fail, and must not end the program before it can give its exit code.
void keepRunningWhenConsoleCloses();

// Whether standard output was open when the program started. Standard streams
// found closed are opened on the null device, so that no file the program
// opens can take their place and receive its console text.
bool standardOutputIsOpen();

} // namespace glimmerlode
