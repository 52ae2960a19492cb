// One undoable step on the point lists: a press, Remove Selected, an insert,
// Clear List. It keeps what it changed, so undo and redo give back the lists,
// counters, counter colours, coordinate texts and selections exactly.
#pragma once

#include <QUndoCommand>
#include <string>
#include <vector>

#include "model/project_state.h"

class MainWindow;

// Lines removed from one list at an index, and the lines put in their place.
struct ListSplice {
    int list = 0;  // 0 for lstLWM, 1 for lstVTP
    int at = 0;
    std::vector<std::string> removed;
    std::vector<std::string> inserted;
};

// What a step may change besides the lines.
struct CaptureTexts {
    std::string lwmCounter, vtpCounter;
    qm4::CounterColour lwmColour = qm4::CounterColour::Default;
    qm4::CounterColour vtpColour = qm4::CounterColour::Default;
    std::string lblx, lbly, lblvtp2x, lblvtp2y;
    int lwmSelected = -1, vtpSelected = -1;
};

CaptureTexts captureTextsOf(const qm4::ProjectState& s);
void applyCaptureTexts(qm4::ProjectState& s, const CaptureTexts& texts);

class ListStep : public QUndoCommand {
  public:
    // The step is done already when it is pushed: its first redo only shows
    // the new lines.
    ListStep(MainWindow& window, const QString& name, std::vector<ListSplice> splices,
             CaptureTexts before, CaptureTexts after);
    void undo() override;
    void redo() override;

  private:
    MainWindow& window_;
    std::vector<ListSplice> splices_;
    CaptureTexts before_, after_;
    bool done_ = true;
};

// Go to Position: the position boxes and everything Calculate fills from
// them, before and after, as one step.
class FieldStep : public QUndoCommand {
  public:
    FieldStep(MainWindow& window, const QString& name, const qm4::ProjectState& before,
              const qm4::ProjectState& after);
    void undo() override;
    void redo() override;

  private:
    void show(const std::vector<std::string>& values);

    MainWindow& window_;
    std::vector<std::string> before_, after_;
};
