#pragma once

// A plain restatement of the checker's three passes and its verdict over a
// report held in memory, built on the standard library's searches and nothing
// of the checker's own: what the report fuzzer compares each run with.

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

namespace report_model {

struct Outcome {
    int code = 0;
    std::vector<std::string> verdictLines; // "Vexo#n - message", without the newline
};

// The report read from its top, one piece of at most 255 bytes at a time.
struct Reading {
    std::string_view report;
    std::size_t at = 0;
    bool ended = false;
    std::string line;

    explicit Reading(std::string_view text) : report(text) {}
};

inline bool isSpace(char c) {
    return std::string_view(" \t\n\v\f\r").find(c) != std::string_view::npos;
}

// The next piece, cut at a NUL and stripped of trailing white space; at the
// end nothing changes, and every later read fails too.
inline void readNext(Reading& r) {
    if (r.ended || r.at >= r.report.size()) {
        r.ended = true;
        return;
    }
    std::size_t length = std::min<std::size_t>(255, r.report.size() - r.at);
    const std::size_t newline = r.report.find('\n', r.at);
    if (newline != std::string_view::npos && newline - r.at < length) {
        length = newline - r.at + 1;
    }
    std::string piece(r.report.substr(r.at, length));
    r.at += length;
    piece.resize(std::min(piece.size(), piece.find('\0')));
    while (!piece.empty() && isSpace(piece.back())) {
        piece.pop_back();
    }
    r.line = piece;
}

// The current line if it holds text, else the next that does.
inline bool scan(Reading& r, std::string_view text) {
    while (!r.ended) {
        if (r.line.find(text) != std::string::npos) {
            return true;
        }
        readNext(r);
    }
    return false;
}

inline std::string valueAfter(const std::string& line, std::string_view key) {
    std::size_t at = line.find(key) + key.size();
    while (at < line.size() && isSpace(line[at])) {
        ++at;
    }
    return line.substr(at);
}

// atoi's leading number, held to the range of int.
inline int countOf(const std::string& value) {
    std::size_t at = 0;
    const bool negative = !value.empty() && value[0] == '-';
    at += !value.empty() && (value[0] == '-' || value[0] == '+');
    long long magnitude = 0;
    for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
        magnitude = std::min(magnitude * 10 + (value[at] - '0'), 1LL << 32);
    }
    const long long count = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(count, INT_MIN, INT_MAX));
}

struct Device {
    std::string siliconId;
    std::string firmwareRev;
    std::string status;
};

inline Outcome checkReport(std::string_view report, std::string expectedId,
                           std::string expectedRev) {
    // Arguments end at a NUL, as on a command line.
    expectedId.resize(std::min(expectedId.size(), expectedId.find('\0')));
    expectedRev.resize(std::min(expectedRev.size(), expectedRev.find('\0')));
    Reading counting(report);
    readNext(counting);
    const int count = scan(counting, "Total Vexo Devices Found =")
                          ? countOf(valueAfter(counting.line, "Total Vexo Devices Found ="))
                          : 0;
    if (count == 0 || count > 20) {
        return {count == 0 ? 171 : 255, {}};
    }
    std::vector<Device> devices(static_cast<std::size_t>(std::max(count, 0)));
    Reading identities(report);
    readNext(identities);
    for (Device& device : devices) {
        scan(identities, "==== Vexo device ====");
        if (scan(identities, "Silicon ID      = ")) {
            device.siliconId = valueAfter(identities.line, "Silicon ID      = ");
        }
        if (scan(identities, "Firmware rev    = ")) {
            device.firmwareRev = valueAfter(identities.line, "Firmware rev    = ");
        }
        readNext(identities);
    }
    for (std::size_t n = 0; n < devices.size(); ++n) {
        const std::string marker = "Vexo #" + std::to_string(n);
        Reading a(report);
        readNext(a);
        scan(a, marker);
        readNext(a);
        scan(a, marker);
        readNext(a);
        Reading b = a;
        readNext(b);
        while (!b.ended) {
            if (b.line.find("Vexo #") != std::string::npos ||
                b.line.find("==== Vexo device ====") != std::string::npos) {
                devices[n].status = a.line;
                break;
            }
            a.line = b.line;
            readNext(b);
        }
    }
    constexpr std::array<std::pair<std::string_view, std::string_view>, 5> phrases = {{
        {"Firmware update successful", "No errors. Vexo found and firmware updated."},
        {"Firmware update not required",
         "Vexo Found and Firmware level is up-to-date. No flashing required."},
        {"Silicon IDs do not match",
         "Vexo Silicon ID Error.  VexO found but the silicon ID did not match file."},
        {"VEXO found but update failed",
         "Vexo firmware update error - VEXO found but update failed."},
        {"No Vexos found", "No Vexos found in the system"},
    }};
    constexpr std::array<int, 6> codes = {-1, -1, 171, 2, 1, 255};
    Outcome outcome;
    for (std::size_t n = 0; n < devices.size(); ++n) {
        if (devices[n].siliconId != expectedId || devices[n].firmwareRev != expectedRev) {
            continue;
        }
        std::size_t row = 0;
        while (row < phrases.size() &&
               devices[n].status.find(phrases[row].first) == std::string::npos) {
            ++row;
        }
        const std::string_view message = row < phrases.size()
                                             ? phrases[row].second
                                             : "Not specified error.  The VEXO update did not "
                                               "complete successfully.";
        outcome.verdictLines.push_back("Vexo#" + std::to_string(n) + " - " + std::string(message));
        outcome.code = codes[row] >= 0 ? codes[row] : outcome.code;
    }
    if (outcome.verdictLines.empty()) {
        outcome.code = 171;
    }
    return outcome;
}

} // namespace report_model
