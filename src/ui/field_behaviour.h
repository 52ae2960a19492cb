// The two small field behaviours of the window: the whole text is selected
// when a text box gains the focus, and the comments stay on one line.
#pragma once

#include <QObject>
#include <QPlainTextEdit>

// Gives the box the focus and selects its whole text, so the next keystroke
// replaces it. Works on QLineEdit and QPlainTextEdit.
void Highlight(QWidget* oTxt);

// Calls Highlight on every box it is installed on when that box gains the
// focus. The selection is made once the focus event has been handled, since
// a mouse press that gives the focus would otherwise place the cursor over
// it straight away.
class HighlightOnFocus : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The comments box: the Enter keys are dropped, and a line break in pasted
// or dropped text becomes a blank, because a project file holds the comments
// on one line.
class CommentsEdit : public QPlainTextEdit {
    Q_OBJECT
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

// text with every line break (CR LF, CR, LF and the Unicode line and
// paragraph separators) turned into one blank.
QString withBlanksForLineBreaks(QString text);
