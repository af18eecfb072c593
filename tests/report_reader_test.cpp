#include "driver.h"
#include "report_reader.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The lines of a report as readLine gives them, with CR LF read as one newline
// or not.
std::vector<std::string> linesOf(const std::string& content, bool crlfLineEnds = false) {
    const std::string path = writeTempFile("lines", content);
    auto report = std::make_unique<ReportCursor>();
    EXPECT_EQ(openReport(*report, path.c_str()), OpenOutcome::opened);
    report->crlfLineEnds = crlfLineEnds;
    std::vector<std::string> lines;
    std::array<char, lineCapacity> buffer{};
    while (readLine(*report, buffer) == 1) {
        lines.emplace_back(buffer.data());
    }
    closeReport(*report);
    return lines;
}

struct ReadCase {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
};

TEST(ReadLine, SplitsAndStripsAsTheReportIsRead) {
    const std::string s255(255, 'a');
    const std::vector<ReadCase> cases = {
        {"empty file", "", {}},
        {"trailing white space", "abc \t\r\v\f\n  x  \n", {"abc", "  x"}},
        {"last line without newline", "a\nb", {"a", "b"}},
        {"blank lines", "\n \n", {"", ""}},
        {"254 characters whole", std::string(254, 'b') + "\n", {std::string(254, 'b')}},
        {"255 characters: the line end arrives alone", s255 + "\nz\n", {s255, "", "z"}},
        {"300 characters in two reads",
         std::string(300, 'c') + "\n",
         {std::string(255, 'c'), std::string(45, 'c')}},
        {"NUL ends the line", std::string("ab\0cd\n\0x\n", 9), {"ab", ""}},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(linesOf(c.content), c.lines) << c.name;
    }
}

std::string joinedCrLf(std::string text) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; ++at) {
        text.erase(at, 1);
    }
    return text;
}

// Where lines end with CR LF, the pair is one newline, counted as one byte by
// the 255-byte reads, also where the pair is split between two reads of the
// file; a CR without a LF after it, and a Ctrl-Z, are bytes like any other.
TEST(ReadLine, ReadsCrLfAsOneNewline) {
    const std::size_t firstRead = ReportCursor{}.chunk.size();
    const std::vector<std::string> contents = {
        "a\r\nb\r\n",
        std::string(254, 'x') + "\r\ny\r\n",
        std::string(255, 'x') + "\r\ny\r\n",
        std::string(253, 'x') + "\r\r\nz\r",
        "lone\rcarriage return\r\n\x1a Ctrl-Z \x1a\r\nend\r",
        std::string(firstRead - 1, 'p') + "\r\nafter the split\r\n",
        std::string(firstRead - 1, 'p') + "\r",
    };
    for (const std::string& content : contents) {
        EXPECT_EQ(linesOf(content, true), linesOf(joinedCrLf(content)))
            << content.size() << ": " << content.substr(0, 30);
    }
}

// A scan passes over stretches of the report without cutting them into lines,
// and must find the same line as reading line by line, wherever the line stands
// against the reader's chunk.
TEST(ReadLineHolding, FindsTheLineThatReadingLineByLineFinds) {
    const std::size_t chunk = ReportCursor{}.chunk.size();
    std::string content;
    while (content.size() < 3 * chunk) {
        content += std::string(content.size() % 7 * 45, 'n') + " Vexo # Silicon ID\n";
        // Now and then a line that a NUL cuts before the text.
        content += content.size() % 5 == 0 ? std::string("x\0Vexo #3\n", 10) : "Vexo #3\n";
    }
    const std::string path = writeTempFile("scan", content);
    auto byLine = std::make_unique<ReportCursor>();
    auto byScan = std::make_unique<ReportCursor>();
    openReport(*byLine, path.c_str());
    openReport(*byScan, path.c_str());
    std::array<char, lineCapacity> line{};
    std::array<char, lineCapacity> scanned{};
    int found = 0;
    while (readLineHolding(*byScan, scanned, "Vexo #3")) {
        while (readLine(*byLine, line) == 1 && std::strstr(line.data(), "Vexo #3") == nullptr) {
        }
        ASSERT_STREQ(scanned.data(), line.data()) << found;
        ++found;
    }
    EXPECT_GT(found, 1000);
    closeReport(*byLine);
    closeReport(*byScan);
}

TEST(ReadLine, LeavesTheBufferAsItWasAtTheEnd) {
    const std::string path = writeTempFile("end", "only\n");
    auto report = std::make_unique<ReportCursor>();
    openReport(*report, path.c_str());
    std::array<char, lineCapacity> buffer{};
    ASSERT_EQ(readLine(*report, buffer), 1);
    EXPECT_EQ(readLine(*report, buffer), -1);
    EXPECT_STREQ(buffer.data(), "only");
    closeReport(*report);
}

TEST(ParseCount, ReadsTheLeadingNumberAndSaturates) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"2", 2},
        {"2 devices", 2},
        {"- 3", 0},
        {"-3", -3},
        {"+7", 7},
        {"", 0},
        {"x1", 0},
        {"  12", 12},
        {"2147483647", 2147483647},
        {"99999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [text, count] : cases) {
        EXPECT_EQ(parseCount(text), count) << text;
    }
}

const std::string fourteenLineReport = "Total Vexo Devices Found = 2\n"
                                       "Vexo #0 update started\n"
                                       "Vexo #0 programming\n"
                                       "erasing\n"
                                       "Firmware update successful\n"
                                       "Vexo #1 update started\n"
                                       "Vexo #1 programming\n"
                                       "Firmware update not required\n"
                                       "==== Vexo device ====\n"
                                       "Silicon ID      = 1A2B3C4D\n"
                                       "Firmware rev    = 1.5\n"
                                       "==== Vexo device ====\n"
                                       "Silicon ID      = 1A2B3C4D\n"
                                       "Firmware rev    = 1.4\n";

struct Filled {
    int count;
    DeviceTable table;
};

Filled readReport(const std::string& content, int count = -1) {
    const std::string path = writeTempFile("report", content);
    Filled filled{};
    bool opened = false;
    filled.count = count >= 0 ? count : getNumVexo(path.c_str(), opened);
    getVexoInfo(filled.table, filled.count, path.c_str());
    getStatus(filled.table, filled.count, path.c_str());
    return filled;
}

void expectDevice(const DeviceInfo& device, const char* siliconId, const char* firmwareRev,
                  const char* status) {
    EXPECT_STREQ(device.siliconId.data(), siliconId);
    EXPECT_STREQ(device.firmwareRev.data(), firmwareRev);
    EXPECT_STREQ(device.status.data(), status);
}

TEST(ReportPasses, FillTheTableFromTheFourteenLineReport) {
    const Filled filled = readReport(fourteenLineReport);
    ASSERT_EQ(filled.count, 2);
    expectDevice(filled.table[0], "1A2B3C4D", "1.5", "Firmware update successful");
    expectDevice(filled.table[1], "1A2B3C4D", "1.4", "Firmware update not required");
}

TEST(ReportPasses, CountFromTheFirstTotalLine) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"nothing here\n", 0},
        {"Total Vexo Devices Found =\n", 0},
        {"Total Vexo Devices Found =   -3\n", -3},
        {"x Total Vexo Devices Found =\t2 devices\nTotal Vexo Devices Found = 5\n", 2},
        {"", 0},
    };
    for (const auto& [content, count] : cases) {
        bool opened = false;
        EXPECT_EQ(getNumVexo(writeTempFile("count", content).c_str(), opened), count) << content;
        EXPECT_TRUE(opened);
    }
}

TEST(ReportPasses, UnreadableReportLeavesTheTableAlone) {
    bool opened = true;
    EXPECT_EQ(getNumVexo("/nonexistent/report", opened), fileNotOpened);
    EXPECT_FALSE(opened);
    DeviceTable table{};
    table[0].status[0] = 'k';
    testing::internal::CaptureStdout();
    EXPECT_EQ(getVexoInfo(table, 1, "/nonexistent/report"), fileNotOpened);
    EXPECT_EQ(getStatus(table, 1, "/nonexistent/report"), fileNotOpened);
    const std::string message = "ERROR: Could not open Vexo info file... Vexo info not found!\n\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), message + message);
    EXPECT_EQ(table[0].status[0], 'k');
}

TEST(ReportPasses, MissingSiliconIdLineShiftsLaterBlocks) {
    const Filled filled = readReport("==== Vexo device ====\n"
                                     "Firmware rev    = 1.0\n"
                                     "==== Vexo device ====\n"
                                     "Silicon ID      = B\n"
                                     "Firmware rev    = 2.0\n"
                                     "==== Vexo device ====\n"
                                     "Silicon ID      = C\n"
                                     "Firmware rev    = 3.0\n",
                                     3);
    expectDevice(filled.table[0], "B", "2.0", "");
    expectDevice(filled.table[1], "C", "3.0", "");
    expectDevice(filled.table[2], "", "", "");
}

TEST(ReportPasses, ExtraDevicesBeyondTheBlocksStayEmpty) {
    const Filled filled = readReport(fourteenLineReport, 3);
    expectDevice(filled.table[1], "1A2B3C4D", "1.4", "Firmware update not required");
    expectDevice(filled.table[2], "", "", "");
}

TEST(ReportPasses, KeyWithoutValueIsNotAKey) {
    const Filled filled = readReport("==== Vexo device ====\n"
                                     "Silicon ID      =   \n"
                                     "Silicon ID      =  77  \n"
                                     "Firmware rev    = 1.5\t\n",
                                     1);
    expectDevice(filled.table[0], "77", "1.5", "");
}

TEST(ReportPasses, LongValuesAreHeldWhole) {
    const std::string longId(237, 'I'); // with the key: one full read
    const Filled filled = readReport(
        "==== Vexo device ====\nSilicon ID      = " + longId + "\nFirmware rev    = 1.50\n", 1);
    expectDevice(filled.table[0], longId.c_str(), "1.50", "");
}

struct StatusCase {
    const char* name;
    std::string report;
    int device;
    std::string status;
};

TEST(ReportPasses, StatusIsTheLastLineOfTheBlockAfterTheSecondNamingLine) {
    const std::string s254(254, 's');
    const std::string s300 = std::string(255, 'h') + std::string(45, 't');
    const std::vector<StatusCase> cases = {
        {"254 characters whole", "Vexo #0\nVexo #0\n" + s254 + "\nVexo #1\n", 0, s254},
        {"255 characters leave an empty piece last",
         "Vexo #0\nVexo #0\n" + std::string(255, 'x') + "\nVexo #1\n", 0, ""},
        {"300 characters give the last 45", "Vexo #0\nVexo #0\n" + s300 + "\nVexo #1\n", 0,
         std::string(45, 't')},
        {"first line after the naming line always belongs",
         "Vexo #0\nVexo #0\nVexo #5 odd\nVexo #1\n", 0, "Vexo #5 odd"},
        {"block ended by the device marker", "Vexo #0\nVexo #0\na\nb\n==== Vexo device ====\n", 0,
         "b"},
        {"no end of block: empty", "Vexo #0\nVexo #0\na\nb\n", 0, ""},
        {"one naming line is not enough", "Vexo #0\na\nb\nVexo #1\n", 0, ""},
        {"a line naming the device twice counts once", "Vexo #0 Vexo #0\nx\nVexo #0\nok\nVexo #\n",
         0, "ok"},
        {"device 1 also matches device 10", "Vexo #10 a\nVexo #1 b\nst\nVexo #2\n", 1, "st"},
        {"NUL ends the status", std::string("Vexo #0\nVexo #0\nab\0cd\nVexo #1\n", 30), 0, "ab"},
    };
    for (const StatusCase& c : cases) {
        const Filled filled = readReport(c.report, c.device + 1);
        EXPECT_EQ(std::string(filled.table[c.device].status.data()), c.status) << c.name;
    }
}

TEST(ReportPasses, NegativeCountTouchesNothing) {
    DeviceInfo sentinel{};
    sentinel.siliconId[0] = 'q';
    DeviceTable table{};
    table.fill(sentinel);
    const std::string path = writeTempFile("negative", fourteenLineReport);
    getVexoInfo(table, -3, path.c_str());
    getStatus(table, -3, path.c_str());
    EXPECT_EQ(table[0].siliconId[0], 'q');
}

TEST(ReportPasses, NeverFillsPastTheTable) {
    std::array<DeviceInfo, 2> table{};
    const std::string path = writeTempFile("small", fourteenLineReport);
    EXPECT_EQ(getVexoInfo(table, 50, path.c_str()), 0);
    EXPECT_EQ(getStatus(table, 50, path.c_str()), 0);
    expectDevice(table[1], "1A2B3C4D", "1.4", "Firmware update not required");
}

#ifdef VEXO_WRAPPED_FOPEN
// A report whose reads fail after a chosen number of bytes: the test build
// wraps fopen, and a path "failing:N:real path" opens such a stream.
struct FailingReport {
    std::FILE* file;
    long left;
};

ssize_t readUntilFailure(void* cookie, char* buffer, std::size_t size) {
    auto* report = static_cast<FailingReport*>(cookie);
    const std::size_t wanted = std::min(size, static_cast<std::size_t>(report->left));
    const std::size_t got = std::fread(buffer, 1, wanted, report->file);
    report->left -= static_cast<long>(got);
    if (got == 0 && wanted == 0) {
        errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(got);
}

int closeFailingReport(void* cookie) {
    auto* report = static_cast<FailingReport*>(cookie);
    std::fclose(report->file);
    delete report;
    return 0;
}

} // namespace

extern "C" std::FILE* __real_fopen(const char* path, const char* mode);

extern "C" std::FILE* __wrap_fopen(const char* path, const char* mode) {
    long failAfter = 0;
    int pathAt = 0;
    if (std::sscanf(path, "failing:%ld:%n", &failAfter, &pathAt) != 1 || pathAt == 0) {
        return __real_fopen(path, mode);
    }
    std::FILE* real = __real_fopen(path + pathAt, mode);
    if (real == nullptr) {
        return nullptr;
    }
    return fopencookie(new FailingReport{real, failAfter}, mode,
                       {readUntilFailure, nullptr, nullptr, closeFailingReport});
}

namespace {

// Devices first and statuses after, so that each pass reads further than the last.
const std::string blocksFirstReport = "Total Vexo Devices Found = 2\n"                   // 29 bytes
                                      "==== Vexo device ====\n"                          // 51
                                      "Silicon ID      = 1A2B3C4D\n"                     // 78
                                      "Firmware rev    = 1.5\n"                          // 100
                                      "==== Vexo device ====\n"                          // 122
                                      "Silicon ID      = 1A2B3C4D\n"                     // 149
                                      "Firmware rev    = 1.5\n"                          // 171
                                      "Vexo #0\nVexo #0\nVEXO found but update failed\n" // 224
                                      "Vexo #1\nVexo #1\nFirmware update successful\n"   // 269
                                      "==== Vexo device ====\n";

TEST(ReportPasses, AReadErrorEndsThePassAndTheRun) {
    const std::string path = writeTempFile("blocks-first", blocksFirstReport);
    const std::string trace = "\nFunction: getNumVexo\nNumber of Vexos Found:2.\n"
                              "\nFunction: getVexoInfo\nVexo #0 Silicon ID:1A2B3C4D\n"
                              "Vexo #0 Firmware Rev:1.5\n";
    const std::string readError =
        "ERROR: Could not read Vexo info file... the report is incomplete!\n\n";
    const std::vector<std::pair<long, std::string>> cases = {
        {0, "\nFunction: getNumVexo\n" + readError},
        {130, trace + readError},
        {240, trace +
                  "Vexo #1 Silicon ID:1A2B3C4D\nVexo #1 Firmware Rev:1.5\n"
                  "\nFunction: getStatus\nVexo #0:VEXO found but update failed\n" +
                  readError},
    };
    for (const auto& [failAfter, output] : cases) {
        const std::string failing = "failing:" + std::to_string(failAfter) + ":" + path;
        const std::array<const char*, 5> argv = {"Vantrel", "1A2B3C4D", "1.5", failing.c_str(),
                                                 "DEBUG"};
        testing::internal::CaptureStdout();
        const int code = runChecker(5, argv.data());
        debugEnabled = false;
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(code, 255) << failAfter;
        EXPECT_EQ(printed.substr(printed.find("\nFunction")), output) << failAfter;
    }
}
#endif

} // namespace
