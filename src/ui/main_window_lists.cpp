// The list commands: remove, clear and insert, each one undoable step like
// a press, and the list widgets and the trace kept in step with the
// project's lists.
#include <QListWidget>
#include <QScrollBar>

#include "capture/list_editing.h"
#include "capture/point_lines.h"
#include "model/numbers.h"
#include "model/project_state.h"
#include "ui/list_step.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"

void MainWindow::showSelection(const ListSide& side) {
    const int selected = (state_.*side.lines).selected;
    if (selected < 0)
        side.list->clearSelection();
    else
        side.list->setCurrentRow(selected);
}

// The trace points of list lines, VTP lines in the picture of the current
// area.
std::vector<PictureView::Point> MainWindow::tracePoints(
    int list, const std::vector<std::string>& lines) const {
    std::vector<PictureView::Point> points;
    points.reserve(lines.size());
    for (const std::string& line : lines) {
        const auto point = list == 0 ? qm4::lwmPointOf(line)
                                     : qm4::vtpPointOf(line, traceArea_.x(), traceArea_.y());
        points.push_back(point ? std::optional(QPoint(point->x, point->y)) : std::nullopt);
    }
    return points;
}

void MainWindow::spliceList(int list, int at, std::size_t removed,
                            const std::vector<std::string>& inserted, bool changeState) {
    const ListSide& side = list == 0 ? lwmSide_ : vtpSide_;
    std::vector<std::string>& lines = (state_.*side.lines).lines;
    if (changeState) {
        lines.erase(lines.begin() + at, lines.begin() + at + static_cast<int>(removed));
        lines.insert(lines.begin() + at, inserted.begin(), inserted.end());
    }
    if (at == 0 && static_cast<int>(removed) == side.list->count()) {
        side.list->clear();
    } else {
        for (std::size_t k = 0; k < removed; ++k) delete side.list->takeItem(at);
    }
    QStringList items;
    items.reserve(static_cast<qsizetype>(inserted.size()));
    for (const std::string& line : inserted) items << qs(line);
    // The list follows new lines at its end, unless the author has scrolled
    // away from the end to read.
    const QScrollBar* bar = side.list->verticalScrollBar();
    const bool following = at == side.list->count() && bar->value() == bar->maximum();
    side.list->insertItems(at, items);
    if (following && !items.isEmpty()) side.list->scrollToBottom();
    Picture1->spliceTrace(list == 0 ? PictureView::Lwm : PictureView::Vtp, at,
                          static_cast<int>(removed), tracePoints(list, inserted));
}

void MainWindow::showCaptureTexts(const CaptureTexts& texts) {
    applyCaptureTexts(state_, texts);
    writeFields();
    showSelection(lwmSide_);
    showSelection(vtpSide_);
    noteChange();
}

QPoint MainWindow::currentArea() const {
    return QPoint(static_cast<int>(std::lround(qm4::leadingNumber(state_.txtareax))),
                  static_cast<int>(std::lround(qm4::leadingNumber(state_.txtareay))));
}

void MainWindow::showTrace() {
    traceArea_ = currentArea();
    Picture1->setTrace(PictureView::Lwm, tracePoints(0, state_.lstLWM.lines));
    Picture1->setTrace(PictureView::Vtp, tracePoints(1, state_.lstVTP.lines));
    Picture1->setTraceClosed(PictureView::Vtp, qm4::VtpLinePoly(state_) == 0);
}

// The VTP trace follows the area the cell and area boxes name, and closes in
// Poly mode.
void MainWindow::followTraceArea() {
    Picture1->setTraceClosed(PictureView::Vtp, qm4::VtpLinePoly(state_) == 0);
    if (currentArea() == traceArea_) return;
    traceArea_ = currentArea();
    Picture1->setTrace(PictureView::Vtp, tracePoints(1, state_.lstVTP.lines));
}

// The lines that presses appended since the lists held these counts, as the
// splices of one step.
std::vector<ListSplice> MainWindow::appendedSince(std::size_t lwmCount,
                                                  std::size_t vtpCount) const {
    std::vector<ListSplice> splices;
    for (const auto& [list, lines, count] :
         {std::tuple{0, &state_.lstLWM.lines, lwmCount}, {1, &state_.lstVTP.lines, vtpCount}})
        if (lines->size() > count)
            splices.push_back({list,
                               static_cast<int>(count),
                               {},
                               {lines->begin() + static_cast<long>(count), lines->end()}});
    return splices;
}

// The handler has changed state_ already; the step shows its lines. The
// handler then brings the other widgets in step and notes the change.
void MainWindow::pushStep(const QString& name, std::vector<ListSplice> splices,
                          const CaptureTexts& before) {
    undoStack_.push(new ListStep(*this, name, std::move(splices), before, captureTextsOf(state_)));
}

// ---- List editing --------------------------------------------------------

void MainWindow::cmdlwmclearlistitem_Click() { removeSelected(lwmSide_); }
void MainWindow::cmdvtpclearitem_Click() { removeSelected(vtpSide_); }
void MainWindow::cmdclearlwmlist_Click() { clearList(lwmSide_); }
void MainWindow::cmdclearvtplist_Click() { clearList(vtpSide_); }
void MainWindow::lstLWM_DblClick() { insertLine(lwmSide_); }
void MainWindow::lstVTP_DblClick() { insertLine(vtpSide_); }

void MainWindow::removeSelected(const ListSide& side) {
    readFields();
    const CaptureTexts before = captureTextsOf(state_);
    qm4::PointList& list = state_.*side.lines;
    const int selected = list.selected;
    if (selected < 0 || selected >= static_cast<int>(list.lines.size())) return;
    std::vector<std::string> removed{list.lines[static_cast<std::size_t>(selected)]};
    qm4::xListRemoveSelected(list);
    pushStep(QStringLiteral("Remove Selected"),
             {{side.list == lstLWM ? 0 : 1, selected, std::move(removed), {}}}, before);
    showSelection(side);
    noteChange();
}

void MainWindow::clearList(const ListSide& side) {
    readFields();
    const CaptureTexts before = captureTextsOf(state_);
    qm4::PointList& list = state_.*side.lines;
    std::vector<std::string> removed = std::move(list.lines);
    list.lines.clear();
    qm4::clearList(list, state_.*side.counterText);
    pushStep(QStringLiteral("Clear List"),
             {{side.list == lstLWM ? 0 : 1, 0, std::move(removed), {}}}, before);
    writeFields();
    noteChange();
}

void MainWindow::insertLine(const ListSide& side) {
    readFields();
    const CaptureTexts before = captureTextsOf(state_);
    const QString reply =
        services_->inputText(this, kTitle, QString::fromLatin1(qm4::kInsertPrompt), QString());
    qm4::PointList& list = state_.*side.lines;
    const int at = list.selected < 0 ? static_cast<int>(list.lines.size()) : list.selected;
    const std::size_t count = list.lines.size();
    qm4::insertBeforeSelected(list, reply.toStdString());
    if (list.lines.size() == count) return;
    pushStep(QStringLiteral("Insert Line"),
             {{side.list == lstLWM ? 0 : 1, at, {}, {reply.toStdString()}}}, before);
    showSelection(side);
    noteChange();
}

// Both counters set to the points their lists hold, as one step to undo.
void MainWindow::mnurecount_Click() {
    readFields();
    const CaptureTexts before = captureTextsOf(state_);
    qm4::recountPoints(state_);
    const CaptureTexts after = captureTextsOf(state_);
    if (after.lwmCounter == before.lwmCounter && after.vtpCounter == before.vtpCounter &&
        after.lwmColour == before.lwmColour && after.vtpColour == before.vtpColour)
        return;
    pushStep(QStringLiteral("Recount Points"), {}, before);
    writeFields();
    noteChange();
}
