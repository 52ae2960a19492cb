// Number readings, text forms, the option switches and the cell and area
// calculation.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "model/calculate.h"
#include "model/numbers.h"
#include "model/project_state.h"

namespace qm4 {
namespace {

struct LeadingCase {
    const char* name;
    const char* text;
    double value;
};

class LeadingNumberTest : public testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumberTest, ReadsTheLongestLeadingNumber) {
    EXPECT_DOUBLE_EQ(leadingNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    testing::Values(
        LeadingCase{"Empty", "", 0}, LeadingCase{"Letters", "abc", 0},
        LeadingCase{"NumberThenLetters", "12abc", 12}, LeadingCase{"StartValueLat", "-00", 0},
        LeadingCase{"Minutes", "15.50", 15.5}, LeadingCase{"BlanksAnywhere", " 1 2\t3\n4 ", 1234},
        LeadingCase{"SignThenBlank", "- 5", -5}, LeadingCase{"PlusSign", "+7", 7},
        LeadingCase{"SecondPointStops", "1.5.3", 1.5}, LeadingCase{"CommaStops", "1,5", 1},
        LeadingCase{"LeadingPoint", ".25", 0.25}, LeadingCase{"ExponentE", "1.5E2", 150},
        LeadingCase{"ExponentD", "2D3", 2000}, LeadingCase{"LowerCaseExponent", "3e-1", 0.3},
        LeadingCase{"ExponentWithoutDigits", "4E", 4},
        LeadingCase{"ExponentSignWithoutDigits", "4E+x", 4}, LeadingCase{"SignAlone", "-", 0},
        LeadingCase{"PointAlone", ".", 0}, LeadingCase{"CarriageReturnStops", "1\r2", 1},
        LeadingCase{"Overflow", "1E400", DBL_MAX},
        LeadingCase{"NegativeOverflow", "-1E400", -DBL_MAX}, LeadingCase{"Underflow", "1E-400", 0},
        LeadingCase{"HugeExponentDigits", "1E99999999999999999999", DBL_MAX},
        LeadingCase{"ManyLeadingZeros", "0.0000000001E400", DBL_MAX}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LeadingNumber, NegativeZeroReadsAsZero) { EXPECT_FALSE(std::signbit(leadingNumber("-0"))); }

struct StrictCase {
    const char* name;
    const char* text;
    std::optional<double> value;
};

class StrictNumberTest : public testing::TestWithParam<StrictCase> {};

TEST_P(StrictNumberTest, AcceptsOnlyOneWholeNumber) {
    auto v = strictNumber(GetParam().text);
    ASSERT_EQ(v.has_value(), GetParam().value.has_value()) << GetParam().text;
    if (v) {
        EXPECT_DOUBLE_EQ(*v, *GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrictNumberTest,
    testing::Values(StrictCase{"Integer", "47", 47}, StrictCase{"StartValue", "-000", 0},
                    StrictCase{"Fraction", "47.5", 47.5}, StrictCase{"Blanks", "  -122 ", -122},
                    StrictCase{"Exponent", "1E2", 100}, StrictCase{"TrailingPoint", "5.", 5},
                    StrictCase{"Empty", "", std::nullopt},
                    StrictCase{"BlanksOnly", "   ", std::nullopt},
                    StrictCase{"Letters", "abc", std::nullopt},
                    StrictCase{"TrailingLetters", "47N", std::nullopt},
                    StrictCase{"InnerBlank", "4 7", std::nullopt},
                    StrictCase{"TwoPoints", "1.2.3", std::nullopt},
                    StrictCase{"ExponentWithoutDigits", "1E", std::nullopt},
                    StrictCase{"Overflow", "1E400", std::nullopt},
                    StrictCase{"Comma", "47,5", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextCase {
    const char* name;
    double value;
    const char* decimal;
    const char* blankSigned;
};

class TextFormTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextFormTest, DecimalAndBlankSigned) {
    EXPECT_EQ(decimalText(GetParam().value), GetParam().decimal);
    EXPECT_EQ(blankSignedText(GetParam().value), GetParam().blankSigned);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TextFormTest,
    testing::Values(
        TextCase{"Zero", 0, "0", " 0"}, TextCase{"NegativeZero", -0.0, "0", " 0"},
        TextCase{"Whole", 767, "767", " 767"}, TextCase{"Negative", -3, "-3", "-3"},
        TextCase{"Half", 47.5, "47.5", " 47.5"},
        TextCase{"FifteenDigits", -122.25833333333333, "-122.258333333333", "-122.258333333333"},
        TextCase{"RoundsUpAtFifteen", 151.21000000000001, "151.21", " 151.21"},
        TextCase{"Small", 0.0001, "0.0001", " 0.0001"},
        TextCase{"SmallExponent", 0.000025, "2.5E-05", " 2.5E-05"},
        TextCase{"LargestFixed", 123456789012345, "123456789012345", " 123456789012345"},
        TextCase{"LargeExponent", 1e15, "1E+15", " 1E+15"},
        TextCase{"Max", DBL_MAX, "1.79769313486232E+308", " 1.79769313486232E+308"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundCase {
    const char* name;
    double value;
    std::optional<int16_t> int16;
    std::optional<uint8_t> uint8;
};

class RoundingTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundingTest, HalfToEvenWithRangeFailure) {
    EXPECT_EQ(roundToInt16(GetParam().value), GetParam().int16);
    EXPECT_EQ(roundToUint8(GetParam().value), GetParam().uint8);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RoundingTest,
    testing::Values(RoundCase{"HalfDown", 2.5, 2, 2}, RoundCase{"HalfUp", 3.5, 4, 4},
                    RoundCase{"NegativeHalf", -2.5, -2, std::nullopt},
                    RoundCase{"AboveHalf", 2.51, 3, 3},
                    RoundCase{"VtpHalf", 4462.5, 4462, std::nullopt},
                    RoundCase{"Int16Max", 32767, 32767, std::nullopt},
                    RoundCase{"Int16Overflow", 32768, std::nullopt, std::nullopt},
                    RoundCase{"Int16HalfOverflow", 32767.5, std::nullopt, std::nullopt},
                    RoundCase{"Int16Min", -32768, -32768, std::nullopt},
                    RoundCase{"Int16Underflow", -32769, std::nullopt, std::nullopt},
                    RoundCase{"Uint8Max", 255.4, 255, 255},
                    RoundCase{"Uint8HalfOverflow", 255.5, 256, std::nullopt},
                    RoundCase{"Infinite", INFINITY, std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClampInt, LowBoundIsTestedFirst) {
    int16_t v = 5;
    ClampInt(v, 10, 0);  // an inverted range shows which bound wins
    EXPECT_EQ(v, 10);
    v = -4;
    ClampInt(v, 0, 31);
    EXPECT_EQ(v, 0);
    v = 40;
    ClampInt(v, 0, 31);
    EXPECT_EQ(v, 31);
}

struct SwitchCase {
    const char* name;
    bool option1, option2, option3, option4;
    int16_t mask, linePoly;
};

class SwitchTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, DerivedFromTheButtons) {
    ProjectState s;
    s.Option1 = GetParam().option1;
    s.Option2 = GetParam().option2;
    s.Option3 = GetParam().option3;
    s.Option4 = GetParam().option4;
    EXPECT_EQ(LwmMask(s), GetParam().mask);
    EXPECT_EQ(VtpLinePoly(s), GetParam().linePoly);
}

INSTANTIATE_TEST_SUITE_P(Buttons, SwitchTest,
                         testing::Values(SwitchCase{"Fresh", false, true, false, true, 0, 1},
                                         SwitchCase{"LandPoly", true, false, true, false, 1, 0},
                                         SwitchCase{"NeitherSelected", false, false, false, false,
                                                    1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CalcCase {
    const char* name;
    const char *latDeg, *latMin, *longDeg, *longMin;
    const char *cellX, *cellY, *areaX, *areaY, *latDd, *longDd;
};

class CalculateTest : public testing::TestWithParam<CalcCase> {};

TEST_P(CalculateTest, WritesTheTenFields) {
    const CalcCase& c = GetParam();
    ProjectState s;
    s.txtlatdeg = c.latDeg;
    s.txtlatmin = c.latMin;
    s.txtlongdeg = c.longDeg;
    s.txtlongmin = c.longMin;
    calculate(s);
    EXPECT_EQ(s.txtcellx, c.cellX);
    EXPECT_EQ(s.txtcelly, c.cellY);
    EXPECT_EQ(s.txtareax, c.areaX);
    EXPECT_EQ(s.txtareay, c.areaY);
    EXPECT_EQ(s.lblcellx, c.cellX);
    EXPECT_EQ(s.lblcelly, c.cellY);
    EXPECT_EQ(s.lblareax, c.areaX);
    EXPECT_EQ(s.lblareay, c.areaY);
    EXPECT_EQ(s.lbllatdd, c.latDd);
    EXPECT_EQ(s.lbllongdd, c.longDd);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, CalculateTest,
    testing::Values(
        CalcCase{"StartValues", "-00", "00.00", "-000", "00.00", "384", "256", "0", "0", "0", "0"},
        CalcCase{"Seattle", "47", "30.00", "-122", "15.50", "123", "120", "5", "28", "47.5",
                 "-122.258333333333"},
        CalcCase{"Sydney", "-33", "51.90", "151", "12.60", "706", "352", "18", "10", "-33.865",
                 "151.21"},
        CalcCase{"ZeroDegreesDropMinutes", "51", "28.50", "-000", "07.50", "384", "109", "0", "18",
                 "51.475", "0"},
        CalcCase{"EastEdge", "0", "0", "180", "0", "767", "256", "31", "0", "0", "180"},
        CalcCase{"WestEdge", "0", "0", "-180", "0", "0", "256", "0", "0", "0", "-180"},
        CalcCase{"NorthPole", "90", "0", "0", "0", "384", "0", "0", "0", "90", "0"},
        CalcCase{"SouthPole", "-90", "0", "0", "0", "384", "511", "0", "31", "-90", "0"},
        CalcCase{"BeyondNorthEast", "91", "0", "181", "0", "767", "0", "31", "0", "91", "181"},
        CalcCase{"MinutesBeyondSixty", "10", "75", "0", "0", "384", "224", "0", "0", "11.25", "0"},
        CalcCase{"NegativeMinutes", "10", "-30", "0", "0", "384", "228", "0", "31", "9.5", "0"},
        CalcCase{"LettersReadAsZero", "abc", "x", "12abc", "0", "409", "256", "19", "0", "0", "12"},
        CalcCase{"AreaDifferenceOverflowsEast", "0", "0", "700", "0", "767", "256", "31", "0", "0",
                 "700"},
        CalcCase{"AreaDifferenceOverflowsWest", "0", "0", "-700", "0", "0", "256", "0", "0", "0",
                 "-700"},
        CalcCase{"CellIndexOverflowsNorth", "20000", "0", "0", "0", "384", "0", "0", "0", "20000",
                 "0"},
        CalcCase{"BeyondDoubleRange", "1E400", "1E400", "-1E400", "0", "0", "0", "0", "0",
                 "Infinity", "-1.79769313486232E+308"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm4
