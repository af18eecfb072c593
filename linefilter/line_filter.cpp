#include "line_filter.h"

#include "line_reader.h"
#include "line_writer.h"
#include "platform.h"

#include <cstdio>
#include <memory>

namespace {

unsigned char byteAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
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

KeptPieces keptPieces(std::string_view line, const SearchString& search) {
    const std::size_t found = findString(line, search);
    if (found == std::string_view::npos) {
        return {line, {}};
    }
    // A string of one byte is its own set of bytes.
    const std::size_t prefixEnd = search.text.size() == 1 ? found : firstOfSet(line, search);
    const std::string_view head = prefixEnd >= 1 ? line.substr(0, prefixEnd + 1) : "";
    const std::size_t tailStart = lastOf(line, search.text.front()) + search.text.size() - 1;
    const std::string_view tail = tailStart < line.size() ? line.substr(tailStart) : "";
    return {head, tail};
}

namespace {

// Copies the whole lines of bytes to output, rewriting those that hold the
// string, and returns where it stopped: before a line that may go on past
// bytes. Lines are looked at one by one only where the string occurs, and
// after a line that held it, as the next likely holds it too. What the lines
// keep is written in runs, one write for each stretch that is cut out.
std::size_t filterWholeLines(std::string_view bytes, bool last, const SearchString& search,
                             OutputFile& output) {
    std::size_t keptFrom = 0; // the run of kept bytes not yet written
    std::size_t from = 0;     // where the next line to look at begins
    bool lastLineHeld = false;
    for (;;) {
        std::size_t start = from;
        if (!lastLineHeld) {
            const std::string_view rest = bytes.substr(from);
            const std::size_t hit = findString(rest, search);
            start += lineStartAt(rest, hit == std::string_view::npos ? rest.size() : hit);
        }
        const std::size_t end = start < bytes.size() ? lineEnd(bytes, start, last) : start;
        if (end == std::string_view::npos || end == start) {
            // No whole line from here holds the string.
            from = last ? bytes.size() : start;
            break;
        }
        const std::string_view line = bytes.substr(start, end - start);
        const KeptPieces kept = keptPieces(line, search);
        lastLineHeld = kept.head.size() != line.size() || !kept.tail.empty();
        if (lastLineHeld) {
            writeBytes(output, bytes.substr(keptFrom, start + kept.head.size() - keptFrom));
            keptFrom = end - kept.tail.size();
        }
        from = end;
    }
    writeBytes(output, bytes.substr(keptFrom, from - keptFrom));
    return from;
}

// The copy itself; stops at the first write or read that fails.
void copyLines(InputFile& input, OutputFile& output, const SearchString& search) {
    for (;;) {
        const bool last = input.atEnd;
        markHandled(input, filterWholeLines(unhandledBytes(input), last, search, output));
        if (last || output.writeFailed || (!readMore(input) && input.readFailed)) {
            return;
        }
    }
}

} // namespace

namespace {

constexpr const char* inputOpenFailure = "ERROR: Could not open input file!\n\n";
constexpr const char* sameFileFailure = "ERROR: Input and output are the same file!\n\n";
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
    if (isSameFile(input.file, output.file)) {
        return sameFileFailure;
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
