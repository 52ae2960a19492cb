// Select-all on focus and the one-line comments box.
#include "ui/field_behaviour.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QTimer>

void Highlight(QWidget* oTxt) {
    oTxt->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(oTxt)) {
        line->selectAll();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(oTxt)) {
        text->selectAll();
    }
}

bool HighlightOnFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QWidget*>(watched)) {
            QTimer::singleShot(0, box, [box] {
                if (box->hasFocus()) Highlight(box);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void CommentsEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CommentsEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    insertPlainText(withBlanksForLineBreaks(source->text()));
}

QString withBlanksForLineBreaks(QString text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|[\r\n\u2028\u2029]"));
    return text.replace(lineBreak, QStringLiteral(" "));
}
