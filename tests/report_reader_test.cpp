#include "driver.h"
#include "file_seam.h"
#include "reader_cases.h"
#include "report_lines.h"
#include "report_reader.h"
#include "report_search.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace vantrel;

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
        {"NUL ends the line before white space goes", std::string("ab \0cd\n", 7), {"ab"}},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(linesOf(c.content), c.lines) << c.name;
    }
}

// A line as readLine leaves it: cut at a NUL, without its newline and
// trailing white space.
std::string asRead(std::string line) {
    line.resize(std::min(line.size(), line.find('\0')));
    while (!line.empty() && isReportSpace(line.back())) {
        line.pop_back();
    }
    return line;
}

// The lines that hold text, as the scan finds them.
std::vector<std::string> linesHolding(const std::string& content, bool crlfLineEnds,
                                      std::string_view text) {
    const std::string path = writeTempFile("holding", content);
    auto report = std::make_unique<ReportCursor>();
    openReport(*report, path.c_str());
    report->crlfLineEnds = crlfLineEnds;
    std::vector<std::string> lines;
    std::array<char, lineCapacity> line{};
    while (readLineHolding(*report, line, text)) {
        lines.emplace_back(line.data());
    }
    closeReport(*report);
    return lines;
}

TEST(ReadLine, ReadsTheCasesOfBothReaders) {
    const std::size_t firstRead = std::tuple_size_v<decltype(ReportCursor::chunk)>;
    for (const ReaderCase& c : readerCases(firstRead)) {
        std::vector<std::string> lines;
        std::vector<std::string> holding;
        for (const std::string& piece : expectedLines(c.content, c.crlfLineEnds)) {
            lines.push_back(asRead(piece));
            if (lines.back().find(readerText) != std::string::npos) {
                holding.push_back(lines.back());
            }
        }
        EXPECT_EQ(linesOf(c.content, c.crlfLineEnds), lines) << c.name;
        EXPECT_EQ(linesHolding(c.content, c.crlfLineEnds, readerText), holding) << c.name;
    }
}

// A scan passes over stretches of the report without cutting them into lines,
// and must find the same line as reading line by line, wherever the line stands
// against the reader's chunk.
TEST(ReadLineHolding, FindsTheLineThatReadingLineByLineFinds) {
    const std::size_t chunk = std::tuple_size_v<decltype(ReportCursor::chunk)>;
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

// Report-like text of few bytes, so that the two bytes the search looks for
// first stand in many places; the texts are the report's own.
TEST(FindText, FindsWhatFindFinds) {
    std::mt19937 random(5);
    const std::string_view bytes = "= #Vexo01";
    for (const std::string_view text : {"Total Vexo Devices Found =", "==== Vexo device ====",
                                        "Silicon ID      = ", "Vexo #", "Vexo #1", "#0"}) {
        for (int round = 0; round < 2000; ++round) {
            std::string report(random() % 400, ' ');
            for (char& c : report) {
                c = bytes[random() % bytes.size()];
            }
            report.insert(random() % (report.size() + 1), text.substr(0, random() % 30));
            EXPECT_EQ(findText(report, text), std::string_view(report).find(text)) << report;
        }
    }
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
        // More digits than 64 bits hold: saturated as they are read, not after.
        {"9999999999999999999", 2147483647},
        {"184467440737095516160000", 2147483647},
        {"-9999999999999999999999999", -2147483647 - 1},
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
    CountedReport counted;
    filled.count = count >= 0 ? count : getNumVexo(path.c_str(), counted);
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
        CountedReport counted;
        EXPECT_EQ(getNumVexo(writeTempFile("count", content).c_str(), counted), count) << content;
        EXPECT_TRUE(counted.read);
    }
}

TEST(ReportPasses, UnreadableReportLeavesTheTableAlone) {
    CountedReport counted{true};
    EXPECT_EQ(getNumVexo("/nonexistent/report", counted), fileNotOpened);
    EXPECT_FALSE(counted.read);
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

#ifdef VEXO_FILE_SEAM

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

// The trace of a whole run with DEBUG, from the first pass on, and its code.
std::pair<int, std::string> tracedRun(const std::string& path) {
    const std::array<const char*, 5> argv = {"Vantrel", "1A2B3C4D", "1.5", path.c_str(), "DEBUG"};
    testing::internal::CaptureStdout();
    const int code = runChecker(5, argv.data());
    debugEnabled = false;
    const std::string printed = testing::internal::GetCapturedStdout();
    return {code, printed.substr(printed.find("\nFunction"))};
}

const std::string countTrace = "\nFunction: getNumVexo\nNumber of Vexos Found:2.\n";
const std::string device0Trace = "Vexo #0 Silicon ID:1A2B3C4D\nVexo #0 Firmware Rev:1.5\n";
const std::string identityTrace = "\nFunction: getVexoInfo\n" + device0Trace +
                                  "Vexo #1 Silicon ID:1A2B3C4D\nVexo #1 Firmware Rev:1.5\n";
const std::string status0Trace = "\nFunction: getStatus\nVexo #0:VEXO found but update failed\n";

// The stream's error, not the last flush alone, tells of console text lost:
// a write that failed part way is no success, whatever came after it.
TEST(ReportPasses, AConsoleWriteLostPartWayIsNoSuccess) {
    const std::string path = writeTempFile("console", blocksFirstReport);
    const std::array<const char*, 4> argv = {"Vantrel", "1A2B3C4D", "1.5", path.c_str()};
    EXPECT_EQ(withConsoleFailingOnce([&] { return runChecker(4, argv.data()); }), 2);
    std::string successful = blocksFirstReport;
    successful.replace(successful.find("VEXO found but update failed"), 28,
                       "Firmware update successful!!");
    writeTempFile("console", successful);
    EXPECT_EQ(withConsoleFailingOnce([&] { return runChecker(4, argv.data()); }), 255);
}

TEST(ReportPasses, AReadErrorEndsThePassAndTheRun) {
    const std::string path = writeTempFile("blocks-first", blocksFirstReport);
    const std::string trace = countTrace + "\nFunction: getVexoInfo\n" + device0Trace;
    const std::string readError =
        "ERROR: Could not read Vexo info file... the report is incomplete!\n\n";
    // A read that fails once must end the pass, even where the next would work.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"failing:0:", "\nFunction: getNumVexo\n" + readError},
        {"failing:130:", trace + readError},
        {"failing-once:130:", trace + readError},
        {"failing:240:", countTrace + identityTrace + status0Trace + readError},
        {"failing-once:240:", countTrace + identityTrace + status0Trace + readError},
    };
    for (const auto& [failing, output] : cases) {
        EXPECT_EQ(tracedRun(failing + path), std::make_pair(255, output)) << failing;
    }
}

struct ChangeCase {
    const char* name;
    int nthOpen; // 1: the count pass; 2: the identity pass; 3 to 5: the status pass
    std::function<void(const std::string&)> change;
    std::string output; // empty: the untouched report's own verdict and trace
};

void replaceWith(const std::string& path, const std::string& content) {
    const std::string other = writeTempFile("replacement", content);
    std::filesystem::rename(other, path);
}

// Writes content over the report's first bytes, as a writer that holds a
// mapping of it would, and puts its times back: only the bytes tell.
void rewriteInPlace(const std::string& path, const std::string& content) {
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
        .write(content.data(), std::ssize(content));
    const std::array<timespec, 2> times = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times.data(), 0), 0);
}

// Only the access time moves, as a reader's would.
void touchAccessTime(const std::string& path) {
    const std::array<timespec, 2> times = {timespec{0, UTIME_NOW}, timespec{0, UTIME_OMIT}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times.data(), 0), 0);
}

// Another file renamed over the report, or the report written to, while the
// passes read it: the run ends with the message of the pass that sees it, and
// no verdict, never a verdict that mixes two reports or a wait for a writer.
TEST(ReportPasses, AReportChangedWhileReadEndsTheRun) {
    const auto fifo = [](const std::string& path) {
        ASSERT_EQ(mkfifo((path + ".fifo").c_str(), 0600), 0);
        std::filesystem::rename(path + ".fifo", path);
    };
    const auto replaced = [](const std::string& path) {
        replaceWith(path, "Total Vexo Devices Found = 1\nVexo #0\nVexo #0\n"
                          "Firmware update successful\n==== Vexo device ====\n"
                          "Silicon ID      = 1A2B3C4D\nFirmware rev    = 1.5\n");
    };
    const auto grown = [](const std::string& path) {
        std::ofstream(path, std::ios::app) << "Vexo #2 update started\n";
    };
    const auto removed = [](const std::string& path) { std::filesystem::remove(path); };
    // The same size, the same times: device 0's failure turned into a success.
    std::string swapped = blocksFirstReport;
    swapped.replace(swapped.find("VEXO found but update failed"), 28,
                    "Firmware update successful!!");
    const auto rewritten = [&](const std::string& path) { rewriteInPlace(path, swapped); };
    const auto chmodded = [](const std::string& path) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_write);
    };
    const auto linked = [](const std::string& path) {
        std::filesystem::create_hard_link(path, path + ".link");
    };
    const auto copiedOver = [](const std::string& path) { replaceWith(path, blocksFirstReport); };
    const auto fstatFails = [](const std::string&) { failFstat(1); };
    const std::string notRegular =
        "ERROR: Vexo info file is not a regular file... save the report to a file first!\n\n";
    const std::string changed =
        "ERROR: Vexo info file changed while it was read... run the check again!\n\n";
    const std::string notOpened =
        "ERROR: Could not open Vexo info file... Vexo info not found!\n\n";
    const std::string status1Trace = "Vexo #1:Firmware update successful\n";
    const std::vector<ChangeCase> cases = {
        {"a FIFO before the count pass", 1, fifo, "\nFunction: getNumVexo\n" + notRegular},
        {"a FIFO before a reopen", 4, fifo, countTrace + identityTrace + status0Trace + notRegular},
        {"replaced before the identity pass", 2, replaced,
         countTrace + "\nFunction: getVexoInfo\n" + changed},
        {"replaced before the status pass", 3, replaced,
         countTrace + identityTrace + "\nFunction: getStatus\n" + changed},
        {"replaced after the last device", 5, replaced,
         countTrace + identityTrace + status0Trace + status1Trace + changed},
        {"grown before the status pass", 3, grown,
         countTrace + identityTrace + "\nFunction: getStatus\n" + changed},
        {"removed before a reopen", 4, removed,
         countTrace + identityTrace + status0Trace + notOpened},
        {"rewritten in place before the identity pass", 2, rewritten,
         countTrace + "\nFunction: getVexoInfo\n" + changed},
        {"rewritten in place before the status pass", 3, rewritten,
         countTrace + identityTrace + "\nFunction: getStatus\n" + changed},
        {"rewritten in place before a reopen", 4, rewritten,
         countTrace + identityTrace + status0Trace + changed},
        {"rewritten in place after the last device", 5, rewritten,
         countTrace + identityTrace + status0Trace + status1Trace + changed},
        // A file whose kind cannot be told is not taken for the report.
        {"fstat failing at the count pass", 1, fstatFails, "\nFunction: getNumVexo\n" + notOpened},
        {"fstat failing at a reopen", 4, fstatFails,
         countTrace + identityTrace + status0Trace + notOpened},
        // Metadata alone is no change.
        {"chmod before the identity pass", 2, chmodded, ""},
        {"read before the status pass", 3, touchAccessTime, ""},
        {"hard-linked before the identity pass", 2, linked, ""},
        {"an identical copy renamed over before the status pass", 3, copiedOver, ""},
    };
    const std::pair<int, std::string> untouched =
        tracedRun(writeTempFile("untouched", blocksFirstReport));
    ASSERT_EQ(untouched.first, 2);
    for (const ChangeCase& c : cases) {
        std::filesystem::remove(scratchFolder() / "changing"); // a FIFO, say
        std::filesystem::remove(scratchFolder() / "changing.link");
        const std::string path = writeTempFile("changing", blocksFirstReport);
        beforeOpen(path, c.nthOpen, [&] { c.change(path); });
        EXPECT_EQ(tracedRun(path), c.output.empty() ? untouched : std::make_pair(255, c.output))
            << c.name;
    }
}

// A report of several blocks, which the passes read to different depths: a
// byte that only a later pass reads may differ from what an earlier pass
// never read, but no byte that two reads both read, and no end that one met.
TEST(ReportPasses, AReportOfManyBlocksIsHeldToWhatWasRead) {
    std::string report = "Total Vexo Devices Found = 1\n";
    while (report.size() < 400000) {
        report += "noise line " + std::to_string(report.size()) + "\n";
    }
    report += "==== Vexo device ====\nSilicon ID      = 1A2B3C4D\nFirmware rev    = 1.5\n"
              "Vexo #0\nVexo #0\nFirmware update successful\n==== Vexo device ====\n";
    const auto byteChangedAt = [](std::size_t at) {
        return [at](const std::string& path) {
            std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(at).put('#');
        };
    };
    const auto truncated = [](const std::string& path) {
        std::filesystem::resize_file(path, 200000);
    };
    const auto grown = [](const std::string& path) {
        std::ofstream(path, std::ios::app) << "noise\n";
    };
    const auto shrunkInto = [](const std::string& path) {
        std::filesystem::resize_file(path, 100000);
    };
    const auto grownByABlock = [](const std::string& path) {
        std::ofstream(path, std::ios::app) << std::string(readBlockSize, '\n');
    };
    const std::string changed =
        "ERROR: Vexo info file changed while it was read... run the check again!\n\n";
    const std::vector<std::tuple<const char*, int, std::function<void(const std::string&)>, int>>
        cases = {
            {"a byte the count pass read, before the identity pass", 2, byteChangedAt(1000), 255},
            {"a byte only later passes read, before the identity pass", 2, byteChangedAt(300000),
             0},
            {"a byte the identity pass read, before the status pass", 3, byteChangedAt(300000),
             255},
            {"shrunk before the status pass", 3, truncated, 255},
            {"shrunk into what the count pass read, before the identity pass", 2, shrunkInto, 255},
            {"grown after the last device", 4, grown, 255},
            {"grown by a block after the last device", 4, grownByABlock, 255},
        };
    for (const auto& [name, nthOpen, change, code] : cases) {
        const std::string path = writeTempFile("many-blocks", report);
        const std::function<void(const std::string&)>& changeOf = change;
        beforeOpen(path, nthOpen, [&] { changeOf(path); });
        const auto [runCode, trace] = tracedRun(path);
        EXPECT_EQ(runCode, code) << name;
        EXPECT_EQ(trace.ends_with(changed), code == 255) << name;
    }
}

#endif

} // namespace
