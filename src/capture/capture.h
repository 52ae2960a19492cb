// Point capture: mouse positions over the area picture become coordinate
// texts, and each press appends point lines to both lists and sets the
// counters.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/project_state.h"

namespace qm4 {

// The size of the picture view's client area, in the same units as the mouse
// position.
struct ClientSize {
    double width = 256;
    double height = 256;
};

// A failed FillXY computation, as the window shows it in a critical box.
struct FillXYError {
    std::string title;    // "Error in FillXY"
    std::string message;  // the fixed lead-in, CR LF, one line describing the failure
};

// Called with every FillXY failure while the operation runs; the window shows
// the box there, modally, before the operation goes on.
using FillXYErrorHandler = std::function<void(const FillXYError&)>;

// Computes the four coordinate texts for a mouse position. On failure writes
// nothing and returns the error.
std::optional<FillXYError> FillXY(ProjectState& s, float x, float y, uint8_t flag,
                                  ClientSize client);

// What a press appended, so that a view of the lists can follow without
// copying them.
struct PressResult {
    std::size_t lwmAppended = 0;
    std::size_t vtpAppended = 0;
};

// A mouse move over the view: FillXY with flag 0 and nothing else.
void Picture1_MouseMove(ProjectState& s, float x, float y, ClientSize client,
                        const FillXYErrorHandler& onError);

// A press of any mouse button: the capture.
PressResult Picture1_MouseDown(ProjectState& s, float x, float y, ClientSize client,
                               const FillXYErrorHandler& onError);

// Appends the VTP point line built from the current coordinate texts.
void AddVtpPoint(ProjectState& s);

}  // namespace qm4
