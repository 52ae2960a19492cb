// The steps to undo: each holds the document and what it needs to restore
// exactly, names itself, and changes only the document.
#pragma once

#include <QString>
#include <QUndoCommand>
#include <optional>
#include <string>
#include <vector>

#include "model/area_grid.h"
#include "model/project_state.h"

// Lines removed from one list at an index, and the lines put in their place.
struct ListSplice {
    int list = 0;  // 0 for the LWM list, 1 for the VTP list
    int at = 0;
    std::vector<std::string> removed;
    std::vector<std::string> inserted;
};

// What a list step may change besides the lines.
struct CaptureTexts {
    std::string lwmCounter, vtpCounter;
    qm4::CounterColour lwmColour = qm4::CounterColour::Default;
    qm4::CounterColour vtpColour = qm4::CounterColour::Default;
    std::string lblx, lbly, lblvtp2x, lblvtp2y;
    int lwmSelected = -1, vtpSelected = -1;
    // The area of the step that last put traced points into the lists;
    // nothing when the boxes named none.
    std::optional<qm4::AreaNumbers> tracedIn;
    bool operator==(const CaptureTexts&) const = default;
};

// The area's picture and where it comes from, which go together.
struct PictureChoice {
    QString path;
    std::string imagery;                     // empty for a picture chosen by hand
    std::optional<qm4::AreaNumbers> cutFor;  // the area a cut from the imagery shows
    bool operator==(const PictureChoice&) const = default;
};

// The document as its steps see it: the changes they make, each announced
// to the views, with no step of its own.
class StepTarget {
  public:
    virtual void applySplices(const std::vector<ListSplice>& splices, bool undo) = 0;
    // The splices are made already; only the views learn of them.
    virtual void announceSplices(const std::vector<ListSplice>& splices) = 0;
    virtual void applyCaptureTexts(const CaptureTexts& texts) = 0;
    virtual void applyFields(const std::vector<std::string qm4::ProjectState::*>& fields,
                             const std::vector<std::string>& values) = 0;
    virtual void applyPicture(const PictureChoice& picture) = 0;

  protected:
    ~StepTarget() = default;
};

// A step on the point lists: a press, Remove Selected, an insert, Clear List,
// Import Shape, Recount Points. The document has made the change already
// when the step is pushed, so its first redo only announces it.
class ListStep : public QUndoCommand {
  public:
    ListStep(StepTarget& document, const QString& name, std::vector<ListSplice> splices,
             CaptureTexts before, CaptureTexts after);
    void undo() override;
    void redo() override;

  private:
    StepTarget& document_;
    std::vector<ListSplice> splices_;
    CaptureTexts before_, after_;
    bool done_ = true;
};

// Text fields before and after, for Go to Position: the position boxes and
// everything Calculate fills from them.
class FieldStep : public QUndoCommand {
  public:
    using Fields = std::vector<std::string qm4::ProjectState::*>;
    FieldStep(StepTarget& document, const QString& name, Fields fields,
              const qm4::ProjectState& before, const qm4::ProjectState& after);
    void undo() override;
    void redo() override;

  private:
    StepTarget& document_;
    Fields fields_;
    std::vector<std::string> before_, after_;
};

// Load 256x256 Image and Load Picture from Imagery: the picture with its
// imagery before and after.
class PictureStep : public QUndoCommand {
  public:
    PictureStep(StepTarget& document, const QString& name, PictureChoice before,
                PictureChoice after);
    void undo() override { document_.applyPicture(before_); }
    void redo() override { document_.applyPicture(after_); }

  private:
    StepTarget& document_;
    PictureChoice before_, after_;
};
