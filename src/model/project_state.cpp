// The derived switches of the option buttons. Each test overrides the one
// before, which decides what a pair with neither button selected reads as.
#include "model/project_state.h"

namespace qm4 {

int16_t LwmMask(const ProjectState& s) {
    int16_t mask = 0;
    if (s.Option1) mask = 1;
    if (!s.Option1) mask = 0;
    if (s.Option2) mask = 0;
    if (!s.Option2) mask = 1;
    return mask;
}

int16_t VtpLinePoly(const ProjectState& s) {
    int16_t mode = 0;
    if (s.Option3) mode = 0;
    if (!s.Option3) mode = 1;
    if (s.Option4) mode = 1;
    if (!s.Option4) mode = 0;
    return mode;
}

}  // namespace qm4
