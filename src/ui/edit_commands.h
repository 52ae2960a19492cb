// The commands that ask the author something before they change the lists or
// the position: inserting a line, pasting or typing a position, and the
// capture's FillXY failure box.
#pragma once

#include <QObject>
#include <QString>

#include "model/area_grid.h"
#include "model/project_state.h"

class PlatformServices;
class ProjectDocument;
class QWidget;

class EditCommands : public QObject {
  public:
    EditCommands(PlatformServices& services, ProjectDocument& document, QWidget& window);

    // Asks for a line (a comment starts with ";") to insert before the
    // selected one.
    void insertLine(int list);
    void pastePosition();
    // A text that is refused comes back in the box to be corrected.
    void goToPosition();
    // Points traced in one area mean nothing in another: with points in the
    // lists the author says first whether to go there.
    bool mayLeaveArea(const qm4::ProjectState& moved);

  private:
    void goTo(const QString& text);
    void showRefused(const QString& text, const std::string& reason);

    PlatformServices& services_;
    ProjectDocument& document_;
    QWidget& window_;
};
