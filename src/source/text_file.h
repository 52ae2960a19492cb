// The one place where the core touches files: Windows-1252 text, whole-file
// writes through a temporary file, reads, and path joining.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/expected.h"

namespace qm4 {

// UTF-8 to Windows-1252 bytes; a character the code page cannot hold (or a
// malformed UTF-8 sequence) becomes "?".
std::string toWindows1252(std::string_view utf8);

// The same, turning a UTF-8 text into its bytes where it stands.
void encodeWindows1252InPlace(std::string& text);

// Windows-1252 bytes to UTF-8; the five unassigned bytes map to U+FFFD.
std::string fromWindows1252(std::string_view bytes);

// Writes bytes to a temporary file in the same folder and renames it over
// path, so a failure leaves any earlier file as it was.
Status writeFileAtomically(const std::string& path, std::string_view bytes);

// Reads an ordinary file whole. A folder, a missing file or a file larger
// than maxBytes is an error naming the path.
Expected<std::string> readFileBytes(const std::string& path, std::size_t maxBytes);

// True only for an existing ordinary file (not a folder).
bool isRegularFile(const std::string& path);

// folder + the platform's separator + name.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace qm4
