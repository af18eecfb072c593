#include "report_file.h"

#include <string_view>

// The library would read a narrow path in the ANSI code page; ours are UTF-8.
std::filesystem::path filePathOf(const char* path) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(path)));
}

std::FILE* openReportFile(const char* path) {
    return _wfopen(filePathOf(path).c_str(), L"rb");
}

bool lineEndsAreCrLf() {
    return true;
}
