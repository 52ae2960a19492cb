// The list commands: remove, clear and insert, and the list widgets kept in
// step with the project's lists.
#include <QListWidget>

#include "capture/list_editing.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/platform_services.h"

void MainWindow::appendNewLines(const ListSide& side, std::size_t appended) {
    const std::vector<std::string>& lines = (state_.*side.lines).lines;
    for (std::size_t i = lines.size() - appended; i < lines.size(); ++i)
        side.list->addItem(qs(lines[i]));
}

void MainWindow::showSelection(const ListSide& side) {
    const int selected = (state_.*side.lines).selected;
    if (selected < 0)
        side.list->clearSelection();
    else
        side.list->setCurrentRow(selected);
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
    qm4::PointList& list = state_.*side.lines;
    const int selected = list.selected;
    const std::size_t before = list.lines.size();
    qm4::xListRemoveSelected(list);
    if (list.lines.size() < before) delete side.list->takeItem(selected);
    showSelection(side);
    noteChange();
}

void MainWindow::clearList(const ListSide& side) {
    readFields();
    qm4::clearList(state_.*side.lines, state_.*side.counterText);
    side.list->clear();
    writeFields();
    noteChange();
}

void MainWindow::insertLine(const ListSide& side) {
    readFields();
    const QString reply =
        services_->inputText(this, kTitle, QString::fromLatin1(qm4::kInsertPrompt));
    qm4::PointList& list = state_.*side.lines;
    const int selected = list.selected;
    const std::size_t before = list.lines.size();
    qm4::insertBeforeSelected(list, reply.toStdString());
    if (list.lines.size() == before) return;
    side.list->insertItem(selected < 0 ? side.list->count() : selected, reply);
    showSelection(side);
    noteChange();
}
