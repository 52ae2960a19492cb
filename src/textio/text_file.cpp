// Whole-file writes through a temporary file, fresh files, capped reads: every
// byte the core puts on disk passes here, and the platform's half of
// platform_file.h makes each write durable.
#include "textio/text_file.h"

#include <atomic>
#include <cerrno>
#include <fstream>
#include <random>
#include <utility>

#include "textio/platform_file.h"

namespace qm4 {

namespace platform_file {

namespace {

std::atomic<bool> syncEachFile{true};
std::atomic<DurableWriteWatcher> durableWriteWatcher{nullptr};

}  // namespace

std::filesystem::path toFsPath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string reasonOf(int err) {
    if (err == 0) return "the system gave no reason";
    return std::generic_category().message(err);
}

Error writeError(const std::string& path, const std::string& reason) {
    return Error{"Could not write \"" + path + "\": " + reason + "."};
}

void told(const char* step) {
    if (const DurableWriteWatcher watcher = durableWriteWatcher.load()) watcher(step);
}

bool syncingEachFile() { return syncEachFile; }

}  // namespace platform_file

namespace {

namespace fs = std::filesystem;
using platform_file::nameFault;
using platform_file::reasonOf;
using platform_file::replaceDurably;
using platform_file::toFsPath;
using platform_file::writeDurably;
using platform_file::writeError;

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

// The replacement keeps what the author set on the earlier file: its mode
// and the marks the system has beside it.
void keepMarks(const fs::path& earlier, const fs::path& replacement, fs::perms mode) {
    std::error_code ignored;
    fs::permissions(replacement, mode, ignored);
    platform_file::keepSystemMarks(earlier, replacement);
}

}  // namespace

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

void setSyncEachFile(bool on) { platform_file::syncEachFile = on; }

void watchDurableWrites(DurableWriteWatcher watcher) {
    platform_file::durableWriteWatcher = watcher;
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

}  // namespace qm4
