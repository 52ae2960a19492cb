// Fuzz target for the two source writers and the Windows-1252 encoding, with
// random field texts and list lines. A writer writes its file exactly when it
// builds its text; that text holds the list block whole after a ";" line and
// ends with the end label and an empty line; the file holds exactly the
// encoded text, and a refused write leaves the earlier file whole. The
// encoding writes the DOS substitute byte only for that very character and
// gives back each byte it decoded.
#include "fuzz_support.h"
#include "model/numbers.h"
#include "source/source_writers.h"

static void checkEncoding(const std::string& text) {
    const std::string bytes = qm4::toWindows1252(text);
    std::string back = qm4::toWindows1252(qm4::fromWindows1252(text)), expected = text;
    // Only the five bytes that the code page leaves unassigned turn into "?".
    for (char& c : expected)
        if (std::memchr("\x81\x8D\x8F\x90\x9D", c, 5)) c = '?';
    FUZZ_CHECK(back == expected && std::count(bytes.begin(), bytes.end(), '\x1A') ==
                                       std::count(text.begin(), text.end(), '\x1A'));
}

// Writes the file too when given a folder, which makes a run slower.
static void checkSource(const qm4::ProjectState& s, bool lwm, const std::string* dir) {
    const auto text = lwm ? qm4::lwmSourceText(s) : qm4::vtpSourceText(s);
    if (dir) {
        const std::string path = lwm ? qm4::LwmSourcePath(*dir) : qm4::VtpSourcePath(*dir);
        const std::string earlier = fileBytes(path);
        FUZZ_CHECK((lwm ? qm4::createlwm(s, *dir) : qm4::createvtp(s, *dir)).ok() == text.ok());
        FUZZ_CHECK(fileBytes(path) == (text ? qm4::toWindows1252(*text) : earlier));
    }
    if (!text) return;
    checkEncoding(*text);
    const std::string list = ";\r\n" + (lwm ? qm4::LwmListText(s) : qm4::VtpListText(s)) + "\r\n";
    FUZZ_CHECK(
        text->find(list) != std::string::npos &&
        text->ends_with(std::string(lwm ? "LWM" : "VTP") + "End        label        word\r\n\r\n"));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder folder;
    FuzzedDataProvider in(data, size);
    const std::string* disk = in.ConsumeIntegralInRange(0, 7) == 0 ? &folder.path : nullptr;
    qm4::ProjectState s;
    for (auto* field : {&s.txtlatdeg, &s.txtlongdeg, &s.txtlwmnumber, &s.txtvtpnumber,
                        &s.txtcomments, &s.txtcellx, &s.txtareax, &s.cbolandclass})
        *field = fieldText(in);
    std::tie(s.Option2, s.Option4) = std::tuple(in.ConsumeBool(), in.ConsumeBool());
    for (auto* list : {&s.lstLWM.lines, &s.lstVTP.lines}) {
        list->resize(in.ConsumeIntegralInRange(0, 8));
        for (auto& line : *list) line = fieldText(in);
    }
    checkSource(s, true, disk);
    checkSource(s, false, disk);
    return 0;
}
