#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The search string with the set of its bytes, prepared once for all lines.
struct SearchString {
    std::string_view text;
    std::array<bool, 256> holds{};
};

SearchString prepareSearch(std::string_view text);

std::size_t findLongerString(std::string_view bytes, const SearchString& search);

// Where the search string first occurs in bytes; npos when it does not, or
// when it is empty (an empty string changes no line). Called for every line
// that may hold it, so a string of one byte goes straight to the C library's
// search for a byte.
inline std::size_t findString(std::string_view bytes, const SearchString& search) {
    return search.text.size() == 1 ? bytes.find(search.text.front())
                                   : findLongerString(bytes, search);
}

// Where byte last occurs in line; npos when it does not.
std::size_t lastOf(std::string_view line, char byte);
