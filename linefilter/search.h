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

// Where the search string first occurs in bytes; npos when it does not, or
// when it is empty (an empty string changes no line).
std::size_t findString(std::string_view bytes, const SearchString& search);

// Where byte last occurs in line; npos when it does not.
std::size_t lastOf(std::string_view line, char byte);
