#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel {

// Where text first occurs in bytes, or npos; as std::string_view::find, but
// most of a report is passed over by a test of two of text's bytes at a time.
// The texts are the report's keys and markers, so a place that passes the
// test costs at most their length to check.
std::size_t findText(std::string_view bytes, std::string_view text);

} // namespace vantrel
