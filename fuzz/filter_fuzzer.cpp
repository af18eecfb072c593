// The line filter on arbitrary input. Input: the search string as the first
// line, then the input file. Every piece's rewrite is checked against a plain
// restatement of the rule built on the standard library's searches, and the
// whole file run through filterLines must come out as those pieces.
#include "fuzz_input.h"
#include "line_filter.h"
#include "temp_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace glimmerlode;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceStandardOutput();
    return 0;
}

namespace {

std::string plainRewrite(std::string_view line, std::string_view search) {
    if (search.empty() || line.find(search) == std::string_view::npos) {
        return std::string(line);
    }
    std::string kept;
    const std::size_t pos = line.find_first_of(search);
    if (pos >= 1) {
        kept = line.substr(0, pos + 1);
    }
    const std::size_t start = line.rfind(search[0]) + search.size() - 1;
    if (start < line.size()) {
        kept += line.substr(start);
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    std::string_view search = takeLine(data);
    search = search.substr(0, search.find('\0')); // as on a command line
    const std::string searchText(search);
    const SearchString prepared = prepareSearch(searchText);

    std::string expected;
    for (std::string_view rest = data; !rest.empty();) {
        const std::size_t newline = rest.substr(0, 255).find('\n');
        const std::size_t length = newline == std::string_view::npos
                                       ? std::min<std::size_t>(255, rest.size())
                                       : newline + 1;
        const std::string_view line = rest.substr(0, length);
        const KeptPieces kept = keptPieces(line, prepared);
        const std::string plain = plainRewrite(line, searchText);
        if (std::string(kept.head) + std::string(kept.tail) != plain) {
            __builtin_trap();
        }
        expected += plain;
        rest.remove_prefix(length);
    }

    const std::string input = writeTempFile("input", data);
    const std::string output = input + ".out";
    if (filterLines(input.c_str(), output.c_str(), searchText) != filterDone) {
        __builtin_trap();
    }
    std::ifstream written(output, std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(written), {}};
    if (content != expected) {
        __builtin_trap();
    }
    return 0;
}
