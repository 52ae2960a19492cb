// The open project: its state, what the disk holds of it, its picture and
// its history of steps to undo. Every change the window makes goes through
// one of its verbs; views learn of changes from its signals and never
// change the state themselves.
#pragma once

#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <QStringList>
#include <QUndoStack>
#include <optional>
#include <string>
#include <vector>

#include "capture/shape_presses.h"
#include "model/area_grid.h"
#include "model/project_state.h"
#include "ui/list_commands.h"

// The two point lists by number, as the signals name them.
enum PointListId { LwmList = 0, VtpList = 1 };

class ProjectDocument : public QObject, private StepTarget {
    Q_OBJECT
  public:
    explicit ProjectDocument(QObject* parent = nullptr);

    const qm4::ProjectState& state() const { return state_; }
    QUndoStack& undoStack() { return undoStack_; }
    QString picturePath() const { return picturePath_; }
    // The file the project was opened from or last saved to; empty for a new one.
    QString projectPath() const { return projectPath_; }
    // The window's caption without the unsaved-work marker.
    QString caption() const { return caption_; }
    bool isModified() const { return modified_; }
    // The area that the cell and area boxes name, by their leading numbers;
    // nothing while a box is empty.
    std::optional<qm4::AreaNumbers> locatedArea() const;
    bool holdsPoints() const;
    // The area where the points the lists hold were traced, when that is not
    // the area the boxes name now; nothing otherwise.
    std::optional<qm4::AreaNumbers> tracedElsewhere() const;
    // Counts the projects the window has held: an open, a restore or File >
    // New starts another.
    int generation() const { return generation_; }
    // The picture unless it is a cut of another area than the boxes name
    // (while the cut of the new area is under way): what the window shows
    // of a consistent state.
    QString consistentPicture() const;
    // The area the picture is a cut of; nothing for one chosen by hand.
    std::optional<qm4::AreaNumbers> pictureArea() const { return pictureArea_; }

    // Fields the author types or ticks. They are no steps to undo: the boxes
    // keep their own undo.
    void setText(std::string qm4::ProjectState::*field, const std::string& value);
    void setFlag(bool qm4::ProjectState::*field, bool value);
    void setSelection(int list, int row);

    // The program's operations.
    void move(QPointF position, QSizeF clientSize);
    void press(QPointF position, QSizeF clientSize);
    void removeSelected(int list);
    void clearList(int list);
    void insertLine(int list, const std::string& line);
    // An imported piece's presses on whole picture pixels of a 256-pixel
    // view, as one step.
    void importPiece(const qm4::ImportPresses& piece);
    void calculate();
    void recountPoints();
    // The state with the position written into the four boxes and
    // calculated: where goToPosition would lead.
    qm4::ProjectState locatedAt(const qm4::LatLon& place) const;
    // name: the step's name ("Go to Position", "Go North" ...).
    void goToPosition(const qm4::LatLon& place, const QString& name);
    // The picture of the area cutFor, cut from the imagery the project has,
    // as the author moves; empty for none.
    void setPicture(const QString& path, std::optional<qm4::AreaNumbers> cutFor);
    // A picture the author chose, with its imagery, as one step to undo.
    void choosePicture(const PictureChoice& picture, const QString& name);
    // A project opened or restored: its state replaces all, with no history.
    // A picture with imagery is taken for the cut of the project's area.
    void replace(qm4::ProjectState state, const QString& picture, const QString& caption,
                 const QString& projectPath);
    // File > New: the window as it starts.
    void clear();
    // What was just written to projectPath is now what the disk holds.
    void markSaved(const QString& projectPath);
    // Says something in the status bar; an empty text clears it.
    void report(const QString& text) { emit message(text); }
    // Takes back what report() said, when the status bar still says it.
    void withdraw(const QString& text) { emit messageWithdrawn(text); }

    CaptureTexts captureTexts() const;

  signals:
    // Lines removed at an index of one list and others put in their place.
    void linesSpliced(int list, int at, int removed, const QStringList& inserted);
    // Every line of both lists is new (an open or a restore).
    void listsReset();
    // Any field other than the lines and the selections.
    void fieldsChanged();
    void selectionChanged(int list, int row);
    void pictureChanged(const QString& path);
    void captionChanged(const QString& caption);
    void modifiedChanged(bool modified);
    // Anything at all that a save would keep or the recovery file holds.
    void changed();
    // tracedElsewhere() has another value.
    void tracedElsewhereChanged(std::optional<qm4::AreaNumbers> area);
    void message(const QString& text);
    void messageWithdrawn(const QString& text);
    // The capture could not compute a position; the press goes on after it.
    void fillXYFailed(const QString& title, const QString& text);

  private:
    void applySplices(const std::vector<ListSplice>& splices, bool undo) override;
    void announceSplices(const std::vector<ListSplice>& splices) override;
    void applyCaptureTexts(const CaptureTexts& texts) override;
    void applyFields(const std::vector<std::string qm4::ProjectState::*>& fields,
                     const std::vector<std::string>& values) override;
    void applyPicture(const PictureChoice& picture) override;
    void pushListStep(const QString& name, std::size_t lwmCount, std::size_t vtpCount,
                      const CaptureTexts& before, std::vector<ListSplice> splices = {});
    void noteChange();

    qm4::ProjectState state_;
    qm4::ProjectState saved_;
    QString picturePath_;
    std::optional<qm4::AreaNumbers> pictureArea_;
    std::optional<qm4::AreaNumbers> tracedIn_;
    std::optional<qm4::AreaNumbers> shownElsewhere_;  // as last announced
    int generation_ = 0;
    QString savedPicture_;
    QString projectPath_;
    QString caption_;
    bool modified_ = false;
    QUndoStack undoStack_;
};
