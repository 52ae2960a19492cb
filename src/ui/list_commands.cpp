// Undo and redo of the document's steps.
#include "ui/list_commands.h"

ListStep::ListStep(StepTarget& document, const QString& name, std::vector<ListSplice> splices,
                   CaptureTexts before, CaptureTexts after)
    : QUndoCommand(name),
      document_(document),
      splices_(std::move(splices)),
      before_(std::move(before)),
      after_(std::move(after)) {}

void ListStep::undo() {
    document_.applySplices(splices_, true);
    document_.applyCaptureTexts(before_);
}

void ListStep::redo() {
    if (done_)
        document_.announceSplices(splices_);
    else
        document_.applySplices(splices_, false);
    document_.applyCaptureTexts(after_);
    done_ = false;
}

namespace {
std::vector<std::string> valuesOf(const qm4::ProjectState& s, const FieldStep::Fields& fields) {
    std::vector<std::string> values;
    values.reserve(fields.size());
    for (auto field : fields) values.push_back(s.*field);
    return values;
}
}  // namespace

FieldStep::FieldStep(StepTarget& document, const QString& name, Fields fields,
                     const qm4::ProjectState& before, const qm4::ProjectState& after)
    : QUndoCommand(name),
      document_(document),
      fields_(std::move(fields)),
      before_(valuesOf(before, fields_)),
      after_(valuesOf(after, fields_)) {}

void FieldStep::undo() { document_.applyFields(fields_, before_); }
void FieldStep::redo() { document_.applyFields(fields_, after_); }

PictureStep::PictureStep(StepTarget& document, const QString& name, PictureChoice before,
                         PictureChoice after)
    : QUndoCommand(name),
      document_(document),
      before_(std::move(before)),
      after_(std::move(after)) {}
