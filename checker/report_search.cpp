#include "report_search.h"

namespace vantrel {

namespace {

// Two places of the text whose bytes to look for first: the rarest in report
// text (punctuation before capitals and digits, before small letters, before
// spaces), so that few places of a report pass the test.
struct Probe {
    std::size_t rareAt = 0;
    std::size_t otherAt = 0;
};

int commonness(char c) {
    if (c == ' ') {
        return 3;
    }
    if (c >= 'a' && c <= 'z') {
        return 2;
    }
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? 1 : 0;
}

// The place of the rarest byte of text, the last of equals, other than skip.
std::size_t rarestAt(std::string_view text, std::size_t skip) {
    std::size_t rarest = std::string_view::npos;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at != skip && (rarest == std::string_view::npos ||
                           commonness(text[at]) <= commonness(text[rarest]))) {
            rarest = at;
        }
    }
    return rarest;
}

Probe probeFor(std::string_view text) {
    const std::size_t rareAt = rarestAt(text, std::string_view::npos);
    const std::size_t otherAt = rarestAt(text, rareAt);
    return {rareAt, otherAt == std::string_view::npos ? rareAt : otherAt};
}

constexpr std::size_t blockSize = 32;

unsigned char allOnesIf(bool condition) {
    return static_cast<unsigned char>(-static_cast<int>(condition));
}

// Whether the text may begin somewhere in the block. One branch-free pass over
// byte masks, which the compiler turns into vector instructions.
bool blockMayHold(const char* block, std::string_view text, const Probe& probe) {
    const char rare = text[probe.rareAt];
    const char other = text[probe.otherAt];
    unsigned char may = 0;
    for (std::size_t k = 0; k < blockSize; ++k) {
        may |= allOnesIf(block[k + probe.rareAt] == rare) &
               allOnesIf(block[k + probe.otherAt] == other);
    }
    return may != 0;
}

} // namespace

std::size_t findText(std::string_view bytes, std::string_view text) {
    if (text.empty() || text.size() > bytes.size()) {
        return bytes.find(text);
    }
    const Probe probe = probeFor(text);
    const std::size_t starts = bytes.size() - text.size() + 1;
    std::size_t at = 0;
    for (; at + blockSize <= starts; at += blockSize) {
        if (blockMayHold(bytes.data() + at, text, probe)) {
            const std::size_t hit = bytes.substr(at, blockSize + text.size() - 1).find(text);
            if (hit != std::string_view::npos) {
                return at + hit;
            }
        }
    }
    const std::size_t hit = bytes.substr(at).find(text);
    return hit == std::string_view::npos ? hit : at + hit;
}

} // namespace vantrel
