// Undo and redo of list steps.
#include "ui/list_step.h"

#include <array>

#include "ui/main_window.h"

CaptureTexts captureTextsOf(const qm4::ProjectState& s) {
    return {s.txtlwmnumber, s.txtvtpnumber, s.lwmnumberColour, s.vtpnumberColour, s.lblx, s.lbly,
            s.lblvtp2x,     s.lblvtp2y,     s.lstLWM.selected, s.lstVTP.selected};
}

void applyCaptureTexts(qm4::ProjectState& s, const CaptureTexts& texts) {
    s.txtlwmnumber = texts.lwmCounter;
    s.txtvtpnumber = texts.vtpCounter;
    s.lwmnumberColour = texts.lwmColour;
    s.vtpnumberColour = texts.vtpColour;
    s.lblx = texts.lblx;
    s.lbly = texts.lbly;
    s.lblvtp2x = texts.lblvtp2x;
    s.lblvtp2y = texts.lblvtp2y;
    s.lstLWM.selected = texts.lwmSelected;
    s.lstVTP.selected = texts.vtpSelected;
}

ListStep::ListStep(MainWindow& window, const QString& name, std::vector<ListSplice> splices,
                   CaptureTexts before, CaptureTexts after)
    : QUndoCommand(name),
      window_(window),
      splices_(std::move(splices)),
      before_(std::move(before)),
      after_(std::move(after)) {}

void ListStep::undo() {
    for (auto splice = splices_.rbegin(); splice != splices_.rend(); ++splice)
        window_.spliceList(splice->list, splice->at, splice->inserted.size(), splice->removed,
                           true);
    window_.showCaptureTexts(before_);
}

void ListStep::redo() {
    for (const ListSplice& splice : splices_)
        window_.spliceList(splice.list, splice.at, splice.removed.size(), splice.inserted, !done_);
    if (!done_) window_.showCaptureTexts(after_);
    done_ = false;
}

namespace {
constexpr std::array kLocationFields{
    &qm4::ProjectState::txtlatdeg,  &qm4::ProjectState::txtlatmin, &qm4::ProjectState::txtlongdeg,
    &qm4::ProjectState::txtlongmin, &qm4::ProjectState::txtcellx,  &qm4::ProjectState::txtcelly,
    &qm4::ProjectState::txtareax,   &qm4::ProjectState::txtareay,  &qm4::ProjectState::lblcellx,
    &qm4::ProjectState::lblcelly,   &qm4::ProjectState::lblareax,  &qm4::ProjectState::lblareay,
    &qm4::ProjectState::lbllatdd,   &qm4::ProjectState::lbllongdd};

std::vector<std::string> locationOf(const qm4::ProjectState& s) {
    std::vector<std::string> values;
    for (auto field : kLocationFields) values.push_back(s.*field);
    return values;
}
}  // namespace

FieldStep::FieldStep(MainWindow& window, const QString& name, const qm4::ProjectState& before,
                     const qm4::ProjectState& after)
    : QUndoCommand(name), window_(window), before_(locationOf(before)), after_(locationOf(after)) {}

void FieldStep::undo() { show(before_); }
void FieldStep::redo() { show(after_); }

void FieldStep::show(const std::vector<std::string>& values) {
    window_.readFields();
    for (std::size_t i = 0; i < kLocationFields.size(); ++i)
        window_.state_.*kLocationFields[i] = values[i];
    window_.writeFields();
    window_.noteChange();
}
