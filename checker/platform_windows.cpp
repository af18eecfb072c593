#include "platform.h"

#include <cstdio>
#include <io.h>
#include <string>
#include <windows.h>

namespace vantrel {

namespace {

// widePathOf and standardOutputIsOpen are the twins of those in
// linefilter/platform_windows.cpp: the programs share no code.
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

} // namespace

OpenOutcome openReportFile(const char* path, ReportHandle& handle) {
    const std::wstring widePath = widePathOf(path);
    // A directory does not open without backup semantics: notOpened, as it should.
    const HANDLE file = widePath.empty()
                            ? INVALID_HANDLE_VALUE
                            : CreateFileW(widePath.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return OpenOutcome::notOpened;
    }
    // A device such as NUL or CON, or a pipe, is no disk file; a file whose
    // kind cannot be told is not known to be the report.
    const DWORD type = GetFileType(file);
    const bool told = type != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
    if (type != FILE_TYPE_DISK) {
        CloseHandle(file);
        return told ? OpenOutcome::notRegular : OpenOutcome::notOpened;
    }
    handle = reinterpret_cast<ReportHandle>(file);
    return OpenOutcome::opened;
}

std::ptrdiff_t readReportFile(ReportHandle handle, char* buffer, std::size_t size) {
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(size), &got,
                  nullptr)) {
        return -1;
    }
    return static_cast<std::ptrdiff_t>(got);
}

void closeReportFile(ReportHandle handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

bool lineEndsAreCrLf() {
    return true;
}

// Windows raises no signal for a closed pipe: the write fails, and that is all.
void keepRunningWhenConsoleCloses() {}

// The programs open files as handles, never as the C library's descriptors, so
// a closed standard stream cannot be handed out again: there is nothing to hold.
bool standardOutputIsOpen() {
    const int stream = _fileno(stdout);
    return stream >= 0 && _get_osfhandle(stream) >= 0;
}

} // namespace vantrel
