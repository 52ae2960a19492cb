// Undo and redo of list steps.
#include "ui/list_step.h"

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
