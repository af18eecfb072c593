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

// A file's identity from its handle alone, so that a name removed meanwhile
// changes nothing: its volume and its ID there. false when the system cannot
// give one, or gives a volume without a serial number or a file without an ID.
bool identityOf(HANDLE file, FILE_ID_INFO& identity) {
    const FILE_ID_128 none{};
    if (GetFileInformationByHandleEx(file, FileIdInfo, &identity, sizeof identity)) {
        return identity.VolumeSerialNumber != 0 &&
               std::memcmp(&identity.FileId, &none, sizeof none) != 0;
    }
    // Systems and file systems without 128-bit IDs.
    BY_HANDLE_FILE_INFORMATION status{};
    if (!GetFileInformationByHandle(file, &status)) {
        return false;
    }
    identity = {status.dwVolumeSerialNumber, {}};
    const std::array<DWORD, 2> index = {status.nFileIndexLow, status.nFileIndexHigh};
    std::memcpy(identity.FileId.Identifier, index.data(), sizeof index);
    return identity.VolumeSerialNumber != 0 &&
           std::memcmp(&identity.FileId, &none, sizeof none) != 0;
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
    FILE_ID_INFO in{};
    FILE_ID_INFO out{};
    if (!identityOf(handleOf(input), in) || !identityOf(handleOf(output), out)) {
        return Sameness::unknown;
    }
    return in.VolumeSerialNumber == out.VolumeSerialNumber &&
                   std::memcmp(&in.FileId, &out.FileId, sizeof in.FileId) == 0
               ? Sameness::same
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
