// Fuzz target for the number readings and text forms. strictNumber accepts
// exactly the texts that the C library reads whole as a plain decimal number
// within the double range, giving the same value; leadingNumber reads those
// alike, never gives -0 and saturates beyond the range; decimalText keeps its
// grammar and its 15 digits, reads back and gives the same text again.
#include <locale.h>

#include "fuzz_support.h"
#include "model/numbers.h"

// "0", plain digits without a needless zero, or one digit, an optional
// fraction and an exponent of at least two digits.
const std::regex kDecimalForm(
    R"(0|-?(0\.\d*[1-9]|[1-9]\d*(\.\d*[1-9])?|[1-9](\.\d*[1-9])?E[+-](\d\d|[1-9]\d\d+)))");
const std::regex kNotSignificant(R"(^[-0.]*|\.|E.*)");

static void checkDecimalText(double v) {
    const std::string t = qm4::decimalText(v);
    FUZZ_CHECK(std::regex_match(t, kDecimalForm) &&
               std::regex_replace(t, kNotSignificant, "").size() <= 15);
    const auto back = qm4::strictNumber(t);
    // Rounding to 15 digits may carry the largest doubles past the range.
    if (!back) return FUZZ_CHECK(std::fabs(v) > 1.7976931348623e308);
    const double m = std::fabs(*back);
    FUZZ_CHECK(std::fabs(*back - v) <= 5.2e-15 * std::fabs(v) + 5e-324 &&
               qm4::leadingNumber(t) == *back);
    FUZZ_CHECK((t.find('E') != std::string::npos) == (m != 0 && (m >= 1e15 || m < 1e-4)));
    FUZZ_CHECK(m < 2.3e-308 || qm4::decimalText(*back) == t);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto first = std::min(text.find_first_not_of(" \t"), size);
    const std::string body = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    char* end = nullptr;
    errno = 0;
    const double expected = strtod_l(body.c_str(), &end, cLocale);
    const bool outOfRange = errno == ERANGE;
    const bool whole = !body.empty() && end == body.c_str() + body.size() &&
                       body.find_first_not_of("0123456789+-.Ee") == std::string::npos;
    const auto strict = qm4::strictNumber(text);
    const double leading = qm4::leadingNumber(text);
    FUZZ_CHECK(strict.has_value() == (whole && !std::isinf(expected)));
    FUZZ_CHECK(std::isfinite(leading) && !(leading == 0 && std::signbit(leading)));
    if (whole && std::isinf(expected))
        FUZZ_CHECK(leading == std::copysign(1.7976931348623157e308, expected));
    // Below the normal range either reader may give zero instead.
    if (strict) FUZZ_CHECK(*strict == expected || (outOfRange && (*strict == 0 || expected == 0)));
    if (strict) FUZZ_CHECK(leading == *strict && std::signbit(*strict) == (*strict < 0));
    checkDecimalText(leading);
    return 0;
}
