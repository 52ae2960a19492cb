// The project file: exact bytes, the save-open round trip, line ends, the
// option pairing, and files or names that are refused without harm.
#include <gtest/gtest.h>

#include <filesystem>

#include "file_test_support.h"
#include "project/project_file.h"
#include "source/text_file.h"

namespace qm4 {
namespace {

using testing_support::matchesGolden;
using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

// The demo file's 26 lines with line ending `end`, option lines replaced.
std::string demoFile(const std::string& end, const std::string& line19 = "False",
                     const std::string& line20 = "True", const std::string& line24 = "False",
                     const std::string& line25 = "True") {
    const std::vector<std::string> lines = {
        "demo", "", "", "-00", "00.00", "-000", "00.00", "", "", "", "",     "",     "",
        "",     "", "", "",    "",      line19, line20,  "", "", "", line24, line25, ""};
    std::string text;
    for (const auto& line : lines) text += line + end;
    return text;
}

ProjectState everyFieldSet() {
    ProjectState s;
    s.txtprojectname = " Harbour \"North\" ";
    s.txtauthorname = "Ren\xC3\xA9 Caf\xC3\xA9";
    s.txtcomments = "quay, pier; \"old\" town ";
    s.txtlatdeg = "47";
    s.txtlatmin = "30.00";
    s.txtlongdeg = "-122";
    s.txtlongmin = "15.50";
    s.lbllatdd = "47.5";
    s.lbllongdd = "-122.258333333333";
    s.lblcellx = "123";
    s.lblcelly = "120";
    s.lblareax = "5";
    s.lblareay = "28";
    s.txtcellx = "123";
    s.txtcelly = "120";
    s.txtareax = "5";
    s.txtareay = "28";
    s.txtaltitude = "-9999";
    s.Option1 = true;
    s.Option2 = false;
    s.cbovtptype = "\"1135\"  ;asphalt / 1 lane";
    s.txtvtplinewidth = "12";
    s.cbolayer = "4";
    s.Option3 = true;
    s.Option4 = false;
    s.cbolandclass = "\"0\"  ;Ocean, Sea, Large Lake";
    return s;
}

TEST(ProjectFile, StartStateMatchesTheGoldenFiles) {
    ProjectState s;
    EXPECT_TRUE(matchesGolden(toWindows1252(projectFileText(s)), "project_fresh.dat"));
    s.txtprojectname = "demo";
    EXPECT_TRUE(matchesGolden(toWindows1252(projectFileText(s)), "project_demo.dat"));
}

TEST(ProjectFile, SaveThenOpenGivesBackAllFieldsAndEmptiesTheRest) {
    ScratchFolder folder;
    const ProjectState saved = everyFieldSet();
    const auto path = ProjectFilePath(folder.str(), saved);
    ASSERT_TRUE(path.ok()) << path.error().message;
    ASSERT_TRUE(WriteProjectFile(*path, saved).ok());
    EXPECT_NE(readBytes(*path).find("Ren\xE9"), std::string::npos);

    ProjectState opened;
    opened.lstLWM = {{"LWMPoint  1,  2"}, 0};
    opened.lstVTP = {{"VTPPointXY2  4081,  4082"}, -1};
    opened.txtlwmnumber = "1";
    opened.txtvtpnumber = "1";
    opened.chklwmnodata = true;
    ASSERT_TRUE(ReadProjectFile(*path, opened).ok());

    ProjectState expected = saved;
    expected.chklwmnodata = true;
    EXPECT_EQ(opened, expected);
}

TEST(ProjectFile, LineBreaksInAValueAreWrittenAsBlanks) {
    ProjectState s;
    s.txtcomments = "one\r\ntwo\nthree\rfour";
    s.txtauthorname = "A\nB";
    const auto parsed = parseProjectFile(toWindows1252(projectFileText(s)));
    ASSERT_TRUE(parsed.ok()) << parsed.error().message;
    EXPECT_EQ(parsed->lines[1], "A B");
    EXPECT_EQ(parsed->lines[2], "one  two three four");
    EXPECT_EQ(parsed->lines[3], "-00");
}

struct LineEndCase {
    const char* name;
    std::string bytes;
    int line;
    std::string value;
};

class ProjectLineEndTest : public testing::TestWithParam<LineEndCase> {};

TEST_P(ProjectLineEndTest, OnlyACarriageReturnEndsALine) {
    const auto parsed = parseProjectFile(GetParam().bytes);
    ASSERT_TRUE(parsed.ok()) << parsed.error().message;
    EXPECT_EQ(parsed->lines[GetParam().line - 1], GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProjectLineEndTest,
    testing::Values(LineEndCase{"CarriageReturnOnly", demoFile("\r"), 4, "-00"},
                    LineEndCase{"LoneLineFeedBelongsToTheValue",
                                "de\nmo\r\n" + demoFile("\r\n").substr(6), 1, "de\nmo"},
                    LineEndCase{"LastLineWithoutEndKeepsItsText",
                                demoFile("\r\n").substr(0, 89) + "x", 26, "x"},
                    LineEndCase{"ExtraLinesIgnored", demoFile("\r\n") + "junk\r\nmore\r\n", 26, ""},
                    LineEndCase{"CodePageDecoded", "Caf\xE9\x80\r\n" + demoFile("\r\n").substr(6),
                                1, "Caf\xC3\xA9\xE2\x82\xAC"}),
    [](const auto& info) { return std::string(info.param.name); });

struct OptionCase {
    const char* name;
    std::string first;
    std::string second;
    bool firstSelected;
    bool secondSelected;
};

class ProjectOptionTest : public testing::TestWithParam<OptionCase> {};

// True selects and deselects the partner; false deselects only itself.
TEST_P(ProjectOptionTest, PairsApplyInFileOrder) {
    const auto& c = GetParam();
    for (const bool lwmPair : {true, false}) {
        const auto parsed =
            lwmPair ? parseProjectFile(demoFile("\r\n", c.first, c.second))
                    : parseProjectFile(demoFile("\r\n", "False", "True", c.first, c.second));
        ASSERT_TRUE(parsed.ok()) << parsed.error().message;
        ProjectState s;
        s.Option1 = s.Option2 = s.Option3 = s.Option4 = true;
        applyProjectFile(s, *parsed);
        EXPECT_EQ(lwmPair ? s.Option1 : s.Option3, c.firstSelected);
        EXPECT_EQ(lwmPair ? s.Option2 : s.Option4, c.secondSelected);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ProjectOptionTest,
                         testing::Values(OptionCase{"TrueFalse", "True", "False", true, false},
                                         OptionCase{"FalseTrue", "False", "True", false, true},
                                         OptionCase{"TrueTrue", "True", "True", false, true},
                                         OptionCase{"FalseFalse", "False", "False", false, false},
                                         OptionCase{"ZeroMinusOne", "0", "-1", false, true},
                                         OptionCase{"OneZero", "1", "0", true, false},
                                         OptionCase{"AnyLetterCase", "tRUE", "FALSE", true, false},
                                         OptionCase{"BlanksAround", " 2.5 ", " False", true,
                                                    false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadFileCase {
    const char* name;
    std::string bytes;
    std::string message;
};

class ProjectBadFileTest : public testing::TestWithParam<BadFileCase> {};

TEST_P(ProjectBadFileTest, IsRefusedWithoutChangingTheProject) {
    ScratchFolder folder;
    const std::string path = folder.file("bad.dat");
    writeBytes(path, GetParam().bytes);
    ProjectState s = everyFieldSet();
    s.lstLWM.lines = {"LWMPoint  1,  2"};
    const ProjectState before = s;
    const Status status = ReadProjectFile(path, s);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().message,
              "Could not open the project \"" + path + "\". " + GetParam().message);
    EXPECT_EQ(s, before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProjectBadFileTest,
    testing::Values(
        BadFileCase{"Empty", "", "The project file has only 0 lines; a project file has 26."},
        BadFileCase{"TwentyFiveLines", demoFile("\r\n").substr(0, 87),
                    "The project file has only 25 lines; a project file has 26."},
        BadFileCase{"LineFeedsOnly", demoFile("\n"),
                    "The project file has only 1 line; a project file has 26."},
        BadFileCase{"OptionWord", demoFile("\r\n", "False", "Yes"),
                    "Line 20 of the project file should be \"True\", \"False\" or a number, "
                    "but it is \"Yes\"."},
        BadFileCase{"LineLongerThanABoxHolds",
                    "demo\r\n" + std::string(32768, 'x') + demoFile("\r\n").substr(6),
                    "Line 2 of the project file holds 32768 characters; a line holds at most "
                    "32767."}),
    [](const auto& info) { return std::string(info.param.name); });

// The limit counts characters, not the bytes they take inside the program.
TEST(ProjectFile, ALineAsLongAsABoxHoldsOpensAndSaves) {
    ScratchFolder folder;
    const std::string path = folder.file("long.dat");
    const std::string longest(32767, '\xE9');
    writeBytes(path, "demo\r\n\r\n" + longest + demoFile("\r\n").substr(8));
    ProjectState s;
    ASSERT_TRUE(ReadProjectFile(path, s).ok());
    EXPECT_EQ(s.txtcomments, fromWindows1252(longest));
    EXPECT_TRUE(WriteProjectFile(path, s).ok());
}

TEST(ProjectFile, AValueTooLongToOpenAgainIsNotSaved) {
    ScratchFolder folder;
    const std::string path = folder.file("demo.dat");
    writeBytes(path, "earlier");
    ProjectState s;
    s.txtcomments = std::string(32768, 'c');
    const Status status = WriteProjectFile(path, s);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().message,
              "Line 3 of the project file would hold 32768 characters; a line holds at most "
              "32767.");
    EXPECT_EQ(readBytes(path), "earlier");
}

TEST(ReadProjectFile, AFolderOrMissingFileChangesNothing) {
    ScratchFolder folder;
    for (const auto& path : {folder.str(), folder.file("absent.dat")}) {
        ProjectState s = everyFieldSet();
        const Status status = ReadProjectFile(path, s);
        ASSERT_FALSE(status.ok()) << path;
        EXPECT_NE(status.error().message.find(path), std::string::npos) << status.error().message;
        EXPECT_EQ(s, everyFieldSet());
    }
}

TEST(ProjectFilePath, NamesThatStayInTheFolder) {
    ProjectState s;
    s.txtprojectname = "demo";
    EXPECT_EQ(*ProjectFilePath("/opt/q", s), joinPath("/opt/q", "demo.dat"));
    s.txtprojectname = "my.project v2";
    EXPECT_EQ(*ProjectFilePath("/opt/q", s), joinPath("/opt/q", "my.project v2.dat"));
}

TEST(ProjectFilePath, NamesThatWouldLeaveTheFolderAreRefused) {
    for (const auto& name : std::vector<std::string>{"../demo", "sub/demo", "sub\\demo", ".", "..",
                                                     std::string("de\0mo", 5)}) {
        ProjectState s;
        s.txtprojectname = name;
        const auto path = ProjectFilePath("/opt/q", s);
        ASSERT_FALSE(path.ok()) << name;
        EXPECT_NE(path.error().message.find("cannot be used as a file name"), std::string::npos);
    }
}

}  // namespace
}  // namespace qm4
