// Point capture and hand editing of the point lists.
#include <gtest/gtest.h>

#include <vector>

#include "capture/capture.h"
#include "capture/list_editing.h"
#include "capture/picture_check.h"

namespace qm4 {
namespace {

using Lines = std::vector<std::string>;

ProjectState withArea(const char* x, const char* y, bool line) {
    ProjectState s;
    s.txtareax = x;
    s.txtareay = y;
    s.Option3 = !line;
    s.Option4 = line;
    return s;
}

// Presses and collects the FillXY failures that the window would show.
struct Presser {
    std::vector<FillXYError> errors;
    PressResult press(ProjectState& s, float x, float y, ClientSize c = {}) {
        return Picture1_MouseDown(s, x, y, c, [&](const FillXYError& e) { errors.push_back(e); });
    }
};

TEST(Capture, WorkedExamplePolyMode) {
    ProjectState s = withArea("3", "7", false);
    s.txtvtplinewidth = "12";
    Presser p;
    PressResult r = p.press(s, 10, 20);
    EXPECT_EQ(s.lstLWM.lines, Lines{"LWMPoint  10,  20"});
    EXPECT_EQ(s.lstVTP.lines, Lines{"VTPPointXY2  4855,  5885"});
    EXPECT_EQ(s.txtlwmnumber, "1");
    EXPECT_EQ(s.txtvtpnumber, " 1");
    EXPECT_EQ(s.lwmnumberColour, CounterColour::Black);
    EXPECT_EQ(s.vtpnumberColour, CounterColour::Black);
    EXPECT_EQ(r.lwmAppended, 1u);
    EXPECT_EQ(r.vtpAppended, 1u);
    EXPECT_TRUE(p.errors.empty());
}

TEST(Capture, WorkedExampleLineMode) {
    ProjectState s = withArea("3", "7", true);
    s.txtvtplinewidth = "12";
    Presser p;
    PressResult r = p.press(s, 10, 20);
    EXPECT_EQ(s.lstVTP.lines, (Lines{"VTPWidePoint  4855, 1,  5885, 0", "VTPWidePointWidth 1",
                                     "VTPWidePoint  4855, 1,  5885, 0", "VTPWidePointWidth 12",
                                     "VTPWidePoint  4855, 0,  5885, 0"}));
    EXPECT_EQ(s.txtvtpnumber, "3");
    EXPECT_EQ(r.vtpAppended, 5u);

    r = p.press(s, 11, 20);
    EXPECT_EQ(s.lstVTP.lines.back(), "VTPWidePoint  4856, 0,  5885, 0");
    EXPECT_EQ(s.lstVTP.lines.size(), 6u);
    EXPECT_EQ(s.txtvtpnumber, "4");
    EXPECT_EQ(s.lstLWM.lines, (Lines{"LWMPoint  10,  20", "LWMPoint  11,  20"}));
    EXPECT_EQ(s.txtlwmnumber, "2");
    EXPECT_EQ(r.vtpAppended, 1u);
}

struct PointCase {
    const char* name;
    const char *areaX, *areaY;
    float x, y;
    double width, height;
    const char *lblx, *lbly, *vtpx, *vtpy;
};

class FillXYTest : public testing::TestWithParam<PointCase> {};

TEST_P(FillXYTest, PolyTexts) {
    const PointCase& c = GetParam();
    ProjectState s = withArea(c.areaX, c.areaY, false);
    ASSERT_FALSE(FillXY(s, c.x, c.y, 0, {c.width, c.height}).has_value());
    EXPECT_EQ(s.lblx, c.lblx);
    EXPECT_EQ(s.lbly, c.lbly);
    EXPECT_EQ(s.lblvtp2x, c.vtpx);
    EXPECT_EQ(s.lblvtp2y, c.vtpy);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, FillXYTest,
    testing::Values(
        PointCase{"EmptyAreaOrigin", "", "", 0, 0, 256, 256, " 0, ", " 0", " 4080, ", " 4080"},
        PointCase{"UpperBound", "31", "31", 255, 255, 256, 256, " 255, ", " 255", " 12240, ",
                  " 12240"},
        PointCase{"AreaBeyondCell", "32", "0", 10, 0, 256, 256, " 10, ", " 0", " 12240, ", " 4080"},
        PointCase{"LeftOfView", "2", "0", -3, 0, 256, 256, " 0, ", " 0", " 4587, ", " 4080"},
        PointCase{"BelowView", "0", "0", 0, 300, 256, 256, " 0, ", " 255", " 4080, ", " 4380"},
        PointCase{"FractionalAreaHalfToEven", "1.5", "0", 0, 0, 256, 256, " 0, ", " 0", " 4462, ",
                  " 4080"},
        PointCase{"Int16Limit", "112", "0", 127, 0, 256, 256, " 127, ", " 0", " 12240, ", " 4080"},
        PointCase{"WideViewHalfDown", "0", "0", 5, 7, 512, 512, " 2, ", " 4", " 4082, ", " 4084"},
        PointCase{"CornerOfClientArea", "0", "0", 255, 255, 256, 256, " 255, ", " 255", " 4335, ",
                  " 4335"},
        PointCase{"NegativeClientSize", "0", "0", 10, 10, -256, -256, " 0, ", " 0", " 4080, ",
                  " 4080"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    const char* areaX;
    float x;
    double width;
    const char* description;
};

class FillXYFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FillXYFailureTest, ReportsAndWritesNothing) {
    const FailureCase& c = GetParam();
    ProjectState s = withArea(c.areaX, "0", false);
    s.lblx = "before";
    auto error = FillXY(s, c.x, 0, 0, {c.width, 256});
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->title, "Error in FillXY");
    EXPECT_EQ(error->message,
              std::string("The following error occured while calculating the X,Y positions:\r\n") +
                  c.description);
    EXPECT_EQ(s.lblx, "before");
    EXPECT_EQ(s.lblvtp2x, "");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FillXYFailureTest,
    testing::Values(
        FailureCase{"PastInt16", "112", 128, 256,
                    "Overflow: the VTP X coordinate 32768 lies outside -32768 to 32767."},
        FailureCase{"AreaTooLarge", "113", 0, 256,
                    "Overflow: the VTP X coordinate 32895 lies outside -32768 to 32767."},
        FailureCase{"ZeroWidth", "0", 10, 0, "Division by zero: the picture view has no width."},
        FailureCase{"PixelPastInt16", "0", 40000, 256,
                    "Overflow: the pixel X position 40000 lies outside -32768 to 32767."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Capture, FailedPressAppendsLinesFromTheOldTexts) {
    ProjectState s = withArea("113", "0", true);
    Presser p;
    p.press(s, 10, 20);
    // The opening press of a line tries three times and fails each time.
    EXPECT_EQ(p.errors.size(), 3u);
    EXPECT_EQ(s.lstLWM.lines, Lines{"LWMPoint "});
    EXPECT_EQ(s.lstVTP.lines, (Lines{"VTPWidePoint ", "VTPWidePointWidth 1", "VTPWidePoint ",
                                     "VTPWidePointWidth ", "VTPWidePoint "}));

    p.errors.clear();
    p.press(s, 10, 20);
    EXPECT_EQ(p.errors.size(), 1u);
}

TEST(Capture, MoveChangesOnlyTheCoordinateTexts) {
    ProjectState s = withArea("3", "7", true);
    Presser p;
    p.press(s, 1, 1);
    ProjectState before = s;
    Picture1_MouseMove(s, 10, 20, {}, {});
    EXPECT_EQ(s.lstLWM, before.lstLWM);
    EXPECT_EQ(s.lstVTP, before.lstVTP);
    EXPECT_EQ(s.txtlwmnumber, before.txtlwmnumber);
    EXPECT_EQ(s.lblx, " 10, ");
    EXPECT_EQ(s.lblvtp2x, " 4855, 0, ");
}

struct ColourCase {
    const char* name;
    bool line;
    int presses;
    const char* lwmCounter;
    CounterColour lwm;
    const char* vtpCounter;
    CounterColour vtp;
};

class CounterColourTest : public testing::TestWithParam<ColourCase> {};

TEST_P(CounterColourTest, TurnsRedPastTheShortForm) {
    const ColourCase& c = GetParam();
    ProjectState s = withArea("0", "0", c.line);
    Presser p;
    for (int i = 0; i < c.presses; ++i) p.press(s, 10, 10);
    EXPECT_EQ(s.txtlwmnumber, c.lwmCounter);
    EXPECT_EQ(s.lwmnumberColour, c.lwm);
    EXPECT_EQ(s.txtvtpnumber, c.vtpCounter);
    EXPECT_EQ(s.vtpnumberColour, c.vtp);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CounterColourTest,
    testing::Values(
        ColourCase{"Poly31", false, 31, "31", CounterColour::Black, " 31", CounterColour::Black},
        ColourCase{"Poly32", false, 32, "32", CounterColour::Black, " 32", CounterColour::Red},
        ColourCase{"Lwm62", false, 62, "62", CounterColour::Black, " 62", CounterColour::Red},
        ColourCase{"Lwm63", false, 63, "63", CounterColour::Red, " 63", CounterColour::Red},
        ColourCase{"Line29", true, 29, "29", CounterColour::Black, "31", CounterColour::Black},
        ColourCase{"Line30", true, 30, "30", CounterColour::Black, "32", CounterColour::Red}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Capture, StaleCounterAfterHandEditing) {
    ProjectState s = withArea("0", "0", false);
    Presser p;
    for (int i = 0; i < 63; ++i) p.press(s, 1, 1);
    s.lstLWM.selected = 0;
    xListRemoveSelected(s.lstLWM);
    s.lstLWM.selected = 0;
    xListRemoveSelected(s.lstLWM);
    EXPECT_EQ(s.txtlwmnumber, "63");
    p.press(s, 1, 1);
    // Coloured by the stale 63, then set to the true count.
    EXPECT_EQ(s.lwmnumberColour, CounterColour::Red);
    EXPECT_EQ(s.txtlwmnumber, "62");
}

TEST(Capture, SendNoDataBoxes) {
    ProjectState s = withArea("0", "0", false);
    s.chklwmnodata = true;
    Presser p;
    PressResult r = p.press(s, 1, 1);
    EXPECT_TRUE(s.lstLWM.lines.empty());
    EXPECT_EQ(s.txtlwmnumber, "");
    EXPECT_EQ(s.lwmnumberColour, CounterColour::Default);
    EXPECT_EQ(r.lwmAppended, 0u);
    EXPECT_EQ(s.lstVTP.lines.size(), 1u);

    s.chkvtpnodata = true;
    p.press(s, 2, 2);
    EXPECT_EQ(s.lstVTP.lines.size(), 1u);
    EXPECT_EQ(s.txtvtpnumber, " 1");
    EXPECT_EQ(s.lblx, " 2, ");
}

struct CounterTextCase {
    const char* name;
    bool line;
    const char* before;
    const char* after;
    std::size_t vtpLines;
    CounterColour colour;
};

class CounterTextTest : public testing::TestWithParam<CounterTextCase> {};

TEST_P(CounterTextTest, NextPressReadsTheCounterText) {
    const CounterTextCase& c = GetParam();
    ProjectState s = withArea("0", "0", c.line);
    s.txtvtpnumber = c.before;
    s.txtlwmnumber = c.before;
    Presser p;
    p.press(s, 1, 1);
    EXPECT_EQ(s.txtvtpnumber, c.after);
    EXPECT_EQ(s.lstVTP.lines.size(), c.vtpLines);
    EXPECT_EQ(s.vtpnumberColour, c.colour);
    EXPECT_EQ(s.txtlwmnumber, "1");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CounterTextTest,
    testing::Values(CounterTextCase{"PolyFraction", false, "2.5", " 3.5", 1, CounterColour::Black},
                    CounterTextCase{"PolyLetters", false, "abc", " 1", 1, CounterColour::Black},
                    CounterTextCase{"PolyBeyondDoubleRange", false, "1E400",
                                    " 1.79769313486232E+308", 1, CounterColour::Red},
                    CounterTextCase{"LineOneOpens", true, "1", "3", 5, CounterColour::Black},
                    CounterTextCase{"LineLeftByPolyContinues", true, " 5", "-1", 1,
                                    CounterColour::Black},
                    CounterTextCase{"LineBeyondDoubleRangeContinues", true, "1E400", "-1", 1,
                                    CounterColour::Black}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Capture, EmptyLineWidthKeepsItsTrailingBlank) {
    ProjectState s = withArea("0", "0", true);
    Presser p;
    p.press(s, 1, 1);
    EXPECT_EQ(s.lstVTP.lines[3], "VTPWidePointWidth ");
}

TEST(Capture, CounterPastSixteenBits) {
    ProjectState s = withArea("0", "0", false);
    s.lstLWM.lines.assign(40000, "LWMPoint  1,  1");
    Presser p;
    p.press(s, 1, 1);
    EXPECT_EQ(s.txtlwmnumber, "40001");
    EXPECT_EQ(s.lstLWM.lines.size(), 40001u);
    EXPECT_EQ(s.lstLWM.lines.front(), "LWMPoint  1,  1");
}

struct EditCase {
    const char* name;
    Lines lines;
    int selected;
    const char* reply;
    Lines after;
    int selectedAfter;
};

class InsertTest : public testing::TestWithParam<EditCase> {};

TEST_P(InsertTest, InsertsBeforeTheSelectedLine) {
    PointList list{GetParam().lines, GetParam().selected};
    insertBeforeSelected(list, GetParam().reply);
    EXPECT_EQ(list.lines, GetParam().after);
    EXPECT_EQ(list.selected, GetParam().selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, InsertTest,
    testing::Values(EditCase{"Comment",
                             {"a", "b", "c", "d", "e"},
                             2,
                             ";  north shore",
                             {"a", "b", ";  north shore", "c", "d", "e"},
                             3},
                    EditCase{"EmptyReply", {"a", "b"}, 1, "", {"a", "b"}, 1},
                    EditCase{"Blanks", {"a"}, 0, "   ", {"   ", "a"}, 1},
                    EditCase{"NoSelectionAppends", {"a"}, -1, "x", {"a", "x"}, -1},
                    EditCase{"EmptyListAppends", {}, -1, "x", {"x"}, -1},
                    EditCase{"StaleSelectionAppends", {"a"}, 5, "x", {"a", "x"}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

class RemoveTest : public testing::TestWithParam<EditCase> {};

TEST_P(RemoveTest, RemovesOnlyTheSelectedLine) {
    PointList list{GetParam().lines, GetParam().selected};
    xListRemoveSelected(list);
    EXPECT_EQ(list.lines, GetParam().after);
    EXPECT_EQ(list.selected, GetParam().selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(Selections, RemoveTest,
                         testing::Values(EditCase{"Middle", {"a", "b", "c"}, 1, "", {"a", "c"}, -1},
                                         EditCase{
                                             "NoSelection", {"a", "b"}, -1, "", {"a", "b"}, -1},
                                         EditCase{"EmptyList", {}, -1, "", {}, -1},
                                         EditCase{"StaleSelection", {"a"}, 3, "", {"a"}, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ListEditing, ClearEmptiesTheCounterAndKeepsItsColour) {
    ProjectState s = withArea("0", "0", true);
    Presser p;
    for (int i = 0; i < 31; ++i) p.press(s, 1, 1);
    ASSERT_EQ(s.vtpnumberColour, CounterColour::Red);
    clearList(s.lstVTP, s.txtvtpnumber);
    EXPECT_TRUE(s.lstVTP.lines.empty());
    EXPECT_EQ(s.txtvtpnumber, "");
    EXPECT_EQ(s.vtpnumberColour, CounterColour::Red);
    // The next Line-mode press opens a new line.
    p.press(s, 1, 1);
    EXPECT_EQ(s.lstVTP.lines.size(), 5u);
    EXPECT_EQ(s.vtpnumberColour, CounterColour::Black);
}

TEST(ListEditing, PromptIsTheFixedText) {
    EXPECT_EQ(std::string(kInsertPrompt).size(), 275u);
    EXPECT_EQ(std::string(kInsertPrompt).back(), ' ');
}

// A 2 x 2 bitmap with 24-bit pixels: rows of 8 bytes after a 54-byte header.
std::string bitmap(std::uint32_t headerSize = 40, std::int32_t height = 2,
                   std::uint32_t compression = 0, std::uint32_t imageSize = 0) {
    std::string bytes(54 + 16, '\0');
    const auto put = [&bytes](std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<std::uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, headerSize, 4);
    put(18, 2, 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, compression, 4);
    put(34, imageSize, 4);
    return bytes;
}

struct BitmapCase {
    const char* name;
    std::string bytes;
    bool complete;
};

class BitmapCheckTest : public testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapCheckTest, RefusesABitmapCutShort) {
    EXPECT_EQ(bitmapIsComplete(GetParam().bytes), GetParam().complete);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BitmapCheckTest,
    testing::Values(BitmapCase{"Whole", bitmap(), true},
                    BitmapCase{"LastByteMissing", bitmap().substr(0, 69), false},
                    BitmapCase{"TopDownWhole", bitmap(40, -2), true},
                    BitmapCase{"HeaderCut", bitmap().substr(0, 30), false},
                    BitmapCase{"OnlyTheMagic", "BM is not enough\r\n", false},
                    BitmapCase{"HugeHeightClaimed", bitmap(40, 0x7FFFFFFF), false},
                    BitmapCase{"CompressedWithinTheFile", bitmap(40, 2, 1, 16), true},
                    BitmapCase{"CompressedPastTheEnd", bitmap(40, 2, 1, 17), false},
                    BitmapCase{"NotABitmap", "GIF89a", true}, BitmapCase{"Empty", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm4
