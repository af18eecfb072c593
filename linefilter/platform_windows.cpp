#include "platform.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <io.h>
#include <string>
#include <windows.h>

namespace glimmerlode {

namespace {

// widePathOf and standardOutputIsOpen are the twins of those in
// checker/platform_windows.cpp: the programs share no code.
// Paths are UTF-8; the system takes UTF-16. Empty when the path is not UTF-8.
std::wstring widePathOf(const char* path) {
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length <= 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide.data(),
                                           length) != length) {
        return {};
    }
    wide.pop_back(); // the terminator counted by the conversion
    return wide;
}

// Both files are opened sharing everything, so that the output opens even
// where it is the input, and the two can be compared.
FileHandle openFile(const char* path, DWORD access, DWORD disposition) {
    const std::wstring widePath = widePathOf(path);
    if (widePath.empty()) {
        return noFile;
    }
    // A directory does not open without backup semantics, as it should not.
    const HANDLE file = CreateFileW(widePath.c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? noFile : reinterpret_cast<FileHandle>(file);
}

HANDLE handleOf(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

} // namespace

FileHandle openInputFile(const char* path) {
    return openFile(path, GENERIC_READ, OPEN_EXISTING);
}

FileHandle openOutputFile(const char* path) {
    return openFile(path, GENERIC_WRITE, OPEN_ALWAYS);
}

namespace {

// The identities of two files from their handles alone, so that a name
// removed meanwhile changes nothing: each one's volume serial number and its
// ID there, both by the same query (a 128-bit ID and a 64-bit index are not
// comparable). false when the system cannot give them, or gives a file
// without an ID.
bool identitiesOf(HANDLE first, HANDLE second, std::array<FILE_ID_INFO, 2>& identities) {
    const auto byIdInfo = [](HANDLE file, FILE_ID_INFO& identity) {
        return GetFileInformationByHandleEx(file, FileIdInfo, &identity, sizeof identity) != 0;
    };
    // Systems and file systems without 128-bit IDs.
    const auto byIndex = [](HANDLE file, FILE_ID_INFO& identity) {
        BY_HANDLE_FILE_INFORMATION status{};
        if (!GetFileInformationByHandle(file, &status)) {
            return false;
        }
        identity = {status.dwVolumeSerialNumber, {}};
        const std::array<DWORD, 2> index = {status.nFileIndexLow, status.nFileIndexHigh};
        std::memcpy(identity.FileId.Identifier, index.data(), sizeof index);
        return true;
    };
    const bool told = (byIdInfo(first, identities[0]) && byIdInfo(second, identities[1])) ||
                      (byIndex(first, identities[0]) && byIndex(second, identities[1]));
    const FILE_ID_128 none{};
    return told && std::memcmp(&identities[0].FileId, &none, sizeof none) != 0 &&
           std::memcmp(&identities[1].FileId, &none, sizeof none) != 0;
}

// Whether the file is a disk file; told is false when the system cannot say.
bool isDiskFile(HANDLE file, bool& told) {
    const DWORD type = GetFileType(file);
    told = told && (type != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR);
    return type == FILE_TYPE_DISK;
}

} // namespace

Sameness sameFile(FileHandle input, FileHandle output) {
    bool told = true;
    const bool inputOnDisk = isDiskFile(handleOf(input), told);
    const bool outputOnDisk = isDiskFile(handleOf(output), told);
    if (!told) {
        return Sameness::unknown;
    }
    // A device such as NUL, or a pipe, is not a disk file, and is never emptied.
    if (!inputOnDisk || !outputOnDisk) {
        return Sameness::different;
    }
    std::array<FILE_ID_INFO, 2> ids{};
    if (!identitiesOf(handleOf(input), handleOf(output), ids)) {
        return Sameness::unknown;
    }
    // One file has one ID: two IDs are two files, on whatever volumes. One ID
    // on two volumes is two files too, but only a volume with a serial number
    // tells which it is on (Wine gives none for some file systems, and none
    // once the name used to open the file is gone).
    if (std::memcmp(&ids[0].FileId, &ids[1].FileId, sizeof ids[0].FileId) != 0) {
        return Sameness::different;
    }
    if (ids[0].VolumeSerialNumber == 0 || ids[1].VolumeSerialNumber == 0) {
        return Sameness::unknown;
    }
    return ids[0].VolumeSerialNumber == ids[1].VolumeSerialNumber ? Sameness::same
                                                                  : Sameness::different;
}

bool truncateOutputFile(FileHandle output) {
    // A device such as NUL or CON, or a pipe, is no disk file.
    return GetFileType(handleOf(output)) != FILE_TYPE_DISK || SetEndOfFile(handleOf(output));
}

std::ptrdiff_t readFile(FileHandle input, char* buffer, std::size_t size) {
    DWORD got = 0;
    if (!ReadFile(handleOf(input), buffer, static_cast<DWORD>(size), &got, nullptr)) {
        // A pipe whose writer has closed it has come to its end.
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return static_cast<std::ptrdiff_t>(got);
}

bool writeFile(FileHandle output, const char* bytes, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
        if (!WriteFile(handleOf(output), bytes, piece, &written, nullptr) || written == 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool closeFile(FileHandle file) {
    return CloseHandle(handleOf(file)) != 0;
}

bool lineEndsAreCrLf() {
    return true;
}

void placeConsoleAfter(FileHandle output) {
    const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    if (console != nullptr && console != INVALID_HANDLE_VALUE &&
        sameFile(reinterpret_cast<FileHandle>(console), output) == Sameness::same) {
        SetFilePointerEx(console, LARGE_INTEGER{}, nullptr, FILE_END);
    }
}

// Windows raises no signal for a closed pipe: the write fails, and that is all.
void keepRunningWhenConsoleCloses() {}

// The program opens files as handles, never as the C library's descriptors, so
// a closed standard stream cannot be handed out again: there is nothing to hold.
bool standardOutputIsOpen() {
    const int stream = _fileno(stdout);
    return stream >= 0 && _get_osfhandle(stream) >= 0;
}

} // namespace glimmerlode
