#pragma once

#include "search.h"

#include <string_view>

namespace glimmerlode {

inline constexpr int filterDone = 0;
inline constexpr int fileFailed = 999;

// What a line keeps of itself: head then tail, written one after the other. A
// line without the search string keeps itself whole as head; so does every
// line when the string is empty.
struct KeptPieces {
    std::string_view head;
    std::string_view tail;
};

KeptPieces keptPieces(std::string_view line, const SearchString& search);

// Copies the input file to the output file, rewriting every line that holds
// search. filterDone, or fileFailed (after the message) when the input could
// not be opened, the output names the input (then nothing is touched), or the
// output could not be created or written, or the input read.
int filterLines(const char* inputPath, const char* outputPath, std::string_view search);

} // namespace glimmerlode
