// The missing-file messages of View LWMSource / View VTPSource and the editor
// command line of each platform.
#include "source/view_source.h"

#include "textio/text_file.h"

namespace qm4 {

const char* const kLwmMissingMessage =
    "File hasn't been created yet. If you want to create the file please click \"Create "
    "LWMsource.asm\"";
const char* const kVtpMissingMessage =
    "File hasn't been created yet. If you want to create the file please click \"Create "
    "VTPsource.asm\"";

std::string windowsEditorCommandLine(const std::string& windir, const std::string& path) {
    // Unquoted, a program folder such as C:\My Tools would reach the editor
    // as two file names.
    return windir + "\\notepad.exe " + quotedWhereBlank(path);
}

EditorCommand linuxEditorCommand(const std::string& path) { return {"xdg-open", {path}}; }

}  // namespace qm4
