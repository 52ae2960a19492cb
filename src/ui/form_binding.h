// The one place where the form meets the project: a table from each
// control's object name to the field of ProjectState it shows. What the
// author types or ticks goes to the document at once; what the document
// changes is shown in the controls that differ.
#pragma once

#include <QObject>
#include <QWidget>

class ProjectDocument;

class FormBinding : public QObject {
  public:
    // Binds every control of the table found under form.
    FormBinding(QWidget& form, ProjectDocument& document);

    // Shows the document's fields in the controls that differ.
    void show();

  private:
    QWidget& form_;
    ProjectDocument& document_;
    bool typing_ = false;  // a control is handing the document its value
};
