// The two source writers against the worked examples, their counts and
// failures, and the view logic of the written files.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "file_test_support.h"
#include "source/source_writers.h"
#include "source/text_file.h"
#include "source/view_source.h"

namespace qm4 {
namespace {

using testing_support::goldenBytes;
using testing_support::matchesGolden;
using testing_support::readBytes;
using testing_support::ScratchFolder;

std::vector<std::string> rowsOf(const std::string& text) {
    std::vector<std::string> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        rows.push_back(text.substr(start, end - start));
    }
    return rows;
}

ProjectState lwmHarbour() {
    ProjectState s;
    s.txtprojectname = "Harbour";
    s.txtauthorname = "A. Builder";
    s.txtcomments = "Test mask";
    s.txtlatdeg = "47";
    s.txtlatmin = "30.00";
    s.txtlongdeg = "-122";
    s.txtlongmin = "15.50";
    s.txtcellx = "123";
    s.txtcelly = "120";
    s.txtareax = "5";
    s.txtareay = "28";
    s.Option1 = true;
    s.Option2 = false;
    s.txtaltitude = "0";
    s.txtlwmnumber = "3";
    s.lstLWM.lines = {"LWMPoint  10,  20", "LWMPoint  200,  20", "LWMPoint  100,  180"};
    return s;
}

ProjectState vtpHarbourLine() {
    ProjectState s;
    s.txtprojectname = "Harbour";
    s.txtauthorname = "Survey Team";
    s.txtcomments = "Quay roads";
    s.txtlatdeg = "47";
    s.txtlatmin = "30.00";
    s.txtlongdeg = "-122";
    s.txtlongmin = "18.00";
    s.txtcellx = "123";
    s.txtcelly = "120";
    s.txtareax = "2";
    s.txtareay = "28";
    s.cbolayer = "4";
    s.cbovtptype = "\"1135\"  ;asphalt / 1 lane";
    s.txtvtpnumber = "5";
    s.lstVTP.lines = {"VTPWidePoint  4600, 1,  11240, 0", "VTPWidePointWidth 1",
                      "VTPWidePoint  4600, 1,  11240, 0", "VTPWidePointWidth 12",
                      "VTPWidePoint  4600, 0,  11240, 0", "VTPWidePoint  4650, 0,  11260, 0",
                      "VTPWidePoint  4710, 0,  11310, 0"};
    return s;
}

ProjectState polyMode(ProjectState s) {
    s.Option3 = true;
    s.Option4 = false;
    return s;
}

struct GoldenCase {
    const char* name;
    std::function<ProjectState()> state;
    Expected<std::string> (*writer)(const ProjectState&);
    const char* golden;
};

class SourceGoldenTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(SourceGoldenTest, MatchesTheWorkedExample) {
    const auto text = GetParam().writer(GetParam().state());
    ASSERT_TRUE(text.ok()) << text.error().message;
    EXPECT_TRUE(matchesGolden(toWindows1252(*text), GetParam().golden));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SourceGoldenTest,
    testing::Values(GoldenCase{"LwmLand", lwmHarbour, lwmSourceText, "lwm_harbour_land.asm"},
                    GoldenCase{"LwmWater",
                               [] {
                                   auto s = lwmHarbour();
                                   s.Option1 = false;
                                   s.Option2 = true;
                                   return s;
                               },
                               lwmSourceText, "lwm_harbour_water.asm"},
                    GoldenCase{"LwmFreshProject", [] { return ProjectState{}; }, lwmSourceText,
                               "lwm_fresh.asm"},
                    GoldenCase{"VtpLine", vtpHarbourLine, vtpSourceText, "vtp_harbour_line.asm"},
                    GoldenCase{"VtpPoly",
                               [] {
                                   auto s = polyMode(vtpHarbourLine());
                                   s.txtvtpnumber = " 3";
                                   s.lstVTP.lines = {"VTPPointXY2  4600,  11240",
                                                     "VTPPointXY2  4650,  11260",
                                                     "VTPPointXY2  4710,  11310"};
                                   return s;
                               },
                               vtpSourceText, "vtp_harbour_poly.asm"},
                    GoldenCase{"VtpLineFortyPoints",
                               [] {
                                   auto s = vtpHarbourLine();
                                   s.txtvtpnumber = "40";
                                   return s;
                               },
                               vtpSourceText, "vtp_harbour_line_40.asm"},
                    GoldenCase{"VtpFreshProjectPoly", [] { return polyMode(ProjectState{}); },
                               vtpSourceText, "vtp_fresh_poly.asm"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CountCase {
    const char* name;
    const char* counter;
    std::vector<std::string> lwmRows;  // the polygon head, row 26
    std::vector<std::string> vtpRows;  // rows 30 and, when present, 31
};

class PointCountTest : public testing::TestWithParam<CountCase> {};

TEST_P(PointCountTest, ChoosesTheShortOrExtendedHead) {
    auto lwm = lwmHarbour();
    lwm.txtlwmnumber = GetParam().counter;
    const auto lwmText = lwmSourceText(lwm);
    ASSERT_TRUE(lwmText.ok()) << lwmText.error().message;
    EXPECT_EQ(rowsOf(*lwmText)[25], GetParam().lwmRows[0]);

    auto vtp = vtpHarbourLine();
    vtp.txtvtpnumber = GetParam().counter;
    const auto vtpText = vtpSourceText(vtp);
    ASSERT_TRUE(vtpText.ok()) << vtpText.error().message;
    const auto rows = rowsOf(*vtpText);
    const std::vector<std::string> heads(rows.begin() + 29,
                                         rows.begin() + 29 + GetParam().vtpRows.size());
    EXPECT_EQ(heads, GetParam().vtpRows);
    EXPECT_EQ(rows[29 + GetParam().vtpRows.size()], ";");
}

INSTANTIATE_TEST_SUITE_P(
    Counters, PointCountTest,
    testing::Values(
        CountCase{"Empty", "", {"  LWMPoly2  00, 0, 1, 0, 0"}, {"  VTPPolyMethod2 00, 1, 0"}},
        CountCase{"HalfDown", "2.5", {"  LWMPoly2  02, 0, 1, 0, 0"}, {"  VTPPolyMethod2 02, 1, 0"}},
        CountCase{"HalfUp", "3.5", {"  LWMPoly2  04, 0, 1, 0, 0"}, {"  VTPPolyMethod2 04, 1, 0"}},
        CountCase{"ThirtyTwo",
                  "32",
                  {"  LWMPoly2  32, 0, 1, 0, 0"},
                  {"  VTPPolyMethod2 31, 1, 0", "  VTPPolyMethod2Ex 01"}},
        CountCase{"SixtyTwo",
                  "62",
                  {"  LWMPoly2  62, 0, 1, 0, 0"},
                  {"  VTPPolyMethod2 31, 1, 0", "  VTPPolyMethod2Ex 31"}},
        CountCase{"SixtyThree",
                  "63",
                  {"  LWMPoly2Ex  63, 0, 1, 0, 0, 0"},
                  {"  VTPPolyMethod2 31, 1, 0", "  VTPPolyMethod2Ex 32"}},
        CountCase{"Largest",
                  "255",
                  {"  LWMPoly2Ex  63, 0, 1, 0, 0, 192"},
                  {"  VTPPolyMethod2 31, 1, 0", "  VTPPolyMethod2Ex 224"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    std::function<void(ProjectState&)> spoil;
    const char* lwmMessage;
    const char* vtpMessage;
};

class SourceFailureTest : public testing::TestWithParam<FailureCase> {};

// Both writers refuse before touching the file, so the earlier file stays.
TEST_P(SourceFailureTest, NamesTheFieldAndKeepsTheEarlierFile) {
    ScratchFolder folder;
    auto s = polyMode(lwmHarbour());
    ASSERT_TRUE(createlwm(s, folder.str()).ok());
    ASSERT_TRUE(createvtp(s, folder.str()).ok());
    const std::string lwmBefore = readBytes(LwmSourcePath(folder.str()));
    const std::string vtpBefore = readBytes(VtpSourcePath(folder.str()));

    GetParam().spoil(s);
    const Status lwm = createlwm(s, folder.str());
    const Status vtp = createvtp(s, folder.str());
    ASSERT_FALSE(lwm.ok());
    ASSERT_FALSE(vtp.ok());
    EXPECT_EQ(lwm.error().message, GetParam().lwmMessage);
    EXPECT_EQ(vtp.error().message, GetParam().vtpMessage);
    EXPECT_EQ(readBytes(LwmSourcePath(folder.str())), lwmBefore);
    EXPECT_EQ(readBytes(VtpSourcePath(folder.str())), vtpBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SourceFailureTest,
    testing::Values(FailureCase{"LatitudeNotANumber", [](ProjectState& s) { s.txtlatdeg = "abc"; },
                                "The latitude degrees \"abc\" are not a number.",
                                "The latitude degrees \"abc\" are not a number."},
                    FailureCase{"LongitudeEmpty", [](ProjectState& s) { s.txtlongdeg = ""; },
                                "The longitude degrees \"\" are not a number.",
                                "The longitude degrees \"\" are not a number."},
                    FailureCase{"CountRoundsOutOfRange",
                                [](ProjectState& s) {
                                    s.txtlwmnumber = "255.5";
                                    s.txtvtpnumber = "300";
                                },
                                "The LWM point count \"255.5\" is not between 0 and 255.",
                                "The VTP point count \"300\" is not between 0 and 255."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CreateSource, UnwritableFolderFailsNamingThePath) {
    ScratchFolder folder;
    const std::string missing = folder.file("no-such-folder");
    const Status status = createlwm(lwmHarbour(), missing);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find(LwmSourcePath(missing)), std::string::npos)
        << status.error().message;
}

TEST(CreateSource, WritesTheCodePageAndReplacesTheFileWhole) {
    ScratchFolder folder;
    auto s = lwmHarbour();
    s.txtprojectname = "Caf\xC3\xA9 \xE4\xB8\xAD";
    ASSERT_TRUE(createlwm(s, folder.str()).ok());
    ASSERT_TRUE(createlwm(s, folder.str()).ok());
    const std::string bytes = readBytes(LwmSourcePath(folder.str()));
    EXPECT_EQ(bytes.substr(0, 12), ";  Caf\xE9 ?  /");
    EXPECT_EQ(bytes.size(), goldenBytes("lwm_harbour_land.asm").size() - 1);
}

TEST(VtpListText, FlagsOnlyTheFirstZeroOfTheLastLine) {
    ProjectState s;
    EXPECT_EQ(VtpListText(s), "");
    s.lstVTP.lines = {"VTPWidePoint  1, 0,  2, 0", "VTPWidePoint  3, 0,  4, 0"};
    EXPECT_EQ(VtpListText(s), "VTPWidePoint  1, 0,  2, 0\r\nVTPWidePoint  3, 1,  4, 0");
    s.lstVTP.lines = {"VTPWidePoint  1, 0,  2, 0", "VTPWidePointWidth 12"};
    EXPECT_EQ(VtpListText(s), "VTPWidePoint  1, 0,  2, 0\r\nVTPWidePointWidth 12");
}

TEST(VtpSource, FifthTextureNameTakesANonEmptyLandClass) {
    auto s = vtpHarbourLine();
    s.cbolandclass = " ";
    const auto rows = rowsOf(*vtpSourceText(s));
    // Template rows 60 and 72: no row 31, and the list fills seven rows.
    EXPECT_EQ(rows[60 - 2 + 6], "    VTPTextureName \"1135\"  ;asphalt / 1 lane");
    EXPECT_EQ(rows[72 - 2 + 6], "    VTPTextureName  ");
}

TEST(ViewSource, EditorCommands) {
    EXPECT_EQ(windowsEditorCommandLine("C:\\WINDOWS", "C:\\Tools\\LWMSource.asm"),
              "C:\\WINDOWS\\notepad.exe C:\\Tools\\LWMSource.asm");
    EXPECT_EQ(windowsEditorCommandLine("C:\\WINDOWS", "C:\\My Tools\\VTPSource.asm"),
              "C:\\WINDOWS\\notepad.exe \"C:\\My Tools\\VTPSource.asm\"");
    const EditorCommand command = linuxEditorCommand("/opt/my tools/LWMSource.asm");
    EXPECT_EQ(command.program, "xdg-open");
    EXPECT_EQ(command.arguments, std::vector<std::string>{"/opt/my tools/LWMSource.asm"});
}

}  // namespace
}  // namespace qm4
