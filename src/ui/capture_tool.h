// The capture: the tool that turns the mouse on the picture into the
// document's moves and presses, says where the mouse is, and keeps the
// trace on the picture in step with the document's lists.
#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>

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

    ProjectDocument& document_;
    PictureView& picture_;
    QPoint traceArea_;  // the area whose picture the VTP trace is drawn in
};
