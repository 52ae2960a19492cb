// Number readings and text forms. Everything here is locale-independent
// (std::from_chars / std::to_chars), since the window's toolkit switches the
// C library to the user's locale.
#include "model/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace qm4 {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Converts a cleaned decimal text (sign, digits, point, exponent with 'e')
// to a double. Out of range gives nothing; the caller decides what that means.
std::optional<double> convert(const std::string& clean) {
    std::string_view body = clean;
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    double value = 0;
    auto [end, ec] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != body.data() + body.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// True when a number that failed to convert as out of range is too large
// (rather than too small): its decimal exponent is positive.
bool overflows(const std::string& clean) {
    long long position = 0;  // decimal exponent of the first significant digit
    bool seenSignificant = false, afterPoint = false;
    long long leadingZerosAfterPoint = 0, integerDigits = 0;
    std::size_t i = 0;
    if (i < clean.size() && (clean[i] == '+' || clean[i] == '-')) ++i;
    for (; i < clean.size() && clean[i] != 'e'; ++i) {
        if (clean[i] == '.') {
            afterPoint = true;
        } else if (!seenSignificant && clean[i] == '0') {
            if (afterPoint) ++leadingZerosAfterPoint;
        } else {
            seenSignificant = true;
            if (!afterPoint) ++integerDigits;
        }
    }
    position = integerDigits > 0 ? integerDigits : -leadingZerosAfterPoint;
    long long exponent = 0;
    if (i < clean.size()) {
        ++i;
        bool negativeExponent = false;
        if (clean[i] == '+' || clean[i] == '-') negativeExponent = clean[i++] == '-';
        for (; i < clean.size(); ++i) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (clean[i] - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    return position + exponent > 0;
}

}  // namespace

double leadingNumber(std::string_view text) {
    std::string clean;
    bool digits = false, point = false;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    };
    skip();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) clean += text[i++];
    for (skip(); i < text.size(); skip()) {
        char c = text[i];
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        clean += c;
        ++i;
    }
    if (!digits) return 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        auto skipAt = [&] {
            while (j < text.size() && (text[j] == ' ' || text[j] == '\t' || text[j] == '\n')) ++j;
        };
        skipAt();
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        bool exponentDigits = false;
        for (skipAt(); j < text.size() && isDigit(text[j]); skipAt()) {
            exponent += text[j++];
            exponentDigits = true;
        }
        if (exponentDigits) clean += exponent;
    }
    if (auto v = convert(clean)) return *v == 0 ? 0.0 : *v;
    if (!overflows(clean)) return 0;
    double max = std::numeric_limits<double>::max();
    return clean.front() == '-' ? -max : max;
}

std::optional<double> strictNumber(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        bool exponentDigits = false;
        for (; i < text.size() && isDigit(text[i]); ++i) exponentDigits = true;
        if (!exponentDigits) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    std::string clean(text);
    for (char& c : clean) {
        if (c == 'E') c = 'e';
    }
    auto v = convert(clean);
    if (!v) {
        if (overflows(clean)) return std::nullopt;
        return 0.0;
    }
    return *v == 0 ? 0.0 : *v;
}

std::string integerText(long long n) { return std::to_string(n); }

std::string decimalText(double v) {
    if (v == 0) return "0";
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 14);
    std::string_view s(buffer, static_cast<std::size_t>(end - buffer));
    bool negative = s.front() == '-';
    if (negative) s.remove_prefix(1);
    std::size_t e = s.find('e');
    std::string digits;
    for (char c : s.substr(0, e)) {
        if (c != '.') digits += c;
    }
    int exponent = 0;
    std::string_view exp = s.substr(e + 1);
    std::from_chars(exp.data() + (exp.front() == '+' ? 1 : 0), exp.data() + exp.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        // Appended piece by piece: GCC 12 at -O3 takes a literal put in front
        // of a string for an overlapping copy (-Werror=restrict).
        out += digits.front();
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        const std::string e2 = std::to_string(std::abs(exponent));
        out += exponent < 0 ? "E-" : "E+";
        if (e2.size() < 2) out += '0';
        out += e2;
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        auto whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits + std::string(whole - digits.size(), '0');
        } else {
            out += digits.substr(0, whole) + "." + digits.substr(whole);
        }
    }
    return out;
}

std::string blankSignedText(double v) {
    std::string text = decimalText(v);
    return text.front() == '-' ? text : " " + text;
}

namespace {

// Nearest whole number, an exact half to the even neighbour, independent of
// the floating-point rounding mode.
double roundHalfEven(double v) {
    double down = std::floor(v);
    double diff = v - down;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(down, 2.0) != 0)) return down + 1;
    return down;
}

template <class T>
std::optional<T> roundInto(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    double r = roundHalfEven(v);
    if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(r);
}

}  // namespace

std::optional<int16_t> roundToInt16(double v) { return roundInto<int16_t>(v); }
std::optional<uint8_t> roundToUint8(double v) { return roundInto<uint8_t>(v); }

void ClampInt(int16_t& value, int16_t low, int16_t high) {
    if (value < low) {
        value = low;
    } else if (value > high) {
        value = high;
    }
}

}  // namespace qm4
