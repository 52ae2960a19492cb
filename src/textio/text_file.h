// The one place where the core touches files: Windows-1252 text, whole-file
// writes (through a temporary file, or straight into a fresh folder), reads,
// and path joining. Written in code_page.cpp, file_names.cpp, text_file.cpp
// and the platform's half of the durable writes (platform_file.h).
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

// What a test watches of the durable writes: each step named as it is taken
// ("flush" of a file's bytes to the disk, "rename" into place, "folder sync").
// Nothing watches by default.
using DurableWriteWatcher = void (*)(const char* step);
void watchDurableWrites(DurableWriteWatcher watcher);

// PendingFile::write and commit in one step.
Status writeFileAtomically(const std::string& path, std::string_view bytes);

// Makes a file that must not exist yet and writes the bytes into it in one
// go, with no temporary file: for a fresh folder that is itself renamed into
// place when all its files are written. Flushed to the disk as
// writeFileAtomically's files are; a failed write leaves no file behind.
Status writeNewFile(const std::string& path, std::string_view bytes);

// Reads an ordinary file whole. A folder, a missing file or a file larger
// than maxBytes is an error naming the path.
Expected<std::string> readFileBytes(const std::string& path, std::size_t maxBytes);

// True only for an existing ordinary file (not a folder).
bool isRegularFile(const std::string& path);

// A path as one word of a command line: in double quotes when it holds a
// blank.
std::string quotedWhereBlank(const std::string& path);

// Equal but for the letter case of ASCII letters.
bool equalsIgnoringCase(std::string_view text, std::string_view word);

// folder + the platform's separator + name; on Windows a folder that ends
// in "/" (as Qt writes C:/) takes no second one.
std::string joinPath(const std::string& folder, const std::string& name);

// The length of the device name a file name begins with, or 0: Windows
// takes CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9 and the console's
// CONIN$ and CONOUT$ for devices in any letter case, blanks or an extension
// after them included ("con .txt"), and opens the device instead of a file.
std::size_t windowsDeviceNameLength(std::string_view fileName);

// Why Windows would refuse a file name (the last part of a path) or store
// it under another one, or nothing: a character it cannot hold, a device
// name, a dot or blank at the end (which it drops). Writes on Windows
// refuse such a name before they touch the disk.
std::string windowsNameFault(std::string_view fileName);

#ifdef _WIN32
// The system's text for a Windows error code, as UTF-8 without the period
// and line end after it; language 0 is the user's own.
std::string windowsErrorText(unsigned long code, unsigned short language = 0);
#endif

}  // namespace qm4
