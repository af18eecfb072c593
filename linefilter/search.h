#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace glimmerlode {

// The search string, prepared once for all lines: the set of its bytes, and
// its critical factorization for the two-way search (text split at
// critical, the right part having the period period).
struct SearchString {
    std::string_view text;
    std::array<bool, 256> holds{};
    std::size_t critical = 0;
    std::size_t period = 1;
    bool periodic = false; // the left part repeats at period: the search remembers a match
};

SearchString prepareSearch(std::string_view text);

std::size_t findLongerString(std::string_view bytes, const SearchString& search);

// Where the search string first occurs in bytes (at 0 when it is empty), or
// npos: as std::string_view::find, in time linear in the bytes whatever the
// string and the text. Called for every line that may hold it, so a string of
// one byte goes straight to the C library's search for a byte.
inline std::size_t findString(std::string_view bytes, const SearchString& search) {
    return search.text.size() == 1 ? bytes.find(search.text.front())
                                   : findLongerString(bytes, search);
}

// Where the first byte of line that is one of the string's bytes stands, the
// string occurring at found: found at the latest, and found itself for a
// string of one byte.
std::size_t firstOfSet(std::string_view line, std::size_t found, const SearchString& search);

// Where byte last occurs in line; npos when it does not.
std::size_t lastOf(std::string_view line, char byte);

} // namespace glimmerlode
