#include "report_file.h"

#include <string_view>
#include <sys/stat.h>

// The library would read a narrow path in the ANSI code page; ours are UTF-8.
std::filesystem::path filePathOf(const char* path) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(path)));
}

std::FILE* openReportFile(const char* path) {
    return _wfopen(filePathOf(path).c_str(), L"rb");
}

bool isRegularFile(std::FILE* file) {
    struct _stat64 status {};
    return _fstat64(_fileno(file), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
}

bool lineEndsAreCrLf() {
    return true;
}
