// Fuzz target for the project file and its points: random bytes as a file
// to open, now and then with a long comment of one random character added,
// and random list lines, counter and picture path. An opened project writes
// 26 lines, each ended by CR LF and by nothing else; it saves exactly when
// that text opens again; the saved file holds the text in the code page and
// opens to the same text, lists, counter and picture; a refused save leaves
// the earlier file whole.
#include "fuzz_support.h"
#include "project/points_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder folder;
    const std::string path = qm4::joinPath(folder.path, "project.dat"), earlier = fileBytes(path);
    const auto opened = qm4::parseProjectFile({reinterpret_cast<const char*>(data), size});
    if (!opened) return 0;
    qm4::ProjectState s, back;
    qm4::applyProjectFile(s, *opened);
    FuzzedDataProvider in(data, size);
    // Around the longest line, after a comment whose characters may take
    // more than one byte inside the program.
    if (in.ConsumeIntegralInRange(0, 7) == 0)
        s.txtcomments.append(in.ConsumeIntegralInRange(32700, 32800),
                             in.PickValueInArray({'x', '\xFF', '\n'}));
    s.lstLWM.lines = {in.ConsumeRandomLengthString(64), in.ConsumeRandomLengthString(64)};
    s.lstVTP.lines = {in.ConsumeRandomLengthString(64)};
    s.txtvtpnumber = in.ConsumeRandomLengthString(8);
    const std::string picture = in.ConsumeRandomLengthString(32);
    const std::string text = qm4::projectFileText(s);
    // A CR exactly before each LF, 26 of them, the last at the end.
    const auto brokenPair = [](char a, char b) { return (a == '\r') != (b == '\n'); };
    FUZZ_CHECK(std::adjacent_find(text.begin(), text.end(), brokenPair) == text.end() &&
               std::count(text.begin(), text.end(), '\n') == 26 && text.ends_with("\r\n"));
    const auto reopened = qm4::parseProjectFile(qm4::toWindows1252(text));
    FUZZ_CHECK(qm4::saveProject(path, s, picture).ok() == reopened.ok());
    FUZZ_CHECK(fileBytes(path) == (reopened ? qm4::toWindows1252(text) : earlier));
    if (!reopened) return 0;
    const auto pictureBack = qm4::openProject(path, back);
    FUZZ_CHECK(pictureBack && *pictureBack == picture && back.lstLWM == s.lstLWM &&
               back.lstVTP == s.lstVTP && back.txtvtpnumber == s.txtvtpnumber &&
               qm4::projectFileText(back) == qm4::fromWindows1252(qm4::toWindows1252(text)));
    return 0;
}
