#include "line_filter.h"

#include "line_reader.h"
#include "line_writer.h"
#include "platform.h"

#include <cstdio>
#include <memory>

namespace glimmerlode {

KeptPieces keptPieces(std::string_view line, const SearchString& search) {
    // An empty string is in every line, and changes none.
    const std::size_t found = findString(line, search);
    if (search.text.empty() || found == std::string_view::npos) {
        return {line, {}};
    }
    const std::size_t pos = firstOfSet(line, found, search);
    const std::string_view head = pos >= 1 ? line.substr(0, pos + 1) : "";
    const std::size_t tailStart = lastOf(line, search.text.front()) + search.text.size() - 1;
    const std::string_view tail = tailStart < line.size() ? line.substr(tailStart) : "";
    return {head, tail};
}

namespace {

// Copies the input to the output: the lines where the string does not occur
// as they are, in runs; each line where it may occur read and rewritten on
// its own. A rewritten line is mostly followed by another that holds the
// string, so the line after it is read at once. Stops at the end of the
// input, or at the first write or read that fails.
void copyLines(InputFile& input, OutputFile& output, const SearchString& search) {
    std::string_view line;
    bool lastLineRewritten = false;
    while (!output.writeFailed) {
        // Find the next line that may hold the string, copying what comes before it.
        if (!lastLineRewritten) {
            const std::string_view unchanged = linesWithout(input, search);
            if (!unchanged.empty()) {
                writeBytes(output, unchanged);
                continue;
            }
        }
        // Then rewrite that line.
        if (readRawLine(input, line) != 1) {
            return;
        }
        const KeptPieces kept = keptPieces(line, search);
        writeBytes(output, kept.head);
        writeBytes(output, kept.tail);
        lastLineRewritten = kept.head.size() != line.size() || !kept.tail.empty();
    }
}

constexpr const char* inputOpenFailure = "ERROR: Could not open input file!\n\n";
constexpr const char* sameFileFailure = "ERROR: Input and output are the same file!\n\n";
constexpr const char* sameFileUnknown =
    "ERROR: Could not tell whether input and output are the same file!\n\n";
constexpr const char* outputCreateFailure = "ERROR: Could not create output file!\n\n";
constexpr const char* writeFailure = "ERROR: Could not write output file!\n\n";
constexpr const char* readFailure = "ERROR: Could not read input file!\n\n";

// Opens the input, then the output, which is emptied only once it is known
// not to be the input under another name (a hard or a symbolic link, another
// spelling): the test is made on the files opened, so that no file can take
// the output's name between the test and the truncation. The message for what
// keeps the copy from starting, or nullptr.
const char* openFiles(InputFile& input, OutputFile& output, const char* inputPath,
                      const char* outputPath) {
    input.file = openInputFile(inputPath);
    if (input.file == noFile) {
        return inputOpenFailure;
    }
    output.file = openOutputFile(outputPath);
    if (output.file == noFile) {
        return outputCreateFailure;
    }
    switch (sameFile(input.file, output.file)) {
    case Sameness::same:
        return sameFileFailure;
    case Sameness::unknown:
        return sameFileUnknown; // never taken for different: the output would be emptied
    case Sameness::different:
        break;
    }
    return truncateOutputFile(output.file) ? nullptr : outputCreateFailure;
}

} // namespace

int filterLines(const char* inputPath, const char* outputPath, std::string_view search) {
    auto input = std::make_unique<InputFile>();
    auto output = std::make_unique<OutputFile>();
    input->crlfLineEnds = output->crlfLineEnds = lineEndsAreCrLf();
    const char* failure = openFiles(*input, *output, inputPath, outputPath);
    if (failure == nullptr) {
        copyLines(*input, *output, prepareSearch(search));
        flushOutput(*output);
        placeConsoleAfter(output->file);
        failure = !closeOutput(*output) ? writeFailure : input->readFailed ? readFailure : nullptr;
    }
    for (const FileHandle file : {input->file, output->file}) {
        if (file != noFile) {
            closeFile(file);
        }
    }
    if (failure != nullptr) {
        std::printf("%s", failure);
        return fileFailed;
    }
    return filterDone;
}

} // namespace glimmerlode
