// Fuzz target for the two source writers and the Windows-1252 encoding:
// random field texts (characters outside the code page, line breaks, empty
// and very long texts included) and random list lines. A writer must succeed
// exactly when its degree texts and its counter can be read, and then end
// with its end label and one empty line and hold every list line verbatim
// under its polygon row; the encoding must match a second encoder; files
// written to disk must hold exactly the encoded text, and a failed run must
// leave the earlier file as it was.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "fuzz_text.h"
#include "model/numbers.h"
#include "source/source_writers.h"
#include "source/text_file.h"

namespace {

using qm4::ProjectState;

// Characters of the bytes 0x80..0x9F that Windows-1252 assigns.
struct HighByte {
    char32_t codePoint;
    unsigned char byte;
};
constexpr std::array<HighByte, 27> kHighBytes = {{
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
    {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
    {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
    {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F},
}};

char encodeOne(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (const auto& high : kHighBytes) {
        if (high.codePoint == c) return static_cast<char>(high.byte);
    }
    return '?';
}

// The Windows-1252 bytes of well-formed UTF-8, nothing for malformed text.
// Well-formed sequences as tabulated in RFC 3629.
std::optional<std::string> referenceWindows1252(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    auto inRange = [&](std::size_t k, unsigned low, unsigned high) {
        return k < text.size() && at(k) >= low && at(k) <= high;
    };
    while (i < text.size()) {
        const unsigned b = at(i);
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF;  // range of the second byte
        if (b < 0x80) {
            length = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            return std::nullopt;
        }
        if (length > 1 && !inRange(i + 1, low, high)) return std::nullopt;
        for (std::size_t k = 2; k < length; ++k) {
            if (!inRange(i + k, 0x80, 0xBF)) return std::nullopt;
        }
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (at(i + k) & 0x3F);
        out += encodeOne(c);
        i += length;
    }
    return out;
}

void checkEncoding(std::string_view text) {
    const std::string bytes = qm4::toWindows1252(text);
    // "?" stands in for what the code page cannot hold, never the DOS
    // substitute byte 0x1A: that one appears only for a U+001A of the text.
    FUZZ_CHECK(std::count(bytes.begin(), bytes.end(), '\x1A') <=
               std::count(text.begin(), text.end(), '\x1A'));
    FUZZ_CHECK(bytes.size() <= text.size());
    if (const auto expected = referenceWindows1252(text)) FUZZ_CHECK(bytes == *expected);
}

std::string twoDigits(long n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// The point count a writer takes from its counter, or nothing when it lies
// outside 0..255.
std::optional<long> pointCount(const std::string& counter) {
    const double n = std::nearbyint(qm4::leadingNumber(counter));
    if (!(n >= 0 && n <= 255)) return std::nullopt;
    return static_cast<long>(n);
}

std::optional<std::string> bounds(const ProjectState& s) {
    const auto lat = qm4::strictNumber(s.txtlatdeg);
    const auto lng = qm4::strictNumber(s.txtlongdeg);
    if (!lat || !lng) return std::nullopt;
    return qm4::decimalText(*lat + 1) + ", " + qm4::decimalText(*lat - 1) + ", " +
           qm4::decimalText(*lng + 1) + ", " + qm4::decimalText(*lng - 1);
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::size_t lineEnds(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
         at = text.find("\r\n", at + 2)) {
        ++n;
    }
    return n;
}

// True when no field or list line holds a line break, so the row count of a
// file is fixed by the template.
bool singleLineFields(const ProjectState& s) {
    const std::array<const std::string*, 16> fields = {
        &s.txtprojectname, &s.txtauthorname, &s.txtcomments,  &s.txtlatdeg,
        &s.txtlatmin,      &s.txtlongdeg,    &s.txtlongmin,   &s.txtcellx,
        &s.txtcelly,       &s.txtareax,      &s.txtareay,     &s.txtaltitude,
        &s.cbolayer,       &s.cbovtptype,    &s.cbolandclass, &s.txtvtplinewidth};
    auto oneLine = [](const std::string& t) {
        return t.find_first_of("\r\n") == std::string::npos;
    };
    for (const auto* field : fields) {
        if (!oneLine(*field)) return false;
    }
    for (const auto* list : {&s.lstLWM, &s.lstVTP}) {
        for (const auto& line : list->lines) {
            if (!oneLine(line)) return false;
        }
    }
    return true;
}

void checkLwm(const ProjectState& s) {
    const auto text = qm4::lwmSourceText(s);
    const auto header = bounds(s);
    const auto count = pointCount(s.txtlwmnumber);
    FUZZ_CHECK(text.ok() == (header && count));
    if (!text) return;
    checkEncoding(*text);

    const std::string mask = std::to_string(qm4::LwmMask(s));
    const std::string poly = *count <= 62 ? "  LWMPoly2  " + twoDigits(*count) + ", 0, " + mask +
                                                ", " + s.txtaltitude + ", 0"
                                          : "  LWMPoly2Ex  63, 0, " + mask + ", " + s.txtaltitude +
                                                ", 0, " + std::to_string(*count - 63);
    std::string block;
    for (const auto& line : s.lstLWM.lines) block += line + "\r\n";
    FUZZ_CHECK(text->rfind(";  " + s.txtprojectname + "  /  By: " + s.txtauthorname + "\r\n", 0) ==
               0);
    FUZZ_CHECK(contains(
        *text, "\r\n  BGLHeader        " + *header + ", LWMHeader, TerrainHeaderStart\r\n"));
    FUZZ_CHECK(contains(*text, "\r\n;\r\n" + poly + "\r\n;\r\n" + block +
                                   "\r\n;\r\ndatamark_1        label        word   ;----> This "
                                   "line goes under all Areas used in Cell_" +
                                   s.txtcellx + "_" + s.txtcelly + "\r\n"));
    FUZZ_CHECK(endsWith(*text, "\r\nLWMEnd        label        word\r\n\r\n"));
    if (singleLineFields(s)) FUZZ_CHECK(lineEnds(*text) == 47 + s.lstLWM.lines.size());
}

void checkVtp(const ProjectState& s) {
    const auto text = qm4::vtpSourceText(s);
    const auto header = bounds(s);
    const auto count = pointCount(s.txtvtpnumber);
    FUZZ_CHECK(text.ok() == (header && count));
    if (!text) return;
    checkEncoding(*text);

    const bool line = qm4::VtpLinePoly(s) == 1;
    const long head = *count > 31 ? 31 : *count;
    std::string method =
        "  VTPPolyMethod2 " + twoDigits(head) + (line ? ", 1, 0" : ", 0, 0") + "\r\n";
    if (*count > 31) method += "  VTPPolyMethod2Ex " + twoDigits(*count - 31) + "\r\n";

    const auto& lines = s.lstVTP.lines;
    std::string block;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string row = lines[i];
        const std::size_t flag = row.find(", 0");
        if (i + 1 == lines.size() && flag != std::string::npos) row.replace(flag, 3, ", 1");
        block += (i > 0 ? "\r\n" : "") + row;
    }
    FUZZ_CHECK(text->rfind(";  " + s.txtprojectname + "  By: " + s.txtauthorname + "\r\n", 0) == 0);
    FUZZ_CHECK(contains(
        *text, "\r\n  BGLHeader          " + *header + ", TerrainHeaderStart, VTPHeader\r\n"));
    FUZZ_CHECK(contains(*text, "\r\n;\r\n" + method + ";\r\n" + block + "\r\n" +
                                   (line ? "  VTPWidePointWidth 0" : ";") +
                                   "\r\ndatamark_v1        label        word\r\n"));
    FUZZ_CHECK(endsWith(*text, "\r\nVTPEnd        label        word\r\n\r\n"));
    if (singleLineFields(s)) {
        const std::size_t listRows = lines.empty() ? 1 : lines.size();
        FUZZ_CHECK(lineEnds(*text) == 78 + listRows + (*count > 31 ? 1 : 0));
    }
}

std::optional<std::string> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes one source file and compares the bytes on disk.
void checkWrite(const ProjectState& s, const std::string& folder, bool lwm) {
    const std::string path = lwm ? qm4::LwmSourcePath(folder) : qm4::VtpSourcePath(folder);
    const auto earlier = fileBytes(path);
    const auto text = lwm ? qm4::lwmSourceText(s) : qm4::vtpSourceText(s);
    const qm4::Status status = lwm ? qm4::createlwm(s, folder) : qm4::createvtp(s, folder);
    FUZZ_CHECK(status.ok() == text.ok());
    const auto now = fileBytes(path);
    if (text) {
        FUZZ_CHECK(now && *now == qm4::toWindows1252(*text));
    } else {
        FUZZ_CHECK(now == earlier);
    }
}

std::string degreeText(FuzzedDataProvider& in) {
    return in.ConsumeIntegralInRange(0, 3) == 0 ? qm4fuzz::fieldText(in) : qm4fuzz::numberText(in);
}

std::string counterText(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 3) == 0) return qm4fuzz::fieldText(in);
    return in.ConsumeBool() ? std::to_string(in.ConsumeIntegralInRange(0, 255))
                            : qm4fuzz::numberText(in);
}

void randomLines(FuzzedDataProvider& in, std::vector<std::string>& lines) {
    const int count = in.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < count; ++i) {
        lines.push_back(in.ConsumeBool() ? qm4fuzz::fieldText(in)
                                         : "VTPWidePoint  " + qm4fuzz::numberText(in) +
                                               (in.ConsumeBool() ? ", 0, " : ", 1, ") +
                                               qm4fuzz::numberText(in) + ", 0");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const qm4fuzz::Folder folder;
    FuzzedDataProvider in(data, size);
    ProjectState s;
    // What decides the shape of the files first, while the input lasts.
    const bool toDisk = in.ConsumeIntegralInRange(0, 7) == 0;
    s.txtlatdeg = degreeText(in);
    s.txtlongdeg = degreeText(in);
    s.txtlwmnumber = counterText(in);
    s.txtvtpnumber = counterText(in);
    s.Option1 = in.ConsumeBool();
    s.Option2 = in.ConsumeBool();
    s.Option3 = in.ConsumeBool();
    s.Option4 = in.ConsumeBool();
    randomLines(in, s.lstLWM.lines);
    randomLines(in, s.lstVTP.lines);
    for (auto* field : {&s.txtprojectname, &s.txtauthorname, &s.txtcomments, &s.txtlatmin,
                        &s.txtlongmin, &s.txtcellx, &s.txtcelly, &s.txtareax, &s.txtareay,
                        &s.txtaltitude, &s.cbolayer, &s.cbovtptype, &s.cbolandclass}) {
        *field = qm4fuzz::fieldText(in);
        checkEncoding(*field);
    }

    checkLwm(s);
    checkVtp(s);
    if (toDisk) {
        checkWrite(s, folder.path(), true);
        checkWrite(s, folder.path(), false);
    }
    checkEncoding(in.ConsumeRemainingBytesAsString());
    return 0;
}
