#include "search.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

unsigned char byteAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

constexpr std::size_t blockSize = 32;

unsigned char allOnesIf(bool condition) {
    return static_cast<unsigned char>(-static_cast<int>(condition));
}

// Whether some place of the block may begin the string: its first, second and
// last byte stand there. Written as one branch-free pass over byte masks so that
// the compiler tests the whole block with vector instructions.
bool blockMayHold(const unsigned char* block, std::string_view text) {
    const std::size_t lastAt = text.size() - 1;
    const std::size_t secondAt = std::min<std::size_t>(1, lastAt);
    const unsigned char first = byteAt(text, 0);
    const unsigned char second = byteAt(text, secondAt);
    const unsigned char last = byteAt(text, lastAt);
    unsigned char may = 0;
    for (std::size_t k = 0; k < blockSize; ++k) {
        may |= allOnesIf(block[k] == first) & allOnesIf(block[k + secondAt] == second) &
               allOnesIf(block[k + lastAt] == last);
    }
    return may != 0;
}

} // namespace

SearchString prepareSearch(std::string_view text) {
    SearchString search{text, {}};
    for (std::size_t at = 0; at < text.size(); ++at) {
        search.holds[byteAt(text, at)] = true;
    }
    return search;
}

// Most of a large file does not hold the string: the block test keeps the cost
// of passing over it near that of copying it, and a candidate block is rare.
std::size_t findLongerString(std::string_view bytes, const SearchString& search) {
    const std::string_view text = search.text;
    if (text.empty()) {
        return std::string_view::npos;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t span = blockSize + text.size() - 1; // bytes one block test reads
    std::size_t at = 0;
    for (; at + span <= bytes.size(); at += blockSize) {
        if (blockMayHold(data + at, text)) {
            const std::size_t hit = bytes.substr(at, span).find(text);
            if (hit != std::string_view::npos) {
                return at + hit;
            }
        }
    }
    const std::size_t hit = bytes.substr(at).find(text);
    return hit == std::string_view::npos ? hit : at + hit;
}

// Every rewritten line needs it: eight bytes at a time, from the end.
std::size_t lastOf(std::string_view line, char byte) {
    if constexpr (std::endian::native != std::endian::little) {
        return line.rfind(byte);
    }
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t low7 = 0x7f7f7f7f7f7f7f7f;
    const std::uint64_t pattern = ones * static_cast<unsigned char>(byte);
    std::size_t end = line.size();
    for (; end >= 8; end -= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, line.data() + end - 8, 8);
        const std::uint64_t x = word ^ pattern; // zero where byte stands
        const std::uint64_t zeros = ~(((x & low7) + low7) | x | low7);
        if (zeros != 0) {
            return end - 8 + static_cast<std::size_t>(63 - std::countl_zero(zeros)) / 8;
        }
    }
    return line.substr(0, end).rfind(byte);
}
