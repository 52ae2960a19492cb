// Fuzz target for the number readings and text forms: leadingNumber and
// strictNumber against a second reader (a small state machine for the extent
// of the number, strtod under the "C" locale for its value), decimalText
// against its own grammar and a round trip, and the two roundings against
// nearbyint.
#include <locale.h>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "model/numbers.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of text that is one whole number: an optional
// sign, digits with at most one period (at least one digit), then optionally
// one of exponentLetters, an optional sign and digits.
std::size_t numberPrefix(std::string_view text, std::string_view exponentLetters) {
    enum State { Start, Sign, Whole, BarePoint, Fraction, Mark, MarkSign, Exponent, Dead };
    State state = Start;
    std::size_t accepted = 0;
    for (std::size_t i = 0; i < text.size() && state != Dead; ++i) {
        const char c = text[i];
        const bool sign = c == '+' || c == '-';
        const bool mark = exponentLetters.find(c) != std::string_view::npos;
        switch (state) {
            case Start:
                state = sign ? Sign : isDigit(c) ? Whole : c == '.' ? BarePoint : Dead;
                break;
            case Sign:
                state = isDigit(c) ? Whole : c == '.' ? BarePoint : Dead;
                break;
            case Whole:
                state = isDigit(c) ? Whole : c == '.' ? Fraction : mark ? Mark : Dead;
                break;
            case BarePoint:
                state = isDigit(c) ? Fraction : Dead;
                break;
            case Fraction:
                state = isDigit(c) ? Fraction : mark ? Mark : Dead;
                break;
            case Mark:
                state = sign ? MarkSign : isDigit(c) ? Exponent : Dead;
                break;
            case MarkSign:
            case Exponent:
                state = isDigit(c) ? Exponent : Dead;
                break;
            case Dead:
                break;
        }
        if (state == Whole || state == Fraction || state == Exponent) accepted = i + 1;
    }
    return accepted;
}

struct Conversion {
    double value = 0;
    bool overflow = false;
    bool underflow = false;  // the exact value lies below the normal range
};

Conversion convertC(const std::string& number) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    errno = 0;
    Conversion out;
    out.value = strtod_l(number.c_str(), nullptr, c);
    if (errno == ERANGE) {
        out.overflow = std::isinf(out.value);
        out.underflow = !out.overflow;
    }
    return out;
}

// A reading matches when both give the same double; below the normal range
// a conversion may flush to zero instead.
bool sameReading(double got, const Conversion& expected) {
    if (expected.underflow && got == 0) return true;
    return got == expected.value || (got == 0 && expected.value == 0);
}

void checkLeadingNumber(std::string_view text) {
    std::string squeezed;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') squeezed += c;
    }
    std::string number = squeezed.substr(0, numberPrefix(squeezed, "EeDd"));
    for (char& c : number) {
        if (c == 'D' || c == 'd') c = 'e';
    }
    const double got = qm4::leadingNumber(text);
    FUZZ_CHECK(!(got == 0 && std::signbit(got)));
    if (number.empty()) {
        FUZZ_CHECK(got == 0);
        return;
    }
    const Conversion expected = convertC(number);
    if (expected.overflow) {
        const double max = std::numeric_limits<double>::max();
        FUZZ_CHECK(got == (expected.value < 0 ? -max : max));
    } else {
        FUZZ_CHECK(sameReading(got, expected));
    }
}

void checkStrictNumber(std::string_view text) {
    std::string_view body = text;
    while (!body.empty() && (body.front() == ' ' || body.front() == '\t')) body.remove_prefix(1);
    while (!body.empty() && (body.back() == ' ' || body.back() == '\t')) body.remove_suffix(1);
    const bool wellFormed = !body.empty() && numberPrefix(body, "Ee") == body.size();
    const std::optional<double> got = qm4::strictNumber(text);
    if (!wellFormed) {
        FUZZ_CHECK(!got);
        return;
    }
    const Conversion expected = convertC(std::string(body));
    if (expected.overflow) {
        FUZZ_CHECK(!got);
        return;
    }
    FUZZ_CHECK(got.has_value());
    FUZZ_CHECK(!(*got == 0 && std::signbit(*got)));
    FUZZ_CHECK(sameReading(*got, expected));
    // Whatever strictNumber accepts, leadingNumber reads the same.
    FUZZ_CHECK(qm4::leadingNumber(text) == *got);
}

// The decimal text form: "0", or an optional minus, then either plain
// digits with an optional fraction (no leading zeros before the point, no
// trailing zeros after it) or one digit, an optional fraction, "E", a sign
// and at least two exponent digits. At most 15 significant digits.
bool decimalFormWellShaped(std::string_view t) {
    if (t == "0") return true;
    if (!t.empty() && t.front() == '-') t.remove_prefix(1);
    const std::size_t e = t.find('E');
    std::string_view mantissa = t.substr(0, e);
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    if (whole.empty()) return false;
    for (char c : whole) {
        if (!isDigit(c)) return false;
    }
    for (char c : fraction) {
        if (!isDigit(c)) return false;
    }
    if (point != std::string_view::npos && (fraction.empty() || fraction.back() == '0')) {
        return false;
    }
    std::size_t significant = 0;
    bool seen = false;
    for (char c : mantissa) {
        if (c == '.') continue;
        seen = seen || c != '0';
        if (seen) ++significant;
    }
    if (!seen || significant > 15) return false;
    if (e == std::string_view::npos) {
        return whole.size() == 1 || whole.front() != '0';
    }
    if (whole.size() != 1 || whole.front() == '0') return false;
    std::string_view exponent = t.substr(e + 1);
    if (exponent.size() < 3 || (exponent.front() != '+' && exponent.front() != '-')) return false;
    exponent.remove_prefix(1);
    for (char c : exponent) {
        if (!isDigit(c)) return false;
    }
    return exponent.size() == 2 || exponent.front() != '0';
}

void checkDecimalText(double v) {
    if (!std::isfinite(v)) return;
    const std::string t = qm4::decimalText(v);
    FUZZ_CHECK(decimalFormWellShaped(t));
    FUZZ_CHECK(t != "-0");
    const std::string signedText = qm4::blankSignedText(v);
    FUZZ_CHECK(signedText == (t.front() == '-' ? t : " " + t));

    const std::optional<double> back = qm4::strictNumber(t);
    if (!back) {
        // Rounding to 15 digits can carry a value next to the largest
        // double past it; nothing else may fail to read back.
        FUZZ_CHECK(convertC(t).overflow);
        return;
    }
    const double tolerance = 5.2e-15 * std::fabs(v) + std::numeric_limits<double>::denorm_min();
    FUZZ_CHECK(std::fabs(*back - v) <= tolerance);
    FUZZ_CHECK((*back < 0) == (t.front() == '-'));
    const double magnitude = std::fabs(*back);
    const bool exponentForm = t.find('E') != std::string::npos;
    FUZZ_CHECK(exponentForm == (magnitude != 0 && (magnitude >= 1e15 || magnitude < 1e-4)));
    if (std::fabs(v) >= std::numeric_limits<double>::min()) {
        FUZZ_CHECK(qm4::decimalText(*back) == t);
    }
}

template <class T>
void checkRounding(double v, std::optional<T> got) {
    const double nearest = std::nearbyint(v);  // the default mode sends halves to even
    const bool fits = std::isfinite(v) && nearest >= std::numeric_limits<T>::min() &&
                      nearest <= std::numeric_limits<T>::max();
    FUZZ_CHECK(got.has_value() == fits);
    if (fits) FUZZ_CHECK(*got == static_cast<T>(nearest));
}

void checkRoundings(double v) {
    checkRounding(v, qm4::roundToInt16(v));
    checkRounding(v, qm4::roundToUint8(v));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkLeadingNumber(text);
    checkStrictNumber(text);

    const double read = qm4::leadingNumber(text);
    checkDecimalText(read);
    checkRoundings(read);
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkDecimalText(raw);
        checkRoundings(raw);
    }
    return 0;
}
