#include "report_reader.h"

#include "driver.h"
#include "report_lines.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace vantrel {

namespace {

constexpr const char* openFailureMessage =
    "ERROR: Could not open Vexo info file... Vexo info not found!\n\n";
constexpr const char* notRegularMessage =
    "ERROR: Vexo info file is not a regular file... save the report to a file first!\n\n";
constexpr const char* readFailureMessage =
    "ERROR: Could not read Vexo info file... the report is incomplete!\n\n";
constexpr const char* changedMessage =
    "ERROR: Vexo info file changed while it was read... run the check again!\n\n";

// The passes run one after another, never at once, so one cursor serves them
// all; it is kept off the stack, where its chunk would strain a small one.
ReportCursor& passCursor() {
    static ReportCursor cursor;
    return cursor;
}

// Opens the report for a pass, or for the next device of the status pass:
// passDone; or, after the message that says why, fileNotOpened.
int openForPass(ReportCursor& report, const char* path, EarlierReads earlier) {
    switch (openReport(report, path, earlier)) {
    case OpenOutcome::opened:
        return passDone;
    case OpenOutcome::notOpened:
        std::printf("%s", openFailureMessage);
        break;
    case OpenOutcome::notRegular:
        std::printf("%s", notRegularMessage);
        break;
    }
    return fileNotOpened;
}

// A pass with the count pass's reads behind it is held to them.
EarlierReads readsBefore(const CountedReport* counted) {
    return counted != nullptr && counted->read ? EarlierReads::compare : EarlierReads::forget;
}

bool readNext(ReportCursor& report, std::span<char> line) {
    return readLine(report, line) == 1;
}

// Looks at the current line first, then reads on until a line holds text.
bool scanFor(ReportCursor& report, std::span<char> line, const char* text) {
    return !report.ended && (lineContains(line, text) || readLineHolding(report, line, text));
}

// The text after the first occurrence of key, without leading white space
// (readLine has already taken the trailing white space).
const char* valueAfterKey(const char* line, const char* key) {
    const char* value = std::strstr(line, key) + std::strlen(key);
    while (isReportSpace(*value)) {
        ++value;
    }
    return value;
}

void copyText(std::span<char> destination, std::string_view text) {
    const std::size_t length = std::min(text.size(), destination.size() - 1);
    std::memcpy(destination.data(), text.data(), length);
    destination[length] = '\0';
}

// Traces the pass by name and opens the report for it in the passes' cursor,
// as openForPass does.
int beginPass(const char* name, const char* path, EarlierReads earlier) {
    if (debugEnabled) {
        std::printf("\nFunction: %s\n", name);
    }
    return openForPass(passCursor(), path, earlier);
}

// Closes the report at the end of a pass: passDone; or, with its message,
// fileChanged when a read found the report other than before, or
// fileReadFailed when a read failed, since what was not read may change the
// verdict.
int endPass(ReportCursor& report) {
    const bool failed = report.failed;
    const bool changed = report.changed;
    closeReport(report);
    if (changed) {
        std::printf("%s", changedMessage);
        return fileChanged;
    }
    if (failed) {
        std::printf("%s", readFailureMessage);
        return fileReadFailed;
    }
    return passDone;
}

} // namespace

int parseCount(const char* text) {
    while (isReportSpace(*text)) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = std::min(limit, magnitude * 10 + (*text - '0'));
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int getNumVexo(const char* reportPath, CountedReport& counted) {
    counted.read = beginPass("getNumVexo", reportPath, EarlierReads::forget) == passDone;
    if (!counted.read) {
        return fileNotOpened;
    }
    ReportCursor& report = passCursor();
    std::array<char, lineCapacity> line{};
    readNext(report, line);
    const bool found = scanFor(report, line, totalKey);
    counted.read = endPass(report) == passDone;
    if (!found || !counted.read) {
        return 0;
    }
    const int count = parseCount(valueAfterKey(line.data(), totalKey));
    if (debugEnabled) {
        std::printf("Number of Vexos Found:%d.\n", count);
    }
    return count;
}

namespace {

// Copies the value after key into field when the scan finds the key; traces it
// under label.
void fillFromKey(ReportCursor& report, std::span<char> line, const char* key, std::span<char> field,
                 std::size_t device, const char* label) {
    if (!scanFor(report, line, key)) {
        return;
    }
    copyText(field, valueAfterKey(line.data(), key));
    if (debugEnabled) {
        std::printf("Vexo #%zu %s:%s\n", device, label, field.data());
    }
}

// The identity pass over the open report, which it closes.
int readIdentities(ReportCursor& report, std::span<DeviceInfo> table, int count) {
    std::array<char, lineCapacity> line{};
    readNext(report, line);
    const std::size_t devices = devicesInTable(table.size(), count);
    for (std::size_t n = 0; n < devices && !report.failed; ++n) {
        DeviceInfo& device = table[n];
        device.siliconId[0] = '\0';
        device.firmwareRev[0] = '\0';
        scanFor(report, line, deviceBlockMarker);
        fillFromKey(report, line, siliconIdKey, device.siliconId, n, "Silicon ID");
        fillFromKey(report, line, firmwareKey, device.firmwareRev, n, "Firmware Rev");
        readNext(report, line);
    }
    return endPass(report);
}

} // namespace

int getVexoInfo(std::span<DeviceInfo> table, int count, const char* reportPath,
                const CountedReport* counted) {
    const int opened = beginPass("getVexoInfo", reportPath, readsBefore(counted));
    return opened == passDone ? readIdentities(passCursor(), table, count) : opened;
}

namespace {

// The last line of the status block that follows the second line naming the
// device; false when the report ends first.
bool findStatusLine(ReportCursor& report, const char* marker, std::span<char> candidate,
                    std::span<char> lookAhead) {
    readNext(report, candidate);
    scanFor(report, candidate, marker);
    readNext(report, candidate);
    scanFor(report, candidate, marker);
    readNext(report, candidate);
    readNext(report, lookAhead);
    while (!report.ended) {
        if (lineContains(lookAhead, deviceNumberPrefix) ||
            lineContains(lookAhead, deviceBlockMarker)) {
            return true;
        }
        copyText(candidate, lookAhead.data());
        readNext(report, lookAhead);
    }
    return false;
}

// The status pass over the open report, which it opens again for every
// device; then it reads the report once more as far as every read before
// went, so that a change made while the last device was read is seen too.
int readStatuses(ReportCursor& report, std::span<DeviceInfo> table, int count,
                 const char* reportPath) {
    std::array<char, lineCapacity> candidate{};
    std::array<char, lineCapacity> lookAhead{};
    std::array<char, statusCapacity> marker{};
    const std::size_t devices = devicesInTable(table.size(), count);
    for (std::size_t n = 0; n < devices; ++n) {
        DeviceInfo& device = table[n];
        device.status[0] = '\0';
        std::snprintf(marker.data(), marker.size(), "%s%zu", deviceNumberPrefix, n);
        if (findStatusLine(report, marker.data(), candidate, lookAhead)) {
            copyText(device.status, candidate.data());
            if (debugEnabled) {
                std::printf("Vexo #%zu:%s\n", n, device.status.data());
            }
        }
        if (report.failed) {
            break;
        }
        // Every device's search starts from the top of the report, and reads
        // what the reads before it read.
        if (const int opened = openForPass(report, reportPath, EarlierReads::compare);
            opened != passDone) {
            return opened;
        }
    }
    rereadAsFarAsBefore(report);
    return endPass(report);
}

} // namespace

int getStatus(std::span<DeviceInfo> table, int count, const char* reportPath,
              const CountedReport* counted) {
    const int opened = beginPass("getStatus", reportPath, readsBefore(counted));
    return opened == passDone ? readStatuses(passCursor(), table, count, reportPath) : opened;
}

} // namespace vantrel
