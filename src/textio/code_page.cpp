// Windows-1252 text: UTF-8 to the code page and back, the escaped form that
// brings any text back exactly, and the lines of a text.
#include <algorithm>
#include <array>

#include "textio/text_file.h"

namespace qm4 {

namespace {

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

}  // namespace qm4
