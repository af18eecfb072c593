#include "file_seam.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <unistd.h>

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

} // namespace

void beforeOpen(const std::string& path, int nth, std::function<void()> action) {
    pendingAction() = {path, nth, std::move(action)};
}

extern "C" int __real_open(const char* path, int flags, ...);
extern "C" ssize_t __real_read(int file, void* buffer, std::size_t size);

extern "C" int __wrap_open(const char* path, int flags, ...) {
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
    const int file = __real_open(path + (failing || once ? pathAt : 0), flags, mode);
    failingReads().erase(file);
    if (file >= 0 && (failing || once)) {
        failingReads()[file] = {failAfter, once};
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
