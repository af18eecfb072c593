#pragma once

namespace glimmerlode {

void printBanner();
void printUsage();

// One whole run of the line filter; the result is the process exit code.
int runFilter(int argc, const char* const* argv);

} // namespace glimmerlode
