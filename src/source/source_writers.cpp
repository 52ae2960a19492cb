// LWMSource.asm and VTPSource.asm: the whole text is built in memory first, so
// a field that cannot be read stops the writer before the old file is touched.
#include "source/source_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "model/numbers.h"
#include "textio/text_file.h"

namespace qm4 {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Appends rows, each followed by CR LF.
class Rows {
  public:
    explicit Rows(std::size_t capacity = 0) { text_.reserve(capacity); }
    Rows& operator<<(std::string_view row) {
        text_ += row;
        text_ += kLineEnd;
        return *this;
    }
    std::string take() { return std::move(text_); }

  private:
    std::string text_;
};

// Room for the list lines with their line ends and for the template around
// them, so a long list is copied once instead of through every regrowth.
std::size_t roomFor(const std::vector<std::string>& lines) {
    constexpr std::size_t kTemplateRoom = 8192;
    std::size_t bytes = kTemplateRoom;
    for (const auto& line : lines) bytes += line.size() + kLineEnd.size();
    return bytes;
}

// "48, 46, -121, -123": one degree either side of the typed degrees.
Expected<std::string> headerBounds(const ProjectState& s) {
    const auto lat = strictNumber(s.txtlatdeg);
    if (!lat) return Error{"The latitude degrees \"" + s.txtlatdeg + "\" are not a number."};
    const auto lng = strictNumber(s.txtlongdeg);
    if (!lng) return Error{"The longitude degrees \"" + s.txtlongdeg + "\" are not a number."};
    return decimalText(*lat + 1) + ", " + decimalText(*lat - 1) + ", " + decimalText(*lng + 1) +
           ", " + decimalText(*lng - 1);
}

Expected<int> pointCount(const std::string& counterName, const std::string& text) {
    const auto count = roundToUint8(leadingNumber(text));
    if (!count) {
        return Error{"The " + counterName + " \"" + text + "\" is not between 0 and 255."};
    }
    return int{*count};
}

// At least two digits: 0 gives "00", 5 "05", 224 "224".
std::string twoDigits(int n) { return (n < 10 ? "0" : "") + integerText(n); }

// Cell label pieces shared by both files: "123_120".
std::string cellSuffix(const ProjectState& s) { return s.txtcellx + "_" + s.txtcelly; }

std::string definitionComment(const std::string& beginOrEnd, const ProjectState& s) {
    return ";----> " + beginOrEnd + " Cell_" + cellSuffix(s) +
           "'s defination data information <----";
}

// The four comment rows that open both files; kind is the file-kind line.
void writeHeadComments(Rows& rows, const std::string& nameLine, const ProjectState& s,
                       std::string_view kind) {
    rows << nameLine << ";  " + s.txtcomments
         << ";  FS Coordinates:    " + s.txtlatdeg + " " + s.txtlatmin + "   " + s.txtlongdeg +
                " " + s.txtlongmin
         << kind << ";  The next two files MUST be included within the same directory as"
         << ";  BGLC.exe when this file is assembled (compiled)."
         << ";"
         << "include TDFHeaders.inc"
         << "include TDFMacros.inc"
         << ";"
         << ";----> Begin Header Section <----";
}

Expected<std::size_t> writeSource(const std::string& path, Expected<std::string> text) {
    if (!text) return text.error();
    encodeWindows1252InPlace(text.value());
    if (const Status written = writeFileAtomically(path, text.value()); !written)
        return written.error();
    return static_cast<std::size_t>(std::count(text.value().begin(), text.value().end(), '\n'));
}

// A whole number, as the compiler takes cell and area numbers.
bool wholeNumber(const std::string& text) {
    const auto value = strictNumber(text);
    return value && *value == std::floor(*value);
}

}  // namespace

std::string LwmListText(const ProjectState& s) {
    Rows rows(roomFor(s.lstLWM.lines));
    for (const auto& line : s.lstLWM.lines) rows << line;
    return rows.take();
}

std::string VtpListText(const ProjectState& s) {
    const auto& lines = s.lstVTP.lines;
    std::string text;
    text.reserve(roomFor(lines));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kLineEnd;
        if (i + 1 < lines.size()) {
            text += lines[i];
            continue;
        }
        // The last point of a wide line carries the end flag 1.
        std::string last = lines[i];
        if (const auto at = last.find(", 0"); at != std::string::npos) last[at + 2] = '1';
        text += last;
    }
    return text;
}

Expected<std::string> lwmSourceText(const ProjectState& s) {
    const auto bounds = headerBounds(s);
    if (!bounds) return bounds.error();
    const auto count = pointCount("LWM point count", s.txtlwmnumber);
    if (!count) return count.error();

    const std::string mask = integerText(LwmMask(s));
    const std::string poly = *count <= 62 ? "  LWMPoly2  " + twoDigits(*count) + ", 0, " + mask +
                                                ", " + s.txtaltitude + ", 0"
                                          : "  LWMPoly2Ex  63, 0, " + mask + ", " + s.txtaltitude +
                                                ", 0, " + integerText(*count - 63);
    const std::string cell = cellSuffix(s);

    Rows rows(roomFor(s.lstLWM.lines));
    writeHeadComments(rows, ";  " + s.txtprojectname + "  /  By: " + s.txtauthorname, s,
                      s.Option2 ? ";  LWM Water Mask File" : ";  LWM Land Mask File");
    rows << "  BGLHeader        " + *bounds + ", LWMHeader, TerrainHeaderStart"
         << ";"
         << "LWMHeader        label        word"
         << ";"
         << "  LWMFileHeader 513, LWMIndexStart, LWMStart, LWMEnd"
         << ";"
         << "LWMStart           label        word"
         << ";----> End Header Section <----"
         << ";"
         << ";----> Begin Cell_" + cell + "'s ----> Area (LOD 13) data information <----"
         << "datamark_0        label        word"
         << ";"
         << "  LWMDataAreaDrawPolygons 1, 3, 1, " + s.txtareax + ", " + s.txtareay << ";" << poly
         << ";" << LwmListText(s) << ";"
         << "datamark_1        label        word   ;----> This line goes under all Areas used "
            "in Cell_" +
                cell
         << ";----> End Cell_" + cell + "'s  Area (LOD 13) data information <----"
         << ";" << definitionComment("Begin", s)
         << "Cell_" + cell + "       EQU        LWMCellID   0, 0, 3, " + s.txtcellx + ", " +
                s.txtcelly
         << ";"
         << "LWMIndexStart        label        word"
         << ";"
         << "  LWMIndexHeader   1, LWMIndexData"
         << ";"
         << "LWMIndexData         label        word"
         << ";"
         << "  LWMIndexEntry      Cell_" + cell + ", LWMStart, datamark_0, datamark_1"
         << definitionComment("End", s) << ";"
         << ";----> The next line below ENDS this file <----"
         << "LWMEnd        label        word"
         << "";
    return rows.take();
}

Expected<std::string> vtpSourceText(const ProjectState& s) {
    const auto bounds = headerBounds(s);
    if (!bounds) return bounds.error();
    const auto count = pointCount("VTP point count", s.txtvtpnumber);
    if (!count) return count.error();

    const bool line = VtpLinePoly(s) == 1;
    const int head = *count > 31 ? 31 : *count;
    const int extra = *count - head;
    const std::string cell = cellSuffix(s);
    const std::string area = s.txtcellx + ", " + s.txtcelly + "  and Area " + s.txtareax + ", " +
                             s.txtareay + "  Data Point Information <----";
    const std::string textureType =
        line ? "    VTPTextureType 2, 0, 0, 4" : "    VTPTextureType 1, 0, 0, 4";
    const std::string textureName = "    VTPTextureName " + s.cbovtptype;
    const std::string fifthName =
        "    VTPTextureName " + (s.cbolandclass.empty() ? s.cbovtptype : s.cbolandclass);

    Rows rows(roomFor(s.lstVTP.lines));
    writeHeadComments(rows, ";  " + s.txtprojectname + "  By: " + s.txtauthorname, s,
                      line ? ";  VTP Method2 road/line/shoreline" : ";  VTP Method2 Polygon");
    rows << "  BGLHeader          " + *bounds + ", TerrainHeaderStart, VTPHeader"
         << ";"
         << "VTPHeader        label        word"
         << "  VTPFileHeader  256, VTPIndexStart, TextureStart, VTPEnd"
         << ";----> End Header Section <----"
         << ";"
         << ";----> Start File Data <----"
         << "VTPStart        label        word"
         << ";"
         << ";----> Begin Cell " + area << "datamark_v0        label        word"
         << ";"
         << "  VTPDataArea 1, 1, 0, 0"
         << "  VTPLayer " + s.cbolayer + ", 0"
         << "  VTPNumTexturesInLayer 1, 0"
         << "  VTPTextureId 4, 0"
         << "  VTPPolyCount 1, 0"
         << ";"
         << "  VTPPolyMethod2 " + twoDigits(head) + (line ? ", 1, 0" : ", 0, 0");
    if (extra != 0) rows << "  VTPPolyMethod2Ex " + twoDigits(extra);
    rows << ";" << VtpListText(s) << (line ? "  VTPWidePointWidth 0" : ";")
         << "datamark_v1        label        word"
         << ";----> End Cell " + area << ";" << definitionComment("Begin", s)
         << "  Cellv_" + cell + "       EQU        VTPCellID   0, " + s.txtcellx + ", " + s.txtcelly
         << ";"
         << "VTPIndexStart       label        word"
         << "  VTPIndexHeader  1, VTPIndexData, VTPStart"
         << "VTPIndexData        label        word"
         << "  VTPIndexEntry Cellv_" + cell + ", VTPStart, datamark_v0, datamark_v1"
         << definitionComment("End", s) << ";"
         << ";----> Begin Texture Information <----"
         << "TextureStart        label        word"
         << "  VTPTextureListHeader 5, TextureIndexStart, TextureDataStart, TextureDataEnd"
         << ";"
         << "TextureIndexStart        label        word";
    for (int mark = 0; mark < 5; ++mark) {
        rows << "  VTPTextureListEntry TextureDataStart, texturemark_" + integerText(mark) +
                    ", texturemark_" + integerText(mark + 1);
    }
    rows << ";"
         << "TextureDataStart  label        word";
    for (int mark = 0; mark < 5; ++mark) {
        rows << "texturemark_" + integerText(mark) + "       label        word"
             << (mark < 4 ? textureName : fifthName) << textureType;
    }
    rows << "texturemark_5       label        word"
         << "TextureDataEnd    label        word"
         << ";----> End Texture Information <----"
         << ";"
         << ";----> The next line below ENDS this file <----"
         << "VTPEnd        label        word"
         << "";
    return rows.take();
}

std::string LwmSourcePath(const std::string& programFolder) {
    return joinPath(programFolder, "LWMSource.asm");
}

std::string VtpSourcePath(const std::string& programFolder) {
    return joinPath(programFolder, "VTPSource.asm");
}

Expected<std::size_t> createlwm(const ProjectState& s, const std::string& programFolder) {
    return writeSource(LwmSourcePath(programFolder), lwmSourceText(s));
}

Expected<std::size_t> createvtp(const ProjectState& s, const std::string& programFolder) {
    return writeSource(VtpSourcePath(programFolder), vtpSourceText(s));
}

std::vector<std::string> fieldsTheCompilerNeeds(const ProjectState& s, bool lwm) {
    std::vector<std::string> missing;
    using PS = ProjectState;
    const std::pair<const char*, std::string PS::*> cellAndArea[] = {{"txtcellx", &PS::txtcellx},
                                                                     {"txtcelly", &PS::txtcelly},
                                                                     {"txtareax", &PS::txtareax},
                                                                     {"txtareay", &PS::txtareay}};
    for (const auto& [name, field] : cellAndArea)
        if (!wholeNumber(s.*field)) missing.push_back(name);
    if (lwm) {
        if (!strictNumber(s.txtaltitude)) missing.push_back("txtaltitude");
        return missing;
    }
    // A vector type is a number in quotes before its comment.
    const std::string type = s.cbovtptype.substr(0, s.cbovtptype.find(';'));
    if (type.find_first_not_of(" \t") == std::string::npos) missing.push_back("cbovtptype");
    if (VtpLinePoly(s) == 1 && !strictNumber(s.txtvtplinewidth))
        missing.push_back("txtvtplinewidth");
    if (!wholeNumber(s.cbolayer)) missing.push_back("cbolayer");
    return missing;
}

}  // namespace qm4
