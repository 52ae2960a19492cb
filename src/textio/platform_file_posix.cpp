// The POSIX half of the durable writes: open, write and fdatasync, rename,
// and the folder synced after it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "textio/platform_file.h"
#include "textio/text_file.h"

namespace qm4 {

namespace platform_file {

namespace fs = std::filesystem;

namespace {

// Flushes a file's bytes (not its times) to the disk.
int flushToDisk(int fd) {
    told("flush");
#ifdef __APPLE__
    return ::fsync(fd);
#else
    return ::fdatasync(fd);
#endif
}

}  // namespace

std::string writeDurably(const fs::path& file, std::string_view bytes) {
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
    const int synced = syncingEachFile() ? flushToDisk(fd) : 0;
    const int syncError = errno;
    if (::close(fd) != 0 && synced == 0) return reasonOf(errno);
    if (synced != 0) return reasonOf(syncError);
    cleanup.keep = true;
    return {};
}

// The rename is made durable by syncing the folder that holds both names.
std::string replaceDurably(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return reasonOf(errno);
    told("rename");
    if (!syncingEachFile()) return {};
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
}

// Any name the folder takes is stored as it is given.
std::string nameFault(const fs::path&) { return {}; }

// The mode is all a POSIX file carries of the author's marks.
void keepSystemMarks(const fs::path&, const fs::path&) {}

}  // namespace platform_file

Status syncFileSystem(const std::string& path) {
    using platform_file::reasonOf, platform_file::writeError;
    const int fd = ::open(platform_file::toFsPath(path).c_str(), O_RDONLY | O_CLOEXEC);
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
}

}  // namespace qm4
