// The capture: the tool that turns the mouse on the picture into the
// document's moves and presses, says where the mouse is, and keeps the
// trace on the picture in step with the document's lists.
#pragma once

#include <QObject>
#include <QStringList>
#include <optional>

#include "model/area_grid.h"
#include "ui/picture_view.h"

class ProjectDocument;

class CaptureTool : public QObject, public PictureTool {
  public:
    CaptureTool(ProjectDocument& document, PictureView& picture);

    void mouseMoved(QPointF position, QSizeF clientSize) override;
    void mousePressed(QPointF position, QSizeF clientSize) override;
    void mouseLeft() override;

  private:
    std::vector<PictureView::Point> tracePoints(int list, const QStringList& lines) const;
    void showTrace();
    void followArea();

    // The area whose picture the VTP trace is drawn on: where the points
    // were traced, else the area the boxes name.
    qm4::AreaNumbers areaOfTrace() const;

    ProjectDocument& document_;
    PictureView& picture_;
    std::optional<qm4::AreaNumbers> elsewhere_;  // where points of another area were traced
    qm4::AreaNumbers traceArea_;
};
