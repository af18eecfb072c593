#pragma once

#include "search.h"

#include <string_view>

inline constexpr int filterDone = 0;
inline constexpr int fileFailed = 999;

// What a line keeps: head then tail, written one after the other. A line
// without the search string (or with an empty one) keeps itself whole as head.
struct KeptPieces {
    std::string_view head;
    std::string_view tail;
};

KeptPieces keptPieces(std::string_view line, const SearchString& search);

// Copies the input file to the output file, rewriting every line that holds
// search. filterDone, or fileFailed when a file could not be opened, created,
// read or written (the message is printed).
int filterLines(const char* inputPath, const char* outputPath, std::string_view search);
