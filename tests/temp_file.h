#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

// A folder of this test process's own under the temporary directory (TMPDIR),
// made on first use and removed with everything in it when the process ends,
// whether its tests passed or not.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder() {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do {
            path = base / ("vexo-tests-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path));
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

inline const std::filesystem::path& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path;
}

// A file in the scratch folder, holding exactly content.
inline std::string writeTempFile(std::string_view name, std::string_view content) {
    const std::filesystem::path path = scratchFolder() / name;
    std::ofstream(path, std::ios::binary).write(content.data(), std::ssize(content));
    return path.string();
}

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
