#pragma once

namespace vantrel {

// Process-wide trace switch: on only when the fourth argument is exactly "DEBUG".
// Set once by the driver before any pass runs.
extern bool debugEnabled;

void printBanner();
void printUsage();

// One whole run of the checker; the result is the process exit code.
int runChecker(int argc, const char* const* argv);

} // namespace vantrel
