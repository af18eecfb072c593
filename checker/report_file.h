#pragma once

// What differs between the platforms the checker runs on, behind one interface:
// report_file_posix.cpp and report_file_windows.cpp. Paths are UTF-8 on Windows.

#include <cstdio>
#include <filesystem>

// The path as the file system's functions take it.
std::filesystem::path filePathOf(const char* path);

// Opened for reading in binary mode: the reader translates line ends itself,
// and no byte of the report ends it early.
std::FILE* openReportFile(const char* path);

// Whether the open file is a regular file (not a device, say).
bool isRegularFile(std::FILE* file);

// Whether the platform ends a text line with carriage return and line feed.
bool lineEndsAreCrLf();
