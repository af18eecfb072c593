#include "line_filter.h"

#include "line_reader.h"

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

bool writePiece(std::FILE* output, std::string_view piece) {
    return piece.empty() || std::fwrite(piece.data(), 1, piece.size(), output) == piece.size();
}

} // namespace

KeptPieces keptPieces(std::string_view line, std::string_view search) {
    if (search.empty() || line.find(search) == std::string_view::npos) {
        return {line, {}};
    }
    const std::size_t firstOfSet = line.find_first_of(search);
    const std::string_view head = firstOfSet >= 1 ? line.substr(0, firstOfSet + 1) : "";
    const std::size_t tailStart = line.rfind(search.front()) + search.size() - 1;
    const std::string_view tail = tailStart < line.size() ? line.substr(tailStart) : "";
    return {head, tail};
}

int filterLines(const char* inputPath, const char* outputPath, std::string_view search) {
    auto input = std::make_unique<InputFile>();
    const std::unique_ptr<std::FILE, CloseFile> inputFile(
        isDirectory(inputPath) ? nullptr : std::fopen(inputPath, "r"));
    if (!inputFile) {
        return fail("ERROR: Could not open input file!\n\n");
    }
    if (isSameFile(inputPath, outputPath)) {
        return fail("ERROR: Input and output are the same file!\n\n");
    }
    std::FILE* output = std::fopen(outputPath, "w");
    if (output == nullptr) {
        return fail("ERROR: Could not create output file!\n\n");
    }
    input->file = inputFile.get();

    std::array<char, rawLineCapacity> line{};
    std::size_t length = 0;
    bool written = true;
    while (written && readRawLine(*input, line, length) == 1) {
        const KeptPieces kept = keptPieces({line.data(), length}, search);
        written = writePiece(output, kept.head) && writePiece(output, kept.tail);
    }
    // Closing flushes: a full disk may show only here.
    written = std::fclose(output) == 0 && written;
    if (!written) {
        return fail("ERROR: Could not write output file!\n\n");
    }
    if (input->readFailed) {
        return fail("ERROR: Could not read input file!\n\n");
    }
    return filterDone;
}
