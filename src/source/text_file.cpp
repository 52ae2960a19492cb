// Windows-1252 conversion, whole-file writes through a temporary file, capped
// reads and path joining: every byte the core puts on disk passes here.
#include "source/text_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace qm4 {

namespace {

namespace fs = std::filesystem;

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

}  // namespace

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

Status writeFileAtomically(const std::string& path, std::string_view bytes) {
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

    const fs::path temporary = temporaryPath(target);
    errno = 0;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return writeError(path, reasonOf(errno));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        const int err = errno;
        fs::remove(temporary, ec);
        return writeError(path, reasonOf(err));
    }
    if (fs::exists(existing)) fs::permissions(temporary, existing.permissions(), ec);
    // filesystem::rename replaces an existing target on every platform,
    // unlike std::rename on Windows.
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return writeError(path, ec.message());
    }
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

std::string joinPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    constexpr char kSeparator = '\\';
#else
    constexpr char kSeparator = '/';
#endif
    if (!folder.empty() && folder.back() == kSeparator) return folder + name;
    return folder + kSeparator + name;
}

}  // namespace qm4
