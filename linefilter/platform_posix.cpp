#include "platform.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glimmerlode {

// A report or an input of more than 2 GiB, or dated after 2038, must open on
// a 32-bit system too.
static_assert(sizeof(off_t) == 8 && sizeof(time_t) == 8, "build with 64-bit files and times");

namespace {

bool statusOf(FileHandle file, struct stat& status) {
    return ::fstat(static_cast<int>(file), &status) == 0;
}

} // namespace

FileHandle openInputFile(const char* path) {
    const int file = ::open(path, O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (file >= 0 && (!statusOf(file, status) || S_ISDIR(status.st_mode))) {
        ::close(file);
        return noFile;
    }
    return file;
}

FileHandle openOutputFile(const char* path) {
    // The permissions that creating the file with fopen would give it.
    return ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
}

Sameness sameFile(FileHandle input, FileHandle output) {
    struct stat in {};
    struct stat out {};
    if (!statusOf(input, in) || !statusOf(output, out)) {
        return Sameness::unknown;
    }
    // An inode number is only unique on its own file system.
    return in.st_dev == out.st_dev && in.st_ino == out.st_ino ? Sameness::same
                                                              : Sameness::different;
}

bool truncateOutputFile(FileHandle output) {
    struct stat status {};
    if (!statusOf(output, status)) {
        return false;
    }
    return !S_ISREG(status.st_mode) || ::ftruncate(static_cast<int>(output), 0) == 0;
}

std::ptrdiff_t readFile(FileHandle input, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(input), buffer, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

bool writeFile(FileHandle output, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(static_cast<int>(output), bytes, size);
        if (written < 0 && errno == EINTR) {
            continue; // GCOVR_EXCL_LINE: a signal with a handler; the program installs none
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool closeFile(FileHandle file) {
    return ::close(static_cast<int>(file)) == 0;
}

bool lineEndsAreCrLf() {
    return false;
}

void placeConsoleAfter(FileHandle output) {
    struct stat console {};
    if (statusOf(STDOUT_FILENO, console) && S_ISREG(console.st_mode) &&
        sameFile(STDOUT_FILENO, output) == Sameness::same) {
        ::lseek(STDOUT_FILENO, 0, SEEK_END);
    }
}

// The twin of keepRunningWhenConsoleCloses in checker/platform_posix.cpp.
void keepRunningWhenConsoleCloses() {
    // The write then fails with EPIPE, and lost console text is judged as any other.
    std::signal(SIGPIPE, SIG_IGN);
}

// The twin of standardOutputIsOpen in checker/platform_posix.cpp: the programs share no code.
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

} // namespace glimmerlode
