// The code page at the file boundary, whole-file writes and capped reads.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "file_test_support.h"
#include "source/text_file.h"

namespace qm4 {
namespace {

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

struct EncodeCase {
    const char* name;
    std::string utf8;
    std::string bytes;
};

class ToWindows1252Test : public testing::TestWithParam<EncodeCase> {};

TEST_P(ToWindows1252Test, MapsOrReplacesWithQuestionMark) {
    EXPECT_EQ(toWindows1252(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ToWindows1252Test,
    testing::Values(EncodeCase{"Ascii", "LWMPoint  10,  20\r\n", "LWMPoint  10,  20\r\n"},
                    EncodeCase{"Latin1", "Caf\xC3\xA9 \xC3\xBF", "Caf\xE9 \xFF"},
                    EncodeCase{"EuroAndQuotes", "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D",
                               "\x80 \x93q\x94"},
                    EncodeCase{"NotInCodePage",
                               "a\xE4\xB8\xAD"
                               "b",
                               "a?b"},
                    EncodeCase{"FourByteCharacter", "\xF0\x9F\x98\x80", "?"},
                    EncodeCase{"C1ControlHasNoByte", "\xC2\x81", "?"},
                    EncodeCase{"StrayContinuation", "\x80x", "?x"},
                    EncodeCase{"TruncatedAtEnd", "x\xC3", "x?"},
                    EncodeCase{"OverlongSlash", "\xC0\xAF", "??"},
                    EncodeCase{"Surrogate", "\xED\xA0\x80", "???"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Windows1252, EveryByteSurvivesADecodeEncodeRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const bool unassigned = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        const std::string decoded = fromWindows1252(byte);
        if (unassigned) {
            EXPECT_EQ(decoded, "\xEF\xBF\xBD") << b;
            EXPECT_EQ(toWindows1252(decoded), "?") << b;
        } else {
            EXPECT_EQ(toWindows1252(decoded), byte) << b;
        }
    }
}

TEST(WriteFileAtomically, ReplacesTheOldFileAndLeavesNoTemporaryBehind) {
    ScratchFolder folder;
    const std::string path = folder.file("out.txt");
    writeBytes(path, "an older and longer text");
    ASSERT_TRUE(writeFileAtomically(path, std::string("new\0\r\n", 6)).ok());
    EXPECT_EQ(readBytes(path), std::string("new\0\r\n", 6));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(WriteFileAtomically, MissingFolderFailsNamingThePath) {
    ScratchFolder folder;
    const std::string path = folder.file("missing/out.txt");
    const Status status = writeFileAtomically(path, "x");
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find(path), std::string::npos) << status.error().message;
}

TEST(WriteFileAtomically, AFolderInTheWayIsLeftAlone) {
    ScratchFolder folder;
    const std::string path = folder.file("taken");
    std::filesystem::create_directory(path);
    writeBytes(folder.file("taken/inside.txt"), "kept");
    EXPECT_FALSE(writeFileAtomically(path, "x").ok());
    EXPECT_EQ(readBytes(folder.file("taken/inside.txt")), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(WriteFileAtomically, ReadOnlyFileIsRefusedAndKept) {
    ScratchFolder folder;
    const std::string path = folder.file("LWMSource.asm");
    writeBytes(path, "earlier");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    const Status status = writeFileAtomically(path, "new");
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find("read-only"), std::string::npos);
    EXPECT_EQ(readBytes(path), "earlier");
}

TEST(WriteFileAtomically, KeepsThePermissionsOfTheFileItReplaces) {
    ScratchFolder folder;
    const std::string path = folder.file("demo.dat");
    writeBytes(path, "earlier");
    const auto mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_write;
    std::filesystem::permissions(path, mode);
    ASSERT_TRUE(writeFileAtomically(path, "new").ok());
    EXPECT_EQ(std::filesystem::status(path).permissions(), mode);
}

// A file-size limit makes the kernel refuse the write part-way, as a full
// disk does.
TEST(WriteFileAtomically, FailedWriteKeepsTheEarlierFile) {
    ScratchFolder folder;
    const std::string path = folder.file("VTPSource.asm");
    writeBytes(path, "earlier");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Status status = writeFileAtomically(path, std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(readBytes(path), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ReadFileBytes, ReadsExactBytesUpToTheCap) {
    ScratchFolder folder;
    const std::string path = folder.file("in.dat");
    const std::string bytes("a\r\n\0\xFF", 5);
    writeBytes(path, bytes);
    const auto read = readFileBytes(path, 5);
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(*read, bytes);
}

TEST(ReadFileBytes, RefusesWhatIsNoSmallOrdinaryFile) {
    ScratchFolder folder;
    writeBytes(folder.file("big.dat"), std::string(70000, 'x'));
    for (const auto& [path, cap] : {std::pair{folder.str(), std::size_t{100}},
                                    std::pair{folder.file("absent.dat"), std::size_t{100}},
                                    std::pair{folder.file("big.dat"), std::size_t{69999}}}) {
        const auto read = readFileBytes(path, cap);
        ASSERT_FALSE(read.ok()) << path;
        EXPECT_NE(read.error().message.find(path), std::string::npos) << read.error().message;
    }
}

TEST(IsRegularFile, OnlyOrdinaryFilesCount) {
    ScratchFolder folder;
    writeBytes(folder.file("LWMSource.asm"), "");
    EXPECT_TRUE(isRegularFile(folder.file("LWMSource.asm")));
    EXPECT_FALSE(isRegularFile(folder.file("VTPSource.asm")));
    EXPECT_FALSE(isRegularFile(folder.str()));
}

#ifndef _WIN32
TEST(JoinPath, AddsOneSeparator) {
    EXPECT_EQ(joinPath("/opt/quillmap4", "LWMSource.asm"), "/opt/quillmap4/LWMSource.asm");
    EXPECT_EQ(joinPath("/", "demo.dat"), "/demo.dat");
}
#endif

}  // namespace
}  // namespace qm4
