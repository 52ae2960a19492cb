// A point list column: its controls and the list kept in step with the
// document's lines.
#include "ui/point_list_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/form_widgets.h"
#include "ui/window_common.h"

PointListPanel::PointListPanel(const Names& names, const Captions& captions, const QColor& colour,
                               QWidget* parent)
    : QWidget(parent) {
    QLabel* x = displayLabel(names.x, this, 8);
    QLabel* y = displayLabel(names.y, this, 8);
    QLineEdit* counter = lineEdit(names.counter, this);
    counter->setMaximumWidth(70);
    list_ = named(new QListWidget(this), names.list);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every line has the same height, which keeps appending cheap however
    // long the list grows.
    list_->setUniformItemSizes(true);
    list_->setLayoutMode(QListView::Batched);
    auto* remove = named(new QPushButton(captions.remove, this), names.remove);
    auto* clear = named(new QPushButton(captions.clear, this), names.clear);
    auto* create = named(new QPushButton(captions.create, this), names.create);
    auto* noData = named(new QCheckBox(captions.noData, this), names.noData);
    for (QWidget* widget : std::initializer_list<QWidget*>{counter, list_, noData})
        paintBackground(widget, colour);

    auto* coordinateRow = new QHBoxLayout;
    coordinateRow->addWidget(x);
    coordinateRow->addWidget(y);
    auto* counterRow = new QHBoxLayout;
    counterRow->addWidget(new QLabel(captions.counter, this));
    counterRow->addWidget(counter);
    auto* buttons = new QGridLayout;
    buttons->addWidget(remove, 0, 0);
    buttons->addWidget(clear, 0, 1);
    buttons->addWidget(create, 1, 0);
    buttons->addWidget(noData, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(centred(captions.coordinates, this));
    layout->addLayout(coordinateRow);
    layout->addLayout(counterRow);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(remove, &QPushButton::clicked, this, &PointListPanel::removeRequested);
    connect(clear, &QPushButton::clicked, this, &PointListPanel::clearRequested);
    connect(create, &QPushButton::clicked, this, &PointListPanel::createRequested);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        const QModelIndexList rows = list_->selectionModel()->selectedIndexes();
        emit selected(rows.isEmpty() ? -1 : rows.first().row());
    });
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
    highlightOnFocus({counter});
    addWarningSign(counter, QString::fromLatin1(names.counter),
                   tr("The counter gives the source its number of points; Edit > Recount "
                      "Points sets it to the points the list holds."));
    tabOrder_ = {counter, list_, remove, clear, create, noData};
}

void PointListPanel::splice(int at, int removed, const QStringList& inserted) {
    if (at == 0 && removed == list_->count()) {
        list_->clear();
    } else {
        for (int k = 0; k < removed; ++k) delete list_->takeItem(at);
    }
    const QScrollBar* bar = list_->verticalScrollBar();
    const bool following = at == list_->count() && bar->value() == bar->maximum();
    list_->insertItems(at, inserted);
    if (following && !inserted.isEmpty()) list_->scrollToBottom();
}

void PointListPanel::reset(const QStringList& lines) {
    list_->clear();
    list_->addItems(lines);
}

void PointListPanel::select(int row) {
    if (row < 0)
        list_->clearSelection();
    else
        list_->setCurrentRow(row);
}

bool PointListPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == list_->viewport()) {
        emit insertRequested();
        return true;
    }
    // Delete removes the selected line; Enter or Insert asks for a line.
    if (event->type() == QEvent::KeyPress && watched == list_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            emit removeRequested();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Insert) {
            emit insertRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
