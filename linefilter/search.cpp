#include "search.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace glimmerlode {

namespace {

unsigned char byteAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

// The start of the lexicographically greatest suffix of text, under the byte
// order or its reverse, and the period of that suffix: the critical
// factorization of Crochemore and Perrin's two-way string matching.
std::pair<std::size_t, std::size_t> greatestSuffix(std::string_view text, bool reversed) {
    std::size_t best = 0;     // where the greatest suffix so far begins
    std::size_t rival = 1;    // where a suffix that may yet be greater begins
    std::size_t compared = 0; // bytes of the two found alike
    std::size_t period = 1;   // of the greatest suffix, as far as it is known
    while (rival + compared < text.size()) {
        const unsigned char ours = byteAt(text, best + compared);
        const unsigned char theirs = byteAt(text, rival + compared);
        if (ours == theirs) {
            // A whole period alike: the rival begins the next one.
            if (++compared == period) {
                rival += period;
                compared = 0;
            }
        } else if ((theirs < ours) != reversed) {
            // The rival is smaller, and so is every suffix that begins up to
            // the byte that told: the period grows to cover them.
            rival += compared + 1;
            compared = 0;
            period = rival - best;
        } else {
            best = rival++;
            compared = 0;
            period = 1;
        }
    }
    return {best, period};
}

// Where text occurs in bytes from 0 to the last place a match may begin that
// is at most last, or npos. Compares the right part first, then the left; the
// shifts make the cost linear in the bytes.
std::size_t twoWayFind(std::string_view bytes, std::size_t last, const SearchString& search) {
    const std::string_view text = search.text;
    const std::size_t size = text.size();
    const std::size_t critical = search.critical;
    std::size_t matched = 0; // of the left part, kept from the last shift (periodic only)
    for (std::size_t at = 0; at <= last;) {
        std::size_t right = std::max(critical, matched);
        while (right < size && text[right] == bytes[at + right]) {
            ++right;
        }
        if (right < size) {
            at += right - critical + 1;
            matched = 0;
            continue;
        }
        std::size_t left = critical;
        while (left > matched && text[left - 1] == bytes[at + left - 1]) {
            --left;
        }
        if (left <= matched) {
            return at;
        }
        at += search.period;
        matched = search.periodic ? size - search.period : 0;
    }
    return std::string_view::npos;
}

constexpr std::size_t blockSize = 32;

unsigned char allOnesIf(bool condition) {
    return static_cast<unsigned char>(-static_cast<int>(condition));
}

// The bytes the block test looks for: the string's first, second and last,
// and where in the string the last two stand.
struct BlockProbe {
    unsigned char first;
    unsigned char second;
    unsigned char last;
    std::size_t secondAt;
    std::size_t lastAt;
};

BlockProbe blockProbeFor(std::string_view text) {
    const std::size_t lastAt = text.size() - 1;
    const std::size_t secondAt = std::min<std::size_t>(1, lastAt);
    return {byteAt(text, 0), byteAt(text, secondAt), byteAt(text, lastAt), secondAt, lastAt};
}

// Whether some place of the block may begin the string: its first, second and
// last byte stand there. Written as one branch-free pass over byte masks so that
// the compiler tests the whole block with vector instructions.
bool blockMayHold(const unsigned char* block, const BlockProbe probe) {
    unsigned char may = 0;
    for (std::size_t k = 0; k < blockSize; ++k) {
        may |= allOnesIf(block[k] == probe.first) &
               allOnesIf(block[k + probe.secondAt] == probe.second) &
               allOnesIf(block[k + probe.lastAt] == probe.last);
    }
    return may != 0;
}

// Where the first block of 32 places from at on begins in which the string
// may begin; where none does, the place from which fewer than 32 are left up
// to lastStart, the last place it may begin, for the search to look at.
std::size_t firstBlockThatMayHold(const unsigned char* data, std::size_t at, std::size_t lastStart,
                                  const BlockProbe probe) {
    const std::size_t end = lastStart + 1 - std::min(lastStart + 1, blockSize - 1);
    while (at < end && !blockMayHold(data + at, probe)) {
        at += blockSize;
    }
    return std::min(at, end);
}

} // namespace

SearchString prepareSearch(std::string_view text) {
    SearchString search{text, {}};
    for (std::size_t at = 0; at < text.size(); ++at) {
        search.holds[byteAt(text, at)] = true;
    }
    // The later of the two greatest suffixes splits the text critically.
    const auto [forward, forwardPeriod] = greatestSuffix(text, false);
    const auto [backward, backwardPeriod] = greatestSuffix(text, true);
    search.critical = std::max(forward, backward);
    search.period = forward >= backward ? forwardPeriod : backwardPeriod;
    search.periodic =
        search.critical + search.period <= text.size() &&
        text.substr(0, search.critical) == text.substr(search.period, search.critical);
    if (!search.periodic) {
        search.period = std::max(search.critical, text.size() - search.critical) + 1;
    }
    return search;
}

// Most of a large file does not hold the string: the block test keeps the cost
// of passing over it near that of copying it. A block that may hold it sends a
// two-way search over the places that follow, a block's worth or as many as
// the string is long, so that even a text where every block may hold it costs
// a few comparisons per byte.
std::size_t findLongerString(std::string_view bytes, const SearchString& search) {
    const std::string_view text = search.text;
    if (text.empty() || text.size() > bytes.size()) {
        return bytes.find(text);
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t lastStart = bytes.size() - text.size();
    const std::size_t stretch = std::max(blockSize, text.size());
    const BlockProbe probe = blockProbeFor(text);
    for (std::size_t at = 0; at <= lastStart;) {
        at = firstBlockThatMayHold(data, at, lastStart, probe);
        const std::size_t last = std::min(lastStart - at, stretch - 1);
        const std::size_t hit = twoWayFind(bytes.substr(at), last, search);
        if (hit != std::string_view::npos) {
            return at + hit;
        }
        at += last + 1;
    }
    return std::string_view::npos;
}

std::size_t firstOfSet(std::string_view line, std::size_t found, const SearchString& search) {
    if (search.text.size() == 1) {
        return found;
    }
    std::size_t at = 0;
    while (at < found && !search.holds[byteAt(line, at)]) {
        ++at;
    }
    return at;
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

} // namespace glimmerlode
