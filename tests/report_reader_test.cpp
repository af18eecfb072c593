#include "driver.h"
#include "report_reader.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string& content) {
    const std::string path = writeTempFile("lines", content);
    std::FILE* file = std::fopen(path.c_str(), "r");
    std::vector<std::string> lines;
    std::array<char, lineCapacity> buffer{};
    while (readLine(file, buffer) == 1) {
        lines.emplace_back(buffer.data());
    }
    std::fclose(file);
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

TEST(ReadLine, LeavesTheBufferAsItWasAtTheEnd) {
    const std::string path = writeTempFile("end", "only\n");
    std::FILE* file = std::fopen(path.c_str(), "r");
    std::array<char, lineCapacity> buffer{};
    ASSERT_EQ(readLine(file, buffer), 1);
    EXPECT_EQ(readLine(file, buffer), -1);
    EXPECT_STREQ(buffer.data(), "only");
    std::fclose(file);
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

} // namespace
