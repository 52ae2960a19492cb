// The binding table and the two directions of the binding.
#include "ui/form_binding.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTextDocument>
#include <algorithm>

#include "ui/project_document.h"
#include "ui/window_common.h"

namespace {

using S = qm4::ProjectState;

// Text boxes, combo boxes and the comments: typed by the author.
const std::pair<const char*, std::string S::*> kTypedTexts[] = {
    {"txtprojectname", &S::txtprojectname},
    {"txtauthorname", &S::txtauthorname},
    {"txtcomments", &S::txtcomments},
    {"txtlatdeg", &S::txtlatdeg},
    {"txtlatmin", &S::txtlatmin},
    {"txtlongdeg", &S::txtlongdeg},
    {"txtlongmin", &S::txtlongmin},
    {"txtcellx", &S::txtcellx},
    {"txtcelly", &S::txtcelly},
    {"txtareax", &S::txtareax},
    {"txtareay", &S::txtareay},
    {"txtaltitude", &S::txtaltitude},
    {"cbolandclass", &S::cbolandclass},
    {"cbovtptype", &S::cbovtptype},
    {"txtvtplinewidth", &S::txtvtplinewidth},
    {"cbolayer", &S::cbolayer},
    {"txtlwmnumber", &S::txtlwmnumber},
    {"txtvtpnumber", &S::txtvtpnumber}};

// Labels that only show what a command computed.
const std::pair<const char*, std::string S::*> kShownTexts[] = {
    {"lbllatdd", &S::lbllatdd}, {"lbllongdd", &S::lbllongdd}, {"lblcellx", &S::lblcellx},
    {"lblcelly", &S::lblcelly}, {"lblareax", &S::lblareax},   {"lblareay", &S::lblareay},
    {"lblx", &S::lblx},         {"lbly", &S::lbly},           {"lblvtp2x", &S::lblvtp2x},
    {"lblvtp2y", &S::lblvtp2y}};

// Option buttons in pairs, then the check boxes.
const std::pair<const char*, bool S::*> kFlags[] = {
    {"Option1", &S::Option1},           {"Option2", &S::Option2},
    {"Option3", &S::Option3},           {"Option4", &S::Option4},
    {"chklwmnodata", &S::chklwmnodata}, {"chkvtpnodata", &S::chkvtpnodata}};

// The counters' text colours.
const std::pair<const char*, qm4::CounterColour S::*> kColours[] = {
    {"txtlwmnumber", &S::lwmnumberColour}, {"txtvtpnumber", &S::vtpnumberColour}};

const QColor kCounterRed(255, 0, 0);
const QColor kCounterBlack(0, 0, 0);

// The text as typed: toPlainText() would turn a no-break space into a plain
// one, and the next save would change the comments nobody edited.
QString plainText(const QPlainTextEdit* edit) {
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QString shownText(const QWidget* control) {
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* box = qobject_cast<const QComboBox*>(control)) return box->currentText();
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(control)) return plainText(edit);
    return static_cast<const QLabel*>(control)->text();
}

void showText(QWidget* control, const QString& text) {
    if (shownText(control) == text) return;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->setText(text);
    if (auto* box = qobject_cast<QComboBox*>(control)) return box->setEditText(text);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) return edit->setPlainText(text);
    static_cast<QLabel*>(control)->setText(text);
}

}  // namespace

FormBinding::FormBinding(QWidget& form, ProjectDocument& document)
    : QObject(&form), form_(form), document_(document) {
    for (const auto& [name, field] : kTypedTexts) {
        QWidget* control = form_.findChild<QWidget*>(QString::fromLatin1(name));
        texts_.push_back({control, field});
        const auto typed = [this, control, field = field] {
            const QScopedValueRollback<bool> typing(typing_, true);
            document_.setText(field, shownText(control).toStdString());
        };
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::textChanged, this, typed);
        else if (auto* box = qobject_cast<QComboBox*>(control))
            connect(box, &QComboBox::editTextChanged, this, typed);
        else
            connect(static_cast<QPlainTextEdit*>(control), &QPlainTextEdit::textChanged, this,
                    typed);
    }
    for (const auto& [name, field] : kShownTexts)
        texts_.push_back({form_.findChild<QWidget*>(QString::fromLatin1(name)), field});
    for (const auto& [name, field] : kFlags) {
        auto* button = form_.findChild<QAbstractButton*>(QString::fromLatin1(name));
        flags_.push_back({button, field});
        connect(button, &QAbstractButton::toggled, this, [this, field = field](bool on) {
            const QScopedValueRollback<bool> typing(typing_, true);
            document_.setFlag(field, on);
        });
    }
    for (const auto& [name, field] : kColours)
        colours_.push_back({form_.findChild<QWidget*>(QString::fromLatin1(name)), field});
    connect(&document_, &ProjectDocument::fieldsChanged, this, [this] {
        if (!typing_) show();
    });
}

void FormBinding::show() {
    const qm4::ProjectState& s = document_.state();
    for (const auto& [control, field] : texts_) showText(control, qs(s.*field));
    // Option buttons in one group refuse to be unchecked together, but an
    // opened project may select neither of a pair.
    const bool differ = std::any_of(flags_.begin(), flags_.end(), [&](const auto& flag) {
        return flag.first->isChecked() != s.*flag.second;
    });
    for (const auto& [button, field] : flags_) {
        if (!differ) break;
        button->setAutoExclusive(false);
        button->setChecked(s.*field);
    }
    for (const auto& [button, field] : flags_)
        if (differ && qobject_cast<QRadioButton*>(button)) button->setAutoExclusive(true);
    for (const auto& [counter, field] : colours_) {
        const qm4::CounterColour colour = s.*field;
        const QColor shown = colour == qm4::CounterColour::Red ? kCounterRed
                             : colour == qm4::CounterColour::Black
                                 ? kCounterBlack
                                 : form_.palette().color(QPalette::Text);
        if (counter->palette().color(QPalette::Text) != shown) paintText(counter, shown);
    }
}
