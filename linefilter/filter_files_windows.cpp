#include "filter_files.h"

#include <string_view>

// The library would read a narrow path in the ANSI code page; ours are UTF-8.
std::filesystem::path filePathOf(const char* path) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(path)));
}

std::FILE* openInputFile(const char* path) {
    return _wfopen(filePathOf(path).c_str(), L"rb");
}

std::FILE* createOutputFile(const char* path) {
    return _wfopen(filePathOf(path).c_str(), L"wb");
}

bool lineEndsAreCrLf() {
    return true;
}
