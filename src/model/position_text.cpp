// Reading positions: the text becomes numbers, hemisphere letters and
// commas; the letters (or a comma, or the count of numbers) split it into
// latitude and longitude; each is degrees, minutes and seconds.
#include "model/position_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace qm4 {
namespace {

struct Token {
    enum Kind { Number, Letter, Comma } kind;
    double value = 0;
    bool negative = false;
    bool fraction = false;
    char letter = 0;
};

// Marks of degrees, minutes and seconds and blanks, which only separate.
bool isMark(std::string_view text, std::size_t& i) {
    for (std::string_view mark : {"\u00B0", "\u00BA", "\u02DA", "\u2032", "\u2033", "\u2019",
                                  "\u201D", "\u00A0", "'", "\"", " ", "\t", "d", "m", "s"}) {
        if (text.substr(i, mark.size()) == mark) {
            i += mark.size();
            return true;
        }
    }
    return false;
}

// The word that holds the byte at i: the run of ASCII letters around it
// (so "foo" is named whole, and "Seattle" is not named "attle" after its
// hemisphere letters), else the one character there, all its bytes.
std::string_view wordAt(std::string_view text, std::size_t i) {
    const auto letter = [&](std::size_t k) {
        return std::isalpha(static_cast<unsigned char>(text[k])) != 0;
    };
    std::size_t from = i, to = i + 1;
    if (letter(i)) {
        while (from > 0 && letter(from - 1)) --from;
        while (to < text.size() && letter(to)) ++to;
    } else {
        while (to < text.size() && (static_cast<unsigned char>(text[to]) & 0xC0) == 0x80) ++to;
    }
    return text.substr(from, to - from);
}

Expected<std::vector<Token>> tokens(std::string_view text) {
    std::vector<Token> found;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const bool minus = c == '-' || text.substr(i, 3) == "\u2212";
        if (minus || c == '+' || std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            Token number{Token::Number};
            number.negative = minus;
            if (minus || c == '+') i += text.substr(i, 3) == "\u2212" ? 3 : 1;
            const std::size_t start = i;
            while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) ||
                                       (text[i] == '.' && !number.fraction))) {
                number.fraction |= text[i] == '.';
                ++i;
            }
            const std::string_view digits = text.substr(start, i - start);
            if (digits.find_first_of("0123456789") == std::string_view::npos)
                return Error{"a sign or point stands without digits"};
            // Read with a period as the point whatever the user's locale.
            std::from_chars(digits.data(), digits.data() + digits.size(), number.value);
            found.push_back(number);
        } else if (std::string_view("NSEWnew").find(c) != std::string_view::npos) {
            found.push_back({Token::Letter, 0, false, false,
                             static_cast<char>(std::toupper(static_cast<unsigned char>(c)))});
            ++i;
        } else if (c == ',' || c == ';') {
            found.push_back({Token::Comma});
            ++i;
        } else if (!isMark(text, i)) {
            return Error{"\"" + std::string(wordAt(text, i)) + "\" is no part of a position"};
        }
    }
    return found;
}

// Degrees, or degrees and minutes, or degrees, minutes and seconds, with the
// sign of the degrees or of the hemisphere letter (0 for none).
Expected<double> angle(const std::vector<Token>& numbers, char letter, const char* what) {
    if (numbers.size() > 3)
        return Error{std::string("the ") + what + " should be at most three numbers"};
    for (std::size_t k = 1; k < numbers.size(); ++k) {
        if (numbers[k].negative) return Error{"only the degrees may carry a sign"};
        if (numbers[k - 1].fraction)
            return Error{"a number with a fraction must be the last of the " + std::string(what)};
        if (numbers[k].value >= 60) return Error{"minutes and seconds must be less than 60"};
    }
    if (numbers[0].negative && letter != 0)
        return Error{std::string("the ") + what + " has both a sign and a hemisphere letter"};
    double value = 0;
    for (std::size_t k = 0; k < numbers.size(); ++k)
        value += numbers[k].value / std::pow(60.0, static_cast<double>(k));
    return numbers[0].negative || letter == 'S' || letter == 'W' ? -value : value;
}

}  // namespace

Expected<LatLon> parsePosition(std::string_view text) {
    const auto found = tokens(text);
    if (!found) return found.error();
    std::vector<Token> letters, numbers;
    for (const Token& t : *found) (t.kind == Token::Letter ? letters : numbers).push_back(t);
    std::vector<Token> lat, lon;
    char latLetter = 0, lonLetter = 0;
    if (letters.size() == 2) {
        latLetter = letters[0].letter;
        lonLetter = letters[1].letter;
        if ((latLetter == 'E' || latLetter == 'W') && (lonLetter == 'N' || lonLetter == 'S'))
            return Error{"the latitude must come first"};
        if ((latLetter != 'N' && latLetter != 'S') || (lonLetter != 'E' && lonLetter != 'W'))
            return Error{"a position needs one of N and S and then one of E and W"};
        // Letters before their numbers ("N47 W122") or after them ("47 N 122 W").
        const bool before = found->front().kind == Token::Letter;
        int seen = 0;
        for (const Token& t : *found) {
            if (t.kind == Token::Letter) ++seen;
            if (t.kind != Token::Number) continue;
            const int group = before ? seen : seen + 1;
            if (group > 2) return Error{"numbers follow the longitude's hemisphere letter"};
            (group == 1 ? lat : lon).push_back(t);
        }
    } else if (letters.empty()) {
        std::vector<Token> numbersOnly;
        bool comma = false;
        for (const Token& t : *found) {
            if (t.kind == Token::Comma && !numbersOnly.empty() && !comma) {
                comma = true;
                lat = numbersOnly;
                numbersOnly.clear();
            } else if (t.kind == Token::Number) {
                numbersOnly.push_back(t);
            }
        }
        if (comma) {
            lon = numbersOnly;
        } else if (numbersOnly.size() % 2 == 0) {
            lat.assign(numbersOnly.begin(), numbersOnly.begin() + numbersOnly.size() / 2);
            lon.assign(numbersOnly.begin() + numbersOnly.size() / 2, numbersOnly.end());
        }
    } else {
        return Error{"give a hemisphere letter for both latitude and longitude, or for neither"};
    }
    if (lat.empty() || lon.empty()) return Error{"a position needs a latitude and a longitude"};
    const auto latitude = angle(lat, latLetter, "latitude");
    if (!latitude) return latitude.error();
    const auto longitude = angle(lon, lonLetter, "longitude");
    if (!longitude) return longitude.error();
    if (std::fabs(*latitude) > 90) return Error{"the latitude lies beyond 90 degrees"};
    if (std::fabs(*longitude) > 180) return Error{"the longitude lies beyond 180 degrees"};
    return LatLon{*latitude, *longitude};
}

BoxTexts boxTexts(double value) {
    const double minutes = std::round(std::fabs(value) * 600000) / 10000;
    const double whole = std::floor(minutes / 60);
    char text[64];
    if (whole != 0) {
        std::snprintf(text, sizeof text, "%07.4f", minutes - whole * 60);
        return {(value < 0 ? "-" : "") + std::to_string(static_cast<long long>(whole)), text};
    }
    std::snprintf(text, sizeof text, "%.8f", value);
    std::string degrees = text;
    degrees.erase(degrees.find_last_not_of('0') + 1);
    if (degrees.back() == '.') degrees.pop_back();
    if (degrees == "-0") degrees = "0";
    return {degrees, "00.00"};
}

void writePosition(ProjectState& s, const LatLon& place) {
    const BoxTexts lat = boxTexts(place.lat), lon = boxTexts(place.lon);
    s.txtlatdeg = lat.degrees;
    s.txtlatmin = lat.minutes;
    s.txtlongdeg = lon.degrees;
    s.txtlongmin = lon.minutes;
}

}  // namespace qm4
