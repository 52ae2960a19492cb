// The three combo-box lists: sizes, ends, the generated runs and the
// irregular entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "source/vocabulary.h"

namespace qm4 {
namespace {

// The code of a value entry ("\"1135\"  ;..."), or -1 for any other entry.
int codeOf(const std::string& entry) {
    if (entry.size() < 3 || entry[0] != '"') return -1;
    return std::stoi(entry.substr(1, entry.find('"', 1) - 1));
}

const std::string& entryWithCode(const std::vector<std::string>& list, int code) {
    const auto it = std::find_if(list.begin(), list.end(),
                                 [code](const std::string& e) { return codeOf(e) == code; });
    static const std::string none = "(no entry)";
    return it == list.end() ? none : *it;
}

TEST(LandClassList, SizeEndsAndBlankRuns) {
    const auto& list = LandClassList();
    ASSERT_EQ(list.size(), 147u);
    EXPECT_EQ(list.front(), "\"0\"  ;Ocean, Sea, Large Lake");
    EXPECT_EQ(list[9], "\"9\"  ;Upland Tundra");
    EXPECT_EQ(list[10], "\"10\" ;Irrigated Grassland");
    EXPECT_EQ(entryWithCode(list, 128), "\"128\" ;Grass");
    EXPECT_EQ(list[142], "\"142\" ;Rock Ice");
    EXPECT_EQ(list[143], "\"252\" ;Custom Texture with All Seasons");
    EXPECT_EQ(list.back(), "\"255\" ;Invalid");
}

TEST(LandClassList, UnusedAndDoNotUseCodes) {
    std::set<int> unused;
    std::set<int> doNotUse;
    for (const auto& entry : LandClassList()) {
        if (entry.ends_with(";### Unused ###")) unused.insert(codeOf(entry));
        if (entry.ends_with("(DO NOT USE)")) doNotUse.insert(codeOf(entry));
    }
    EXPECT_EQ(unused, (std::set<int>{12, 14, 15, 18, 39, 49, 65, 66, 67, 68, 70, 71, 73, 74, 75, 77,
                                     79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 95, 96, 97, 98, 99}));
    EXPECT_EQ(doNotUse, (std::set<int>{1, 123, 124, 125, 126, 139, 140}));
}

TEST(VtpTypeList, SizeAndEnds) {
    const auto& list = VtpTypeList();
    ASSERT_EQ(list.size(), 221u);
    const std::vector<std::string> first(list.begin(), list.begin() + 6);
    EXPECT_EQ(first,
              (std::vector<std::string>{
                  ";Stream Lines", "\"1024\" ;unknown/perennial", "\"1025\" ;unknown/non-perennial",
                  "", ";Ocean Shorelines - Perennial", "\"1026\"   ;white sand"}));
    EXPECT_EQ(list.back(), "\"1209\"  ;All Types");
}

TEST(VtpTypeList, CodesRunWithoutGapAndGroupsAreSeparated) {
    const auto& list = VtpTypeList();
    int expected = 1024;
    int headings = 0;
    std::vector<std::size_t> blankSeparators;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].starts_with(";")) {
            ++headings;
            EXPECT_TRUE(i == 0 || list[i - 1].empty() || list[i - 1] == " ") << list[i];
        } else if (list[i] == " ") {
            blankSeparators.push_back(i);
        } else if (!list[i].empty()) {
            EXPECT_EQ(codeOf(list[i]), expected++) << list[i];
        }
    }
    EXPECT_EQ(expected, 1210);
    EXPECT_EQ(headings, 18);
    ASSERT_EQ(blankSeparators.size(), 2u);
    EXPECT_EQ(codeOf(list[blankSeparators[0] - 1]), 1106);
    EXPECT_EQ(codeOf(list[blankSeparators[1] - 1]), 1115);
}

TEST(VtpTypeList, GeneratedSetsAndIrregularEntries) {
    const auto& list = VtpTypeList();
    EXPECT_EQ(entryWithCode(list, 1034), "\"1034\"   ;dry oceanbed");
    EXPECT_EQ(entryWithCode(list, 1070), "\"1070\"   ;dry lakebed");
    EXPECT_EQ(entryWithCode(list, 1133), "\"1133\"   ;dry riverbed");
    EXPECT_EQ(entryWithCode(list, 1134), "\"1134\"  ;concrete / 1 lane");
    EXPECT_EQ(entryWithCode(list, 1135), "\"1135\"  ;asphalt / 1 lane");
    EXPECT_EQ(entryWithCode(list, 1142), "\"1142\"  ;concrete / 4 lane");
    EXPECT_EQ(entryWithCode(list, 1143), "\"1143\"  ;asphalt / 4 lanes");
    EXPECT_EQ(entryWithCode(list, 1157), "\"1157\"  ;dirt / 10 lanes");
    EXPECT_EQ(entryWithCode(list, 1166), "\"1166\"  ;concrete / 4 lanes");
    EXPECT_EQ(entryWithCode(list, 1200), "\"1200\"  ;Ice");
    EXPECT_EQ(entryWithCode(list, 1208), "\"1208\"  ;Black Sand Beach Park");
}

TEST(LayerList, ZeroToHundredWithoutLeadingZeros) {
    EXPECT_EQ(LayerList().size(), 101u);
    EXPECT_EQ(LayerList()[7], "7");
    EXPECT_EQ(LayerList().back(), "100");
}

}  // namespace
}  // namespace qm4
