// Windows-1252 conversion, whole-file writes through a temporary file, capped
// reads and path joining: every byte the core puts on disk passes here.
#include "textio/text_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qm4 {

namespace {

namespace fs = std::filesystem;

std::atomic<bool> syncEachFile{true};
std::atomic<DurableWriteWatcher> durableWriteWatcher{nullptr};

void told(const char* step) {
    if (const DurableWriteWatcher watcher = durableWriteWatcher.load()) watcher(step);
}

// Code points of the bytes 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i] and advances i past it; a malformed
// sequence (bad lead byte, missing continuation, overlong form, surrogate,
// beyond U+10FFFF) gives U+FFFD and consumes one byte.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t extra = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        minimum = 0x10000;
    }
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return kReplacement;
    }
    char32_t cp = lead & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t b = 0; b < kHighControls.size(); ++b) {
        if (kHighControls[b] != 0 && kHighControls[b] == cp) return static_cast<char>(0x80 + b);
    }
    return '?';
}

// Paths are UTF-8 inside the program; going through char8_t keeps them so on
// Windows, where a plain std::string would be read in the ANSI code page.
fs::path toFsPath(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string reasonOf(int err) {
    if (err == 0) return "the system gave no reason";
    return std::generic_category().message(err);
}

Error writeError(const std::string& path, const std::string& reason) {
    return Error{"Could not write \"" + path + "\": " + reason + "."};
}

Error readError(const std::string& path, const std::string& reason) {
    return Error{"Could not read \"" + path + "\": " + reason + "."};
}

// The target's own name with a random suffix, in the target's folder, so the
// final rename never crosses file systems.
fs::path temporaryPath(const fs::path& target) {
    static std::mt19937_64 generator{std::random_device{}()};
    constexpr char kHex[] = "0123456789abcdef";
    std::string suffix = ".";
    auto bits = generator();
    for (int k = 0; k < 12; ++k, bits >>= 4) suffix += kHex[bits & 0xF];
    fs::path temporary = target;
    temporary += suffix + ".tmp";
    return temporary;
}

// Removes, when it goes out of scope, a file that was not finished.
struct RemoveUnlessKept {
    const fs::path& file;
    bool keep = false;
    ~RemoveUnlessKept() {
        std::error_code ignored;
        if (!keep) fs::remove(file, ignored);
    }
};

#ifndef _WIN32
// Flushes a file's bytes (not its times) to the disk.
int flushToDisk(int fd) {
    told("flush");
#ifdef __APPLE__
    return ::fsync(fd);
#else
    return ::fdatasync(fd);
#endif
}
#endif

// Writes bytes to a new file and flushes them to the disk before it returns,
// so a rename that follows never puts an empty file in place of a good one
// after a power cut. A write that fails leaves no file behind. Returns the
// reason of a failure, or nothing.
std::string writeDurably(const fs::path& file, std::string_view bytes) {
#ifdef _WIN32
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
#else
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return reasonOf(errno);
    RemoveUnlessKept cleanup{file};
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const int err = written < 0 ? errno : EIO;
            ::close(fd);
            return reasonOf(err);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    const int synced = syncEachFile ? flushToDisk(fd) : 0;
    const int syncError = errno;
    if (::close(fd) != 0 && synced == 0) return reasonOf(errno);
    if (synced != 0) return reasonOf(syncError);
    cleanup.keep = true;
    return {};
#endif
}

// Renames the flushed file over the target and makes the rename itself
// durable: on Windows with a write-through move, elsewhere by syncing the
// folder that holds both names. Returns the reason of a failure, or nothing.
std::string replaceDurably(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
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
#else
    if (::rename(from.c_str(), to.c_str()) != 0) return reasonOf(errno);
    told("rename");
    if (!syncEachFile) return {};
    const fs::path folder = to.has_parent_path() ? to.parent_path() : fs::path(".");
    // Some file systems cannot sync a folder; the file's bytes are on the
    // disk already, so that is not worth failing the save for.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        told("folder sync");
        ::fsync(fd);
        ::close(fd);
    }
    return {};
#endif
}

// Why the system would refuse the file's name or store it under another
// one, or nothing: Windows alone has such names.
std::string nameFault(const fs::path& file) {
#ifdef _WIN32
    const std::u8string name = file.filename().u8string();
    return windowsNameFault(std::string(name.begin(), name.end()));
#else
    (void)file;
    return {};
#endif
}

// The replacement keeps what the author set on the earlier file: its mode
// and, on Windows, its hidden and system marks.
void keepMarks(const fs::path& earlier, const fs::path& replacement, fs::perms mode) {
    std::error_code ignored;
    fs::permissions(replacement, mode, ignored);
#ifdef _WIN32
    const DWORD marks = GetFileAttributesW(earlier.c_str());
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (marks != INVALID_FILE_ATTRIBUTES && (marks & kKept) != 0)
        SetFileAttributesW(replacement.c_str(),
                           GetFileAttributesW(replacement.c_str()) | (marks & kKept));
#else
    (void)earlier;
#endif
}
}  // namespace

bool equalsIgnoringCase(std::string_view text, std::string_view word) {
    return std::equal(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

void encodeWindows1252InPlace(std::string& text) {
    // Every character takes at least as many UTF-8 bytes as it gives, so the
    // code page bytes never overtake the text still to be read.
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size();) {
        // Plain ASCII, nearly all of a source file, moves a run at a time.
        std::size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80) ++run;
        if (out != i) std::copy(text.begin() + i, text.begin() + run, text.begin() + out);
        out += run - i;
        i = run;
        if (i < text.size()) text[out++] = windows1252Byte(nextCodePoint(text, i));
    }
    text.resize(out);
}

std::string toWindows1252(std::string_view utf8) {
    std::string bytes(utf8);
    encodeWindows1252InPlace(bytes);
    return bytes;
}

std::string fromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0) {
            const char32_t cp = kHighControls[b - 0x80];
            appendUtf8(out, cp != 0 ? cp : kReplacement);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

std::string toEscapedWindows1252(std::string_view utf8) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    const auto escape = [&](std::string_view raw) {
        for (const char ch : raw) {
            const auto b = static_cast<unsigned char>(ch);
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        }
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        const char32_t cp = nextCodePoint(utf8, i);
        const std::string_view raw = utf8.substr(start, i - start);
        const bool malformed = cp == kReplacement && raw.size() == 1;
        const char byte = windows1252Byte(cp);
        if (cp < 0x20 || cp == 0x7F || cp == '%' || malformed || (byte == '?' && cp != '?'))
            escape(raw);
        else
            out += byte;
    }
    return out;
}

std::optional<std::string> fromEscapedWindows1252(std::string_view bytes) {
    const auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '%') {
            out += fromWindows1252(bytes.substr(i, 1));
            continue;
        }
        const int high = i + 2 < bytes.size() ? hexValue(bytes[i + 1]) : -1;
        const int low = high < 0 ? -1 : hexValue(bytes[i + 2]);
        if (low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
    }
    return lines;
}

Expected<PendingFile> PendingFile::write(const std::string& path, std::string_view bytes) {
    const fs::path target = toFsPath(path);
    std::error_code ec;
    if (fs::is_directory(target, ec)) return writeError(path, "it is a folder");
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) return writeError(path, "its folder does not exist");
    // A file the author marked read-only stays as it is, even for a user whom
    // the system would let replace it.
    const auto existing = fs::status(target, ec);
    constexpr auto kAnyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (fs::exists(existing) && (existing.permissions() & kAnyWrite) == fs::perms::none) {
        return writeError(path, "the file is read-only");
    }
    if (const std::string fault = nameFault(target); !fault.empty()) return writeError(path, fault);

    PendingFile pending;
    pending.path_ = path;
    const std::u8string temporaryName = temporaryPath(target).u8string();
    pending.temporary_.assign(temporaryName.begin(), temporaryName.end());
    const fs::path temporary = toFsPath(pending.temporary_);
    if (const std::string failed = writeDurably(temporary, bytes); !failed.empty())
        return writeError(path, failed);
    if (fs::exists(existing)) keepMarks(target, temporary, existing.permissions());
    return pending;
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : path_(std::move(other.path_)), temporary_(std::exchange(other.temporary_, {})) {}

PendingFile::~PendingFile() {
    if (temporary_.empty()) return;
    std::error_code ignored;
    fs::remove(toFsPath(temporary_), ignored);
}

Status PendingFile::commit() {
    const fs::path target = toFsPath(path_);
    if (const std::string failed = replaceDurably(toFsPath(temporary_), target); !failed.empty()) {
        // A folder made under the name since write() checked it.
        std::error_code ec;
        return writeError(path_, fs::is_directory(target, ec) ? "it is a folder" : failed);
    }
    temporary_.clear();
    return okStatus();
}

void setSyncEachFile(bool on) { syncEachFile = on; }

void watchDurableWrites(DurableWriteWatcher watcher) { durableWriteWatcher = watcher; }

Status syncFileSystem(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return okStatus();
#else
    const int fd = ::open(toFsPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return writeError(path, reasonOf(errno));
#ifdef __linux__
    const int synced = ::syncfs(fd);
#else
    ::sync();
    const int synced = 0;
#endif
    const int err = errno;
    ::close(fd);
    if (synced != 0) return writeError(path, reasonOf(err));
    return okStatus();
#endif
}

Status writeFileAtomically(const std::string& path, std::string_view bytes) {
    auto pending = PendingFile::write(path, bytes);
    if (!pending) return pending.error();
    return pending.value().commit();
}

Status writeNewFile(const std::string& path, std::string_view bytes) {
    const fs::path target = toFsPath(path);
    std::string failed = nameFault(target);
    if (failed.empty()) failed = writeDurably(target, bytes);
    if (!failed.empty()) return writeError(path, failed);
    return okStatus();
}

Expected<std::string> readFileBytes(const std::string& path, std::size_t maxBytes) {
    const fs::path source = toFsPath(path);
    std::error_code ec;
    const auto status = fs::status(source, ec);
    if (!fs::exists(status)) return readError(path, "there is no such file");
    if (fs::is_directory(status)) return readError(path, "it is a folder");
    if (!fs::is_regular_file(status)) return readError(path, "it is not an ordinary file");

    errno = 0;
    std::ifstream in(source, std::ios::binary);
    if (!in) return readError(path, reasonOf(errno));
    std::string bytes;
    constexpr std::size_t kChunk = 1 << 16;
    while (in) {
        const std::size_t before = bytes.size();
        const std::size_t want = std::min(kChunk, maxBytes + 1 - before);
        bytes.resize(before + want);
        in.read(bytes.data() + before, static_cast<std::streamsize>(want));
        bytes.resize(before + static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes) {
            return readError(path, "it is larger than " + std::to_string(maxBytes) + " bytes");
        }
    }
    if (in.bad()) return readError(path, reasonOf(errno));
    return bytes;
}

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(toFsPath(path), ec);
}

std::string quotedWhereBlank(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

std::string joinPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    constexpr std::string_view kSeparators = "\\/";
#else
    constexpr std::string_view kSeparators = "/";
#endif
    if (!folder.empty() && kSeparators.find(folder.back()) != std::string_view::npos)
        return folder + name;
    return folder + kSeparators.front() + name;
}

std::size_t windowsDeviceNameLength(std::string_view fileName) {
    std::string_view stem = fileName.substr(0, fileName.find('.'));
    stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (equalsIgnoringCase(stem, device)) return stem.size();
    const std::string_view port = stem.substr(0, 3),
                           number = stem.substr(std::min<std::size_t>(3, stem.size()));
    const bool digit = number.size() == 1 && number[0] >= '0' && number[0] <= '9';
    // Superscript one, two and three count as digits here.
    const bool superscript = number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
    if ((equalsIgnoringCase(port, "COM") || equalsIgnoringCase(port, "LPT")) &&
        (digit || superscript))
        return stem.size();
    return 0;
}

std::string windowsNameFault(std::string_view fileName) {
    for (const char c : fileName) {
        if (static_cast<unsigned char>(c) < 0x20)
            return "a file name on Windows cannot hold a control character";
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return std::string("a file name on Windows cannot hold \"") + c + '"';
    }
    if (const std::size_t device = windowsDeviceNameLength(fileName))
        return "Windows keeps the name " + std::string(fileName.substr(0, device)) +
               " for a device";
    if (fileName.ends_with('.') || fileName.ends_with(' '))
        return "Windows drops a dot or blank at the end of a file name";
    return {};
}

#ifdef _WIN32
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
#endif

}  // namespace qm4
