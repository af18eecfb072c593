#include "line_filter.h"

#include "line_reader.h"
#include "line_writer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

int fail(const char* message) {
    std::printf("%s", message);
    return fileFailed;
}

bool isDirectory(const char* path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// Another spelling, a hard link or a symbolic link of the input: creating the
// output would truncate the input before it is read.
bool isSameFile(const char* inputPath, const char* outputPath) {
    std::error_code error;
    return std::filesystem::equivalent(inputPath, outputPath, error);
}

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

// Most lines of a large file do not hold the string: this keeps their cost near
// that of copying them, and a real or false candidate block is rare.
bool holdsString(std::string_view line, std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t span = blockSize + text.size() - 1; // bytes one block test reads
    if (line.size() < span) {
        return line.find(text) != std::string_view::npos;
    }
    // The last block ends with the line and may overlap the one before it.
    for (std::size_t at = 0;; at += blockSize) {
        at = std::min(at, line.size() - span);
        if (blockMayHold(bytes + at, text) &&
            line.substr(at, span).find(text) != std::string_view::npos) {
            return true;
        }
        if (at == line.size() - span) {
            return false;
        }
    }
}

// Where the first byte of the line that is one of the string's bytes stands.
std::size_t firstOfSet(std::string_view line, const SearchString& search) {
    std::size_t at = 0;
    while (at < line.size() && !search.holds[byteAt(line, at)]) {
        ++at;
    }
    return at;
}

} // namespace

SearchString prepareSearch(std::string_view text) {
    SearchString search{text, {}};
    for (std::size_t at = 0; at < text.size(); ++at) {
        search.holds[byteAt(text, at)] = true;
    }
    return search;
}

KeptPieces keptPieces(std::string_view line, const SearchString& search) {
    if (search.text.empty() || !holdsString(line, search.text)) {
        return {line, {}};
    }
    const std::size_t prefixEnd = firstOfSet(line, search);
    const std::string_view head = prefixEnd >= 1 ? line.substr(0, prefixEnd + 1) : "";
    const std::size_t tailStart = line.rfind(search.text.front()) + search.text.size() - 1;
    const std::string_view tail = tailStart < line.size() ? line.substr(tailStart) : "";
    return {head, tail};
}

namespace {

// The copy itself; stops at the first write that fails.
void copyLines(InputFile& input, OutputFile& output, const SearchString& search) {
    std::array<char, rawLineCapacity> line{};
    std::size_t length = 0;
    while (!output.writeFailed && readRawLine(input, line, length) == 1) {
        const KeptPieces kept = keptPieces({line.data(), length}, search);
        writeBytes(output, kept.head);
        writeBytes(output, kept.tail);
    }
}

} // namespace

int filterLines(const char* inputPath, const char* outputPath, std::string_view search) {
    const std::unique_ptr<std::FILE, CloseFile> inputFile(
        isDirectory(inputPath) ? nullptr : std::fopen(inputPath, "r"));
    if (!inputFile) {
        return fail("ERROR: Could not open input file!\n\n");
    }
    if (isSameFile(inputPath, outputPath)) {
        return fail("ERROR: Input and output are the same file!\n\n");
    }
    auto output = std::make_unique<OutputFile>();
    output->file = std::fopen(outputPath, "w");
    if (output->file == nullptr) {
        return fail("ERROR: Could not create output file!\n\n");
    }
    auto input = std::make_unique<InputFile>();
    input->file = inputFile.get();
    copyLines(*input, *output, prepareSearch(search));
    if (!closeOutput(*output)) {
        return fail("ERROR: Could not write output file!\n\n");
    }
    if (input->readFailed) {
        return fail("ERROR: Could not read input file!\n\n");
    }
    return filterDone;
}
