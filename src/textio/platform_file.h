// What the durable writes ask of the operating system. The POSIX half is in
// platform_file_posix.cpp, the Windows half in platform_file_windows.cpp;
// the build takes the one that fits. Only textio's own files include this.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "model/expected.h"

namespace qm4::platform_file {

// Paths are UTF-8 inside the program; going through char8_t keeps them so on
// Windows, where a plain std::string would be read in the ANSI code page.
std::filesystem::path toFsPath(const std::string& path);

// The system's text for an errno value.
std::string reasonOf(int err);

// "Could not write" the path, for the reason given.
Error writeError(const std::string& path, const std::string& reason);

// Tells the watcher of durable writes, if any, that a step is taken.
void told(const char* step);

// False while a batch has turned the per-file flush and folder sync off.
bool syncingEachFile();

// Writes bytes to a new file and flushes them to the disk before it returns,
// so a rename that follows never puts an empty file in place of a good one
// after a power cut. A write that fails leaves no file behind. Returns the
// reason of a failure, or nothing.
std::string writeDurably(const std::filesystem::path& file, std::string_view bytes);

// Renames the flushed file over the target and makes the rename itself
// durable. Returns the reason of a failure, or nothing.
std::string replaceDurably(const std::filesystem::path& from, const std::filesystem::path& to);

// Why the system would refuse the file's name or store it under another
// one, or nothing.
std::string nameFault(const std::filesystem::path& file);

// Gives the replacement the marks beyond its mode that the author set on the
// earlier file.
void keepSystemMarks(const std::filesystem::path& earlier,
                     const std::filesystem::path& replacement);

// Removes, when it goes out of scope, a file that was not finished.
struct RemoveUnlessKept {
    const std::filesystem::path& file;
    bool keep = false;
    ~RemoveUnlessKept() {
        std::error_code ignored;
        if (!keep) std::filesystem::remove(file, ignored);
    }
};

}  // namespace qm4::platform_file
