// The tab "Draw Data Points": the area's picture with its trace, the button
// that loads it, the cell and area boxes, and the LWM and VTP point lists.
#pragma once

#include <QWidget>

class PictureView;
class PointListPanel;
class QScrollArea;

class DrawTab : public QWidget {
    Q_OBJECT
  public:
    explicit DrawTab(QWidget* parent = nullptr);

    PictureView* picture() const { return picture_; }
    PointListPanel* lwmPanel() const { return lwmPanel_; }
    PointListPanel* vtpPanel() const { return vtpPanel_; }

    // Shows the picture 1x to 4x; the frame around it grows with it as far as
    // the tab lets it, and scrolls beyond.
    void setZoom(int zoom);

  signals:
    void loadPictureRequested();

  private:
    PictureView* picture_ = nullptr;
    QScrollArea* pictureScroll_ = nullptr;
    PointListPanel* lwmPanel_ = nullptr;
    PointListPanel* vtpPanel_ = nullptr;
};
