// The Windows half of the durable writes: CreateFileW, WriteFile and
// FlushFileBuffers, a write-through move that waits out a scanner holding the
// file, the names Windows refuses, the hidden and system marks, and the
// system's text for an error code.
#include <windows.h>

#include <algorithm>

#include "textio/platform_file.h"
#include "textio/text_file.h"

namespace qm4 {

namespace platform_file {

namespace fs = std::filesystem;

std::string writeDurably(const fs::path& file, std::string_view bytes) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return windowsErrorText(GetLastError());
    RemoveUnlessKept cleanup{file};
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) {
            const DWORD err = GetLastError();
            CloseHandle(handle);
            return windowsErrorText(err);
        }
        bytes.remove_prefix(written);
    }
    told("flush");
    const bool flushed = FlushFileBuffers(handle);
    const DWORD err = GetLastError();
    CloseHandle(handle);
    if (!flushed) return windowsErrorText(err);
    cleanup.keep = true;
    return {};
}

// The rename is made durable by a write-through move.
std::string replaceDurably(const fs::path& from, const fs::path& to) {
    // A virus scanner or the search indexer may hold the new file or the
    // earlier one open for a moment: the move is tried for about a second.
    constexpr int kAttempts = 20;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            told("rename");
            return {};
        }
        const DWORD err = GetLastError();
        std::error_code ec;
        const bool busy = (err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION ||
                           err == ERROR_LOCK_VIOLATION) &&
                          !fs::is_directory(to, ec);
        if (!busy) return windowsErrorText(err);
        if (attempt == kAttempts)
            return windowsErrorText(err) + "; another program may have the file open";
        Sleep(50);
    }
}

std::string nameFault(const fs::path& file) {
    const std::u8string name = file.filename().u8string();
    return windowsNameFault(std::string(name.begin(), name.end()));
}

void keepSystemMarks(const fs::path& earlier, const fs::path& replacement) {
    const DWORD marks = GetFileAttributesW(earlier.c_str());
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (marks != INVALID_FILE_ATTRIBUTES && (marks & kKept) != 0)
        SetFileAttributesW(replacement.c_str(),
                           GetFileAttributesW(replacement.c_str()) | (marks & kKept));
}

}  // namespace platform_file

// Every write is flushed to the disk as it is made: there is nothing left
// to sync at the end of a batch.
Status syncFileSystem(const std::string&) { return okStatus(); }

std::string windowsErrorText(unsigned long code, unsigned short language) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, language, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text, length);
    LocalFree(text);
    while (!wide.empty() &&
           std::wstring_view(L" .\r\n").find(wide.back()) != std::wstring_view::npos)
        wide.pop_back();
    if (wide.empty()) return "Windows error " + std::to_string(code);
    // Not the ANSI code page: on a French system that would put "Acc\xE8s" into UTF-8 text.
    const int size = static_cast<int>(wide.size());
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

}  // namespace qm4
