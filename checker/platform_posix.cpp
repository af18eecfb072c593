#include "platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

} // namespace

OpenOutcome openReportFile(const char* path, ReportHandle& handle, FileIdentity& identity) {
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer, and is
    // refused below; for a regular file it changes nothing.
    const int file = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return OpenOutcome::notOpened;
    }
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(file);
        // A directory opens for reading here; it is no report either.
        return S_ISDIR(status.st_mode) ? OpenOutcome::notOpened : OpenOutcome::notRegular;
    }
    identity = {static_cast<std::uint64_t>(status.st_dev),
                static_cast<std::uint64_t>(status.st_ino),
                static_cast<std::uint64_t>(status.st_size), nanoseconds(status.st_mtim),
                nanoseconds(status.st_ctim)};
    handle = file;
    return OpenOutcome::opened;
}

std::ptrdiff_t readReportFile(ReportHandle handle, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(handle), buffer, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

void closeReportFile(ReportHandle handle) {
    ::close(static_cast<int>(handle));
}

bool lineEndsAreCrLf() {
    return false;
}

// The twin of standardOutputIsOpen in linefilter/platform_posix.cpp: the programs share no code.
bool standardOutputIsOpen() {
    bool outputOpen = true;
    for (int stream = 0; stream <= 2; ++stream) {
        if (::fcntl(stream, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free descriptor: this very one.
            ::open("/dev/null", stream == 0 ? O_RDONLY : O_WRONLY);
            outputOpen = outputOpen && stream != 1;
        }
    }
    return outputOpen;
}

} // namespace vantrel
