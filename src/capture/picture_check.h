// Checks on picture files that the image decoder lets through: a Windows
// bitmap cut short decodes "successfully" with the missing rows left as
// garbage, so the view refuses it instead.
#pragma once

#include <string_view>

namespace qm4 {

// False for a file that starts like a Windows bitmap ("BM") but is shorter
// than its header says its pixels need, or whose header is itself cut.
// Files of other kinds pass: their decoders report a cut file themselves.
bool bitmapIsComplete(std::string_view bytes);

}  // namespace qm4
