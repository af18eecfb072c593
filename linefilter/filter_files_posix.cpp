#include "filter_files.h"

std::filesystem::path filePathOf(const char* path) {
    return path;
}

std::FILE* openInputFile(const char* path) {
    return std::fopen(path, "rb");
}

std::FILE* createOutputFile(const char* path) {
    return std::fopen(path, "wb");
}

bool lineEndsAreCrLf() {
    return false;
}
