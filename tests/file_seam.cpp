#include "file_seam.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// The names the C library's calls take with 64-bit files and times: fstat is
// __fstat64_time64 on a 32-bit system, fstat64 on a 64-bit one.
#define VEXO_JOIN(prefix, name) prefix##name
#define VEXO_NAMED(prefix, name) VEXO_JOIN(prefix, name)
#define VEXO_WRAP_FSTAT VEXO_NAMED(__wrap_, VEXO_FSTAT_SYMBOL)
#define VEXO_REAL_FSTAT VEXO_NAMED(__real_, VEXO_FSTAT_SYMBOL)

namespace {

struct FailingReads {
    long left; // bytes to read before the failure
    bool once;
};

// By descriptor; an entry goes when its number is opened again.
std::map<int, FailingReads>& failingReads() {
    static std::map<int, FailingReads> reads;
    return reads;
}

struct PendingAction {
    std::string path;
    int opensLeft = 0;
    std::function<void()> action;
};

PendingAction& pendingAction() {
    static PendingAction pending;
    return pending;
}

int& fstatsBeforeFailure() {
    static int left = 0;
    return left;
}

bool& inodeNumbersShared() {
    static bool shared = false;
    return shared;
}

std::set<int>& failingCloses() {
    static std::set<int> files;
    return files;
}

} // namespace

void beforeOpen(const std::string& path, int nth, std::function<void()> action) {
    pendingAction() = {path, nth, std::move(action)};
}

void failFstat(int nth) {
    fstatsBeforeFailure() = nth;
}

void shareInodeNumbers(bool on) {
    inodeNumbersShared() = on;
}

int withConsoleFailingOnce(const std::function<int()>& run) {
    int writes = 0;
    cookie_io_functions_t io{};
    io.write = [](void* cookie, const char*, std::size_t size) -> ssize_t {
        if ((*static_cast<int*>(cookie))++ == 0) {
            errno = EIO;
            return -1;
        }
        return static_cast<ssize_t>(size);
    };
    FILE* const console = fopencookie(&writes, "w", io);
    // Line by line, as on a terminal: the writes after the failed one go
    // out, and the last flush finds nothing left that fails.
    std::setvbuf(console, nullptr, _IOLBF, BUFSIZ);
    FILE* const saved = stdout;
    stdout = console;
    const int code = run();
    stdout = saved;
    std::fclose(console);
    return code;
}

extern "C" int __real_open64(const char* path, int flags, ...);
extern "C" ssize_t __real_read(int file, void* buffer, std::size_t size);
extern "C" int VEXO_REAL_FSTAT(int file, struct stat* status);
extern "C" int __real_close(int file);

extern "C" int VEXO_WRAP_FSTAT(int file, struct stat* status) {
    if (fstatsBeforeFailure() > 0 && --fstatsBeforeFailure() == 0) {
        errno = EIO;
        return -1;
    }
    const int result = VEXO_REAL_FSTAT(file, status);
    if (result == 0 && inodeNumbersShared()) {
        status->st_ino = 1;
        status->st_dev = static_cast<dev_t>(file);
    }
    return result;
}

extern "C" int __wrap_close(int file) {
    const int closed = __real_close(file);
    if (failingCloses().erase(file) > 0) {
        errno = EIO;
        return -1;
    }
    return closed;
}

extern "C" int __wrap_open64(const char* path, int flags, ...) {
    int mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, int);
        va_end(arguments);
    }
    PendingAction& pending = pendingAction();
    if (pending.opensLeft > 0 && pending.path == path && --pending.opensLeft == 0) {
        pending.action();
    }
    long failAfter = 0;
    int pathAt = 0;
    const bool failing =
        std::sscanf(path, "failing:%ld:%n", &failAfter, &pathAt) == 1 && pathAt > 0;
    const bool once = !failing &&
                      std::sscanf(path, "failing-once:%ld:%n", &failAfter, &pathAt) == 1 &&
                      pathAt > 0;
    const std::string_view closing = "failing-close:";
    const bool failingClose = std::string_view(path).starts_with(closing);
    const std::size_t skipped = failing || once ? pathAt : failingClose ? closing.size() : 0;
    const int file = __real_open64(path + skipped, flags, mode);
    failingReads().erase(file);
    failingCloses().erase(file);
    if (file >= 0 && (failing || once)) {
        failingReads()[file] = {failAfter, once};
    }
    if (file >= 0 && failingClose) {
        failingCloses().insert(file);
    }
    return file;
}

extern "C" ssize_t __wrap_read(int file, void* buffer, std::size_t size) {
    const auto failing = failingReads().find(file);
    if (failing == failingReads().end()) {
        return __real_read(file, buffer, size);
    }
    FailingReads& reads = failing->second;
    if (reads.left == 0) {
        if (reads.once) {
            failingReads().erase(failing);
        }
        errno = EIO;
        return -1;
    }
    const std::size_t wanted = std::min(size, static_cast<std::size_t>(reads.left));
    const ssize_t got = __real_read(file, buffer, wanted);
    reads.left -= got > 0 ? got : 0;
    return got;
}
