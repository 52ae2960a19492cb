// Field texts drawn from fuzz input: raw bytes (malformed UTF-8 included),
// valid UTF-8 mixing Windows-1252 characters, characters outside it and line
// breaks, number texts the readings treat specially, the empty text and very
// long texts.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <string>

namespace qm4fuzz {

inline void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One code point, any valid one, biased towards those with special meaning
// here: line ends, the DOS end-of-file mark, the Windows-1252 upper half and
// its extra characters, the replacement character.
inline char32_t codePoint(FuzzedDataProvider& in) {
    static constexpr std::array<char32_t, 12> kSpecial = {
        '\r', '\n', '\t', 0x1A, 0x00, 0x20AC, 0x0160, 0x2122, 0xFFFD, 0x81, 0x4E2D, 0x1F600};
    switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0:
            return kSpecial[in.ConsumeIntegralInRange<std::size_t>(0, kSpecial.size() - 1)];
        case 1:
            return in.ConsumeIntegralInRange<char32_t>(0x80, 0xFF);
        case 2: {
            const char32_t c = in.ConsumeIntegralInRange<char32_t>(0x100, 0x10FFFF);
            return c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c;
        }
        default:
            return in.ConsumeIntegralInRange<char32_t>(0x20, 0x7E);
    }
}

// Texts that the number readings treat specially.
inline std::string numberText(FuzzedDataProvider& in) {
    static constexpr std::array<const char*, 14> kOdd = {"1E400", "-1E400", "1e-400", "2.5",  "3.5",
                                                         "-0",    " 7 ",    "+.5D2",  "0x10", "62",
                                                         "63",    "31",     "32",     "255.5"};
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return std::to_string(in.ConsumeIntegralInRange(-300, 300));
        case 1:
            return std::to_string(in.ConsumeIntegralInRange(-300, 300)) + "." +
                   std::to_string(in.ConsumeIntegralInRange(0, 999));
        default:
            return kOdd[in.ConsumeIntegralInRange<std::size_t>(0, kOdd.size() - 1)];
    }
}

inline std::string fieldText(FuzzedDataProvider& in, std::size_t maxLength = 40) {
    const int kind = in.ConsumeIntegralInRange(0, 24);
    if (kind == 0) return {};
    if (kind <= 8) return in.ConsumeRandomLengthString(maxLength);
    if (kind <= 16) {
        std::string text;
        const auto count = in.ConsumeIntegralInRange<std::size_t>(0, maxLength);
        for (std::size_t i = 0; i < count && in.remaining_bytes() > 0; ++i) {
            appendUtf8(text, codePoint(in));
        }
        return text;
    }
    if (kind <= 23) return numberText(in);
    // Rarely, as a run holds many fields: a long run, up to 64 KiB, of one
    // character, past every length limit.
    std::string one;
    appendUtf8(one, codePoint(in));
    const auto count = in.ConsumeIntegralInRange<std::size_t>(0, (64 << 10) / one.size());
    std::string text;
    text.reserve(count * one.size());
    for (std::size_t i = 0; i < count; ++i) text += one;
    return text;
}

}  // namespace qm4fuzz
