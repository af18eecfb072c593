#include "platform.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

// A report or an input of more than 2 GiB, or dated after 2038, must open on
// a 32-bit system too.
static_assert(sizeof(off_t) == 8 && sizeof(time_t) == 8, "build with 64-bit files and times");

namespace {

// Whether path names a file that is neither a regular file nor a directory:
// one that fails to open for what it is (a socket, a device without its
// driver). It only chooses the message: the report is refused either way.
bool namesOtherKind(const char* path) {
    struct stat status {};
    return ::stat(path, &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

} // namespace

OpenOutcome openReportFile(const char* path, ReportHandle& handle) {
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer, and is
    // refused below; for a regular file it changes nothing.
    const int file = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return namesOtherKind(path) ? OpenOutcome::notRegular : OpenOutcome::notOpened;
    }
    struct stat status {};
    const bool told = ::fstat(file, &status) == 0;
    if (!told || !S_ISREG(status.st_mode)) {
        ::close(file);
        // A file whose kind cannot be told is not known to be the report; a
        // directory opens for reading here, and is no report either.
        return !told || S_ISDIR(status.st_mode) ? OpenOutcome::notOpened : OpenOutcome::notRegular;
    }
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

// The twin of keepRunningWhenConsoleCloses in linefilter/platform_posix.cpp.
void keepRunningWhenConsoleCloses() {
    // The write then fails with EPIPE, and lost console text is judged as any other.
    std::signal(SIGPIPE, SIG_IGN);
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
