// The one place where the form meets the project: a table from each
// control's object name to the field of ProjectState it shows. What the
// author types or ticks goes to the document at once; what the document
// changes is shown in the controls that differ.
#pragma once

#include <QObject>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "model/project_state.h"

class ProjectDocument;
class QAbstractButton;

class FormBinding : public QObject {
  public:
    // Binds every control of the table found under form.
    FormBinding(QWidget& form, ProjectDocument& document);

    // Shows the document's fields in the controls that differ.
    void show();

  private:
    QWidget& form_;
    ProjectDocument& document_;
    // The table's controls, found once.
    std::vector<std::pair<QWidget*, std::string qm4::ProjectState::*>> texts_;
    std::vector<std::pair<QAbstractButton*, bool qm4::ProjectState::*>> flags_;
    std::vector<std::pair<QWidget*, qm4::CounterColour qm4::ProjectState::*>> colours_;
    bool typing_ = false;  // a control is handing the document its value
};
