#pragma once

// On Linux the unit tests are linked with the C library's open, read, fstat
// and close wrapped (-Wl,--wrap), so that a test can act at the moment the
// code under test opens a file or reads it, the way another process might, or
// make the system fail where it seldom does:
// - a path "failing:N:path" opens path, and its reads fail from byte N on;
//   "failing-once:N:path" fails one read there, and the reads after it go on;
//   "failing-close:path" opens path, and closing it fails (after it closed);
// - beforeOpen runs an action just before a file is opened, to rename another
//   file over it or to write to it;
// - failFstat fails an fstat of an open file, as a failing disk might;
//   shareInodeNumbers makes every open file report one inode number, on a
//   device of its own, as files on different file systems may;
// - withConsoleFailingOnce runs a program with standard output a stream whose
//   first write fails and whose later writes succeed.

#include <functional>
#include <string>

// Runs action right before the nth open of path from now on (counting from 1).
void beforeOpen(const std::string& path, int nth, std::function<void()> action);

// Fails the nth fstat from now on (counting from 1) with EIO.
void failFstat(int nth);

// While on, fstat gives every file inode number 1 on a device numbered after
// the descriptor.
void shareInodeNumbers(bool on);

// The result of run, with the console failing its first write only.
int withConsoleFailingOnce(const std::function<int()>& run);
