// File names and paths: joining, quoting for a command line, and the names
// Windows refuses or reads as devices.
#include <algorithm>
#include <cctype>

#include "textio/text_file.h"

namespace qm4 {

bool equalsIgnoringCase(std::string_view text, std::string_view word) {
    return std::equal(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
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

}  // namespace qm4
