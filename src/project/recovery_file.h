// The recovery file a window keeps while it runs: its whole state, so that
// the work of a session that ended unexpectedly can be offered back.
#pragma once

#include <string>
#include <string_view>

#include "model/expected.h"
#include "model/project_state.h"

namespace qm4 {

inline constexpr const char* kRecoveryFileFirstLine = "Quillmap4 recovery 1";

struct RecoveredSession {
    ProjectState state;
    std::string picture;
    std::string caption;
};

// Every field, switch, counter, colour and list line, the picture's path and
// the window caption. Lists come back with nothing selected.
std::string recoveryFileText(const ProjectState& s, const std::string& picture,
                             const std::string& caption);

Expected<RecoveredSession> parseRecoveryFile(std::string_view bytes);

}  // namespace qm4
