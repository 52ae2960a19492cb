// Number readings of field texts and the text forms of numbers, shared by the
// calculation, the capture and the two source writers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm4 {

// Value of the longest leading part of the text that reads as a decimal
// number (sign, digits, one period, exponent with E or D). Blanks, tabs and
// line feeds are skipped anywhere; reading stops at any other character.
// Never fails: no number gives 0, a value beyond the double range saturates
// to the largest finite double of that sign.
double leadingNumber(std::string_view text);

// The whole text, blanks at either end aside, must be one decimal number
// (sign, digits with at most one period, exponent E with an optionally signed
// whole number). Anything else, the empty text and overflow included, gives
// nothing.
std::optional<double> strictNumber(std::string_view text);

// Plain integer text: digits with a leading minus when negative ("0", "-7").
std::string integerText(long long n);

// Decimal text form of a double: shortest text after rounding to 15
// significant digits, no trailing zeros, no decimal point when whole, a
// period as decimal point, never "-0". Magnitudes from 1E+15 up and below
// 1E-04 use the exponent form ("1E+15", "2.5E-05").
std::string decimalText(double v);

// Blank-signed text: the decimal text form with one blank before a value
// that is zero or positive (" 10", "-3", " 3.5").
std::string blankSignedText(double v);

// Round to nearest, an exact half to the even neighbour; nothing when the
// result lies outside the target range (or the value is not finite).
std::optional<int16_t> roundToInt16(double v);
std::optional<uint8_t> roundToUint8(double v);

// Limits value to low..high in place; low is tested first.
void ClampInt(int16_t& value, int16_t low, int16_t high);

}  // namespace qm4
