#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

// A file in a directory of this test process's own, holding exactly content.
inline std::string writeTempFile(std::string_view name, std::string_view content) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vexo-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary).write(content.data(), std::ssize(content));
    return path.string();
}

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
