// The one place where the core touches files: Windows-1252 text, whole-file
// writes through a temporary file, reads, and path joining.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/expected.h"

namespace qm4 {

// UTF-8 to Windows-1252 bytes; a character the code page cannot hold (or a
// malformed UTF-8 sequence) becomes "?".
std::string toWindows1252(std::string_view utf8);

// The same, turning a UTF-8 text into its bytes where it stands.
void encodeWindows1252InPlace(std::string& text);

// Windows-1252 bytes to UTF-8; the five unassigned bytes map to U+FFFD.
std::string fromWindows1252(std::string_view bytes);

// Free text that must come back exactly, as Windows-1252 bytes: a character
// the code page holds stands as itself; "%", control characters and every
// other character are written as "%" and two hex digits per UTF-8 byte.
std::string toEscapedWindows1252(std::string_view utf8);

// The reverse; nothing for a "%" that two hex digits do not follow.
std::optional<std::string> fromEscapedWindows1252(std::string_view bytes);

// The lines of a text whose lines end in CR LF, LF or a lone CR; a last line
// without an end counts too.
std::vector<std::string_view> splitLines(std::string_view text);

// A file written in two steps: write() puts the bytes into a temporary file
// in the target's folder and flushes them to the disk; commit() renames it
// over the target and syncs the folder. A failure or a power cut leaves
// either the earlier file or the new one, whole; a pending file that is
// never committed is removed. Several files can thus be written first and
// replaced only when all of them are ready.
class PendingFile {
  public:
    static Expected<PendingFile> write(const std::string& path, std::string_view bytes);
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    ~PendingFile();
    Status commit();

  private:
    PendingFile() = default;
    std::string path_;
    std::string temporary_;
};

// A batch that writes thousands of files turns the per-file flush to the
// disk and the folder sync off, and syncs the file system once at the end
// with syncFileSystem. Files are still written whole and renamed into place.
void setSyncEachFile(bool on);

// Flushes everything written to the file system that holds the path.
Status syncFileSystem(const std::string& path);

// PendingFile::write and commit in one step.
Status writeFileAtomically(const std::string& path, std::string_view bytes);

// Reads an ordinary file whole. A folder, a missing file or a file larger
// than maxBytes is an error naming the path.
Expected<std::string> readFileBytes(const std::string& path, std::size_t maxBytes);

// True only for an existing ordinary file (not a folder).
bool isRegularFile(const std::string& path);

// A path as one word of a command line: in double quotes when it holds a
// blank.
std::string quotedWhereBlank(const std::string& path);

// folder + the platform's separator + name.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace qm4
