#include "file_seam.h"
#include "filter_driver.h"
#include "line_filter.h"
#include "line_reader.h"
#include "line_writer.h"
#include "platform.h"
#include "reader_cases.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace glimmerlode;

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
        {"", "a\0bc\n"s, "a\0bc\n"s},
        {"#", "a\0b#c\0#d\n"s, "a\0b##d\n"s}, // NUL is a byte like any other
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

// Text made to trip a search: a small alphabet, strings with a period, strings
// longer than a block, and every string a piece of the text or near one.
TEST(FindString, FindsWhatFindFinds) {
    std::mt19937 random(5);
    const auto draw = [&](std::size_t below) { return std::size_t(random() % below); };
    for (int round = 0; round < 20000; ++round) {
        std::string text(draw(700), 'a');
        const char letters = static_cast<char>(1 + draw(3));
        for (char& c : text) {
            c = static_cast<char>('a' + draw(letters));
        }
        const std::size_t from = draw(text.size() + 1);
        std::string string = text.substr(from, draw(round % 2 ? 12 : 300));
        if (!string.empty() && draw(2) == 0) {
            string[draw(string.size())] ^= 1;
        }
        EXPECT_EQ(findString(text, prepareSearch(string)), std::string_view(text).find(string))
            << string << " in " << text;
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

std::unique_ptr<InputFile> inputOf(const std::string& content, bool crlfLineEnds) {
    auto input = std::make_unique<InputFile>();
    input->file = openInputFile(writeTempFile("raw", content).c_str());
    input->crlfLineEnds = crlfLineEnds;
    return input;
}

// The lines of a file as readRawLine gives them, with CR LF read as one
// newline or not.
std::vector<std::string> rawLinesOf(const std::string& content, bool crlfLineEnds = false) {
    const std::unique_ptr<InputFile> input = inputOf(content, crlfLineEnds);
    std::vector<std::string> lines;
    for (std::string_view line; readRawLine(*input, line) == 1;) {
        lines.emplace_back(line);
    }
    EXPECT_FALSE(input->readFailed);
    closeFile(input->file);
    return lines;
}

// The lines that hold text, as the copy finds them: passing over the lines
// without it, reading the others.
std::vector<std::string> rawLinesHolding(const std::string& content, bool crlfLineEnds,
                                         std::string_view text) {
    const std::unique_ptr<InputFile> input = inputOf(content, crlfLineEnds);
    const SearchString search = prepareSearch(text);
    std::vector<std::string> lines;
    for (std::string_view line;;) {
        if (!linesWithout(*input, search).empty()) {
            continue;
        }
        if (readRawLine(*input, line) != 1) {
            break;
        }
        if (line.find(text) != std::string_view::npos) {
            lines.emplace_back(line);
        }
    }
    closeFile(input->file);
    return lines;
}

TEST(ReadRawLine, CutsLinesOfAtMost255BytesStoppingAfterANewline) {
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

TEST(ReadRawLine, ReadsTheCasesOfBothReaders) {
    for (const ReaderCase& c : readerCases(std::tuple_size_v<decltype(InputFile::chunk)>)) {
        const std::vector<std::string> lines = expectedLines(c.content, c.crlfLineEnds);
        std::vector<std::string> holding;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(holding),
                     [](const std::string& line) { return line.find(readerText) != line.npos; });
        EXPECT_EQ(rawLinesOf(c.content, c.crlfLineEnds), lines) << c.name;
        EXPECT_EQ(rawLinesHolding(c.content, c.crlfLineEnds, readerText), holding) << c.name;
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
    // Whichever query of the files fails, the input is never emptied: a
    // sameness that cannot be told is no difference.
    std::filesystem::rename(rotated, input);
    others.push_back(input);
    for (const std::string& other : others) {
        for (int nth = 1; nth <= 5; ++nth) {
            failFstat(nth);
            testing::internal::CaptureStdout();
            EXPECT_EQ(filterLines(input.c_str(), other.c_str(), "="), fileFailed) << other << nth;
            const std::string message = testing::internal::GetCapturedStdout();
            EXPECT_EQ(readWholeFile(input), "a=b=c\n") << other << " fstat " << nth;
            if (nth == 2 || nth == 3) { // the queries of the sameness test itself
                EXPECT_EQ(message,
                          "ERROR: Could not tell whether input and output are the same file!\n\n");
            }
        }
        failFstat(0);
    }
    // The query before an output that is not the input is emptied.
    const std::string other = writeTempFile("other", "kept\n");
    failFstat(4);
    testing::internal::CaptureStdout();
    EXPECT_EQ(filterLines(input.c_str(), other.c_str(), "="), fileFailed);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Could not create output file!\n\n");
    EXPECT_EQ(readWholeFile(other), "kept\n");
#endif
}

#ifdef VEXO_FILE_SEAM
// Failures that the copy meets after it began: each is told, and what was
// written stays.
TEST(FilterLines, TellsOfFailuresAfterTheCopyBegan) {
    std::string content;
    for (int n = 0; n < 20000; ++n) {
        content += "line " + std::to_string(n) + " a=b=c\n";
    }
    const std::string input = writeTempFile("failures-in", content);
    const std::string output = scratchFolder() / "failures-out";
    ASSERT_EQ(filterLines(input.c_str(), output.c_str(), "="), filterDone);
    const std::string whole = readWholeFile(output);

    // Two files that share an inode number, on file systems of their own, are
    // two files.
    shareInodeNumbers(true);
    EXPECT_EQ(filterLines(input.c_str(), output.c_str(), "="), filterDone);
    shareInodeNumbers(false);
    EXPECT_EQ(readWholeFile(output), whole);

    // Console text lost part way is no success, though the last flush worked.
    const std::array<const char*, 4> argv = {"Glimmerlode", input.c_str(), output.c_str(), "="};
    EXPECT_EQ(withConsoleFailingOnce([&] { return runFilter(4, argv.data()); }), 2);

    // Network file systems tell of a failed write only when the file is closed.
    testing::internal::CaptureStdout();
    EXPECT_EQ(filterLines(input.c_str(), ("failing-close:" + output).c_str(), "="), fileFailed);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Could not write output file!\n\n");

    // The console is the output (/dev/stdout into a file): the message comes
    // after the data, never over it.
    testing::internal::CaptureStdout();
    EXPECT_EQ(filterLines(("failing:200000:" + input).c_str(), "/dev/stdout", "="), fileFailed);
    const std::string console = testing::internal::GetCapturedStdout();
    const std::string message = "ERROR: Could not read input file!\n\n";
    ASSERT_GT(console.size(), message.size() + 100000);
    EXPECT_EQ(console.substr(console.size() - message.size()), message);
    EXPECT_TRUE(whole.starts_with(console.substr(0, console.size() - message.size())));
}
#endif

} // namespace
