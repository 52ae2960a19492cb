// The two assembler source writers: LWMSource.asm (one land/water mask
// polygon) and VTPSource.asm (one vector line or polygon with five textures).
#pragma once

#include <string>

#include "model/expected.h"
#include "model/project_state.h"

namespace qm4 {

// Every line of lstLWM followed by CR LF.
std::string LwmListText(const ProjectState& s);

// The lines of lstVTP joined by CR LF, the first ", 0" of the last line
// turned into ", 1".
std::string VtpListText(const ProjectState& s);

// The whole file as UTF-8 text with CR LF line ends, or the error that stops
// it (a degree text that is no number, a point count outside 0..255).
Expected<std::string> lwmSourceText(const ProjectState& s);
Expected<std::string> vtpSourceText(const ProjectState& s);

std::string LwmSourcePath(const std::string& programFolder);
std::string VtpSourcePath(const std::string& programFolder);

// Build the text, then write it as Windows-1252 over the old file in one
// step. On any failure the earlier file stays as it was.
Status createlwm(const ProjectState& s, const std::string& programFolder);
Status createvtp(const ProjectState& s, const std::string& programFolder);

}  // namespace qm4
