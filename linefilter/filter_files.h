#pragma once

// What differs between the platforms the line filter runs on, behind one
// interface: filter_files_posix.cpp and filter_files_windows.cpp. Paths are
// UTF-8 on Windows.

#include <cstdio>
#include <filesystem>

// The path as the file system's functions take it.
std::filesystem::path filePathOf(const char* path);

// Both in binary mode: the reader and the writer translate line ends
// themselves, and no byte of the input ends it early.
std::FILE* openInputFile(const char* path);
std::FILE* createOutputFile(const char* path);

// Whether the platform ends a text line with carriage return and line feed.
bool lineEndsAreCrLf();
