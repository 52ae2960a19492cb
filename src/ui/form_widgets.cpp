// The tabs' shared building blocks.
#include "ui/form_widgets.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QStringListModel>
#include <QStyle>

#include "ui/field_behaviour.h"
#include "ui/window_common.h"

QString formFontFamily() {
    // A substitute is only looked for when the family itself is missing, so
    // the font database need not be asked first (which would read every
    // family the system has).
    const QString family = QStringLiteral("Comic Sans MS");
    QFont::insertSubstitution(family, QStringLiteral("Comic Neue"));
    return family;
}

QLineEdit* lineEdit(const char* name, QWidget* parent) {
    return named(new QLineEdit(parent), name);
}

QLabel* displayLabel(const char* name, QWidget* parent, int minimumChars) {
    auto* label = named(new QLabel(parent), name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1Char('0')) * minimumChars +
                           8);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Tall enough for a line of text inside its frame, however the layout
    // presses it.
    label->setMinimumHeight(label->fontMetrics().height() + 2 * label->frameWidth() + 4);
    return label;
}

namespace {
class PageScrollArea : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;
    // A plain scroll area caps its hint at a few dozen lines of text.
    QSize sizeHint() const override {
        if (!widget()) return QScrollArea::sizeHint();
        const int frame = 2 * frameWidth();
        return widget()->sizeHint() + QSize(frame, frame);
    }
};
}  // namespace

QScrollArea* scrolled(QWidget* parent) {
    auto* area = new PageScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

QScrollArea* scrolled(QScrollArea* area, QWidget* page) {
    area->setWidget(page);
    return area;
}

QLabel* centred(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        palette.setColor(role, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QGroupBox* optionFrame(const QString& title, QRadioButton* first, QRadioButton* second,
                       QWidget* parent) {
    auto* frame = new QGroupBox(title, parent);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch();
    return frame;
}

QComboBox* vocabularyBox(const char* name, const std::vector<std::string>& entries,
                         QWidget* parent) {
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    const std::string* longest = &entries.front();
    for (const std::string& entry : entries) {
        items << qs(entry);
        if (entry.size() > longest->size()) longest = &entry;
    }
    // A plain string list holds the entries in a fraction of the memory of
    // the combo box's own item model.
    box->setModel(new QStringListModel(items, box));
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(34);
    // The drop-down is as wide as its longest entry; measuring that one alone
    // keeps the window quick to open.
    box->view()->setMinimumWidth(box->fontMetrics().horizontalAdvance(qs(*longest)) + 32);
    return box;
}

QAction* addWarningSign(QLineEdit* field, const QString& fieldName, const QString& toolTip) {
    auto* warning = new QAction(field);
    warning->setObjectName(QStringLiteral("warn") + fieldName);
    warning->setToolTip(toolTip);
    warning->setVisible(false);
    return warning;
}

// The sign goes into its field, and its icon is looked up, the first time it
// shows: most signs never do, and the lookup searches the icon themes, which
// would slow the window's start.
void showWarningSign(QAction* sign) {
    static const QIcon icon = qApp->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    if (sign->icon().isNull()) {
        sign->setIcon(icon);
        if (auto* field = qobject_cast<QLineEdit*>(sign->parent()))
            field->addAction(sign, QLineEdit::TrailingPosition);
    }
    sign->setVisible(true);
}

void chainTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void highlightOnFocus(std::initializer_list<QWidget*> boxes) {
    for (QWidget* box : boxes) {
        // One filter per window is enough; it lives as long as the window.
        auto* filter = box->window()->findChild<HighlightOnFocus*>();
        if (!filter) filter = new HighlightOnFocus(box->window());
        box->installEventFilter(filter);
    }
}
