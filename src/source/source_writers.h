// The two assembler source writers: LWMSource.asm (one land/water mask
// polygon) and VTPSource.asm (one vector line or polygon with five textures).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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
// step; the number of lines written. On any failure the earlier file stays
// as it was.
Expected<std::size_t> createlwm(const ProjectState& s, const std::string& programFolder);
Expected<std::size_t> createvtp(const ProjectState& s, const std::string& programFolder);

// The fields that the LWM (lwm) or VTP source needs for the compiler to take
// it and that are empty or not numbers, by control name, in the form's
// order: the cell and area numbers, and the altitude, or the vector type,
// the line width (Line mode) and the layer. The writers write them anyway.
std::vector<std::string> fieldsTheCompilerNeeds(const ProjectState& s, bool lwm);

}  // namespace qm4
