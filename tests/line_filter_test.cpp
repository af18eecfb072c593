#include "file_seam.h"
#include "line_filter.h"
#include "line_reader.h"
#include "line_writer.h"
#include "platform.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

std::string rewritten(std::string_view line, std::string_view search) {
    const KeptPieces kept = keptPieces(line, prepareSearch(search));
    return std::string(kept.head) + std::string(kept.tail);
}

struct RewriteCase {
    const char* search;
    std::string line;
    std::string kept;
};

TEST(KeptPieces, RewritesLinesHoldingTheSearchString) {
    const std::vector<RewriteCase> cases = {
        {"#", "ab#cd#ef#gh\n", "ab##gh\n"},
        {"xyz", "12xyz34xyz56\n", "12xz56\n"},
        {"ab", "b1ab2\n", "b2\n"},
        {"#", "no match here\n", "no match here\n"},
        {"xyz", "x y z apart\n", "x y z apart\n"}, // characters, not the string
        {"=", "key=value\n", "key==value\n"},      // one occurrence is kept twice
        {"=", "=abc\n", "=abc\n"},                 // at the very start: unchanged
        {"xyz", "12xyz34x56\n", "12x6\n"},         // tail from the later first character
        {"abcde", "abcde ab\n", ""},               // tail past the end: nothing
        {"abcde", "Zabcde ab\n", "Za"},            // and the newline goes too
        {"#", "a#b", "a##b"},                      // no newline in, none out
        {"", "abc\n", "abc\n"},                    // empty search string: unchanged
        {"#", "a\0b#c\0#d\n"s, "a\0b##d\n"s},      // NUL is a byte like any other
        {"#", "\0#x\n"s, "\0##x\n"s},
    };
    for (const RewriteCase& c : cases) {
        EXPECT_EQ(rewritten(c.line, c.search), c.kept) << c.search << " on " << c.line;
    }
}

TEST(KeptPieces, FindsTheStringAtEveryPlaceOfALongLine) {
    for (std::size_t at = 0; at + 3 <= 200; ++at) {
        const std::string before(at, 'a');
        const std::string after(197 - at, 'a');
        const std::string head = at == 0 ? "" : before + "x"; // no head before the first byte
        EXPECT_EQ(rewritten(before + "xyz" + after + "\n", "xyz"), head + "z" + after + "\n") << at;
        const std::string nearMiss = before + "xya" + after + "z\n";
        EXPECT_EQ(rewritten(nearMiss, "xyz"), nearMiss) << at;
    }
}

// The word-at-a-time search must agree with the plain one for every byte value
// (high bits, NUL, neighbours that differ by one bit) at every place.
TEST(LastOf, FindsTheLastOccurrenceAsRfindDoes) {
    for (const char byte : {'#', '\0', '\x80', '\xff', '\x7f', '\x01'}) {
        for (std::size_t size = 0; size <= 20; ++size) {
            std::string line(size, static_cast<char>(byte ^ 1));
            for (std::size_t at = 0; at <= size; ++at) {
                EXPECT_EQ(lastOf(line, byte), line.rfind(byte)) << int(byte) << " " << size;
                if (at < size) {
                    line[at] = byte;
                }
            }
        }
    }
}

// The lines of a file as the reader cuts them, with CR LF read as one newline
// or not.
std::vector<std::string> rawLinesOf(const std::string& content, bool crlfLineEnds = false) {
    const std::string path = writeTempFile("raw", content);
    auto input = std::make_unique<InputFile>();
    input->file = openInputFile(path.c_str());
    input->crlfLineEnds = crlfLineEnds;
    std::vector<std::string> lines;
    for (bool more = true; more;) {
        more = readMore(*input);
        const std::string_view bytes = unhandledBytes(*input);
        std::size_t start = 0;
        for (std::size_t end;
             (end = lineEnd(bytes, start, input->atEnd)) != bytes.npos && end > start;
             start = end) {
            lines.emplace_back(bytes.substr(start, end - start));
        }
        markHandled(*input, start);
    }
    EXPECT_FALSE(input->readFailed);
    closeFile(input->file);
    return lines;
}

TEST(LineEnd, CutsLinesOfAtMost255BytesStoppingAfterANewline) {
    const std::string s255(255, 'a');
    const std::string big(300000, 'b'); // longer than the reader's chunk
    std::vector<std::string> bigPieces;
    for (std::size_t at = 0; at < big.size(); at += 255) {
        bigPieces.push_back(big.substr(at, 255));
    }
    bigPieces.back() += "\n";
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {}},
        {"a\n\nb", {"a\n", "\n", "b"}},
        {" kept as read \r\n", {" kept as read \r\n"}},
        {s255 + "\n", {s255, "\n"}},
        {s255 + "xy\n", {s255, "xy\n"}},
        {"a\0b\n\0"s, {"a\0b\n"s, "\0"s}},
        {big + "\n", bigPieces},
    };
    for (const auto& [content, lines] : cases) {
        EXPECT_EQ(rawLinesOf(content), lines) << content.substr(0, 20);
    }
}

// Where lines end with CR LF, the pair is read as one newline, counted as one
// byte, also where it is split between two reads; a lone CR and a Ctrl-Z are
// bytes like any other.
TEST(LineEnd, ReadsCrLfAsOneNewline) {
    const std::size_t firstRead = InputFile{}.chunk.size();
    const auto xs = [](std::size_t count, std::string_view rest) {
        return std::string(count, 'x').append(rest);
    };
    const std::vector<std::string> contents = {
        "a\r\nb\r\n",
        xs(254, "\r\ny"),
        xs(255, "\r\ny\r\n"),
        xs(253, "\r\r\nz\r"),
        "lone\rCR\r\n\x1a Ctrl-Z \x1a\r\n",
        xs(firstRead - 1, "\r\nafter the split\r\n"),
        xs(firstRead - 1, "\r"),
    };
    for (const std::string& content : contents) {
        std::string joined = content;
        for (std::size_t at = 0; (at = joined.find("\r\n", at)) != std::string::npos; ++at) {
            joined.erase(at, 1);
        }
        EXPECT_EQ(rawLinesOf(content, true), rawLinesOf(joined)) << content.substr(0, 20);
    }
}

TEST(WriteBytes, WritesEveryNewlineAsCrLfWhereLinesEndSo) {
    const std::string path = writeTempFile("crlf-out", "");
    auto output = std::make_unique<OutputFile>();
    output->file = openOutputFile(path.c_str());
    output->crlfLineEnds = true;
    writeBytes(*output, "a\nb\r\n\n");
    writeBytes(*output, "lone\r");
    EXPECT_TRUE(closeOutput(*output));
    EXPECT_EQ(readWholeFile(path), "a\r\nb\r\r\n\r\nlone\r");
}

TEST(WriteBytes, EmptyPiecesWithoutStorageWriteNothing) {
    // A line without the search string has an empty tail that points nowhere.
    const std::string path = writeTempFile("empty-pieces", "");
    auto output = std::make_unique<OutputFile>();
    output->file = openOutputFile(path.c_str());
    writeBytes(*output, std::string_view());
    writeBytes(*output, "kept\n");
    writeBytes(*output, keptPieces("no hash\n", prepareSearch("#")).tail);
    EXPECT_TRUE(closeOutput(*output));
    EXPECT_EQ(readWholeFile(path), "kept\n");
}

TEST(FilterLines, CopiesAFileLongerThanOneChunk) {
    std::string content;
    std::string expected;
    for (int n = 0; n < 5000; ++n) {
        content += "line " + std::to_string(n) + " a=b=c\n";
        expected += "line " + std::to_string(n) + " a==c" + (lineEndsAreCrLf() ? "\r\n" : "\n");
    }
    const std::string input = writeTempFile("many-in", content);
    const std::string output = writeTempFile("many-out", "old contents, truncated");
    EXPECT_EQ(filterLines(input.c_str(), output.c_str(), "="), filterDone);
    EXPECT_EQ(readWholeFile(output), expected);
}

TEST(FilterLines, RefusesTheInputAsOutputUnderAnotherName) {
    const std::string input = writeTempFile("same", "a=b=c\n");
    std::vector<std::string> others = {input + ".hard"};
    std::filesystem::create_hard_link(input, others[0]);
    std::error_code noSymbolicLinks; // not every platform has them
    std::filesystem::create_symlink(input, input + ".link", noSymbolicLinks);
    if (!noSymbolicLinks) {
        others.push_back(input + ".link");
    }
    for (const std::string& other : others) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(filterLines(input.c_str(), other.c_str(), "="), fileFailed);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "ERROR: Input and output are the same file!\n\n");
    }
    EXPECT_EQ(readWholeFile(input), "a=b=c\n");
#ifdef VEXO_FILE_SEAM
    // Renamed to the output's name after the input was opened, as a log that
    // is rotated while it is filtered: it must not be emptied either.
    const std::string rotated = input + ".1";
    beforeOpen(rotated, 1, [&] { std::filesystem::rename(input, rotated); });
    testing::internal::CaptureStdout();
    EXPECT_EQ(filterLines(input.c_str(), rotated.c_str(), "="), fileFailed);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: Input and output are the same file!\n\n");
    EXPECT_EQ(readWholeFile(rotated), "a=b=c\n");
#endif
}

} // namespace
