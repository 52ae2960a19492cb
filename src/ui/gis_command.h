// One GIS command from its first request to the end of its result: an
// import, an export, a picture cut from imagery. While it runs the window
// takes no input: a busy cursor at once, and when a phase lasts, a progress
// dialog with Cancel, modal to the window, that shows the helper's progress
// lines as they come. Its result belongs to the document and area it began
// with, and is dropped when either changed meanwhile.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

#include "model/area_grid.h"
#include "model/expected.h"

class GeoHelper;
class ProjectDocument;
class QProgressDialog;
class QWidget;

class GisCommand : public QObject {
  public:
    GisCommand(GeoHelper& helper, const ProjectDocument& document, QWidget& window);
    ~GisCommand() override;

    // Whether any command runs now: a session script waits for it.
    static bool anyRunning() { return running_ > 0; }

    // One phase: the request sent to the helper while the dialog says what
    // is done ("Reading coast.geojson..."). After Cancel every further
    // request fails with "Cancelled." as the first did.
    qm4::Expected<QJsonObject> request(const QJsonObject& request, const QString& doing);
    // The author chooses in a dialog of the command's own: the progress
    // dialog goes until the next phase.
    void pause();
    bool cancelled() const { return cancelled_; }

    // Empty while the document and its area are those the command began
    // with; otherwise why its result is dropped.
    QString changedMeanwhile() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showProgress();

    GeoHelper& helper_;
    const ProjectDocument& document_;
    QWidget& window_;
    const int generation_;
    const qm4::AreaNumbers area_;
    QString doing_;
    // Owned here, but it may be a child of the import's dialog, which can
    // go first: the pointer turns null then.
    QPointer<QProgressDialog> dialog_;
    QTimer patience_;  // a phase that lasts this long shows the dialog
    bool cancelled_ = false;
    bool shown_ = false;     // a dialog shown stays shown for the next phase
    bool measured_ = false;  // the helper said how far this phase is
    inline static int running_ = 0;
};
