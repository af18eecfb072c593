#pragma once

// On Linux the unit tests are linked with the C library's open and read
// wrapped (-Wl,--wrap), so that a test can act at the moment the code under
// test opens a file or reads it, the way another process might:
// - a path "failing:N:path" opens path, and its reads fail from byte N on;
//   "failing-once:N:path" fails one read there, and the reads after it go on;
// - beforeOpen runs an action just before a file is opened, to rename another
//   file over it or to write to it.

#include <functional>
#include <string>

// Runs action right before the nth open of path from now on (counting from 1).
void beforeOpen(const std::string& path, int nth, std::function<void()> action);
