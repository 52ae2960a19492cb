// The tab "Draw Data Points": the area's picture with its trace, the button
// that loads it, the cell and area boxes, and the LWM and VTP point lists.
#pragma once

#include <QWidget>

class PictureView;
class QLabel;
class PointListPanel;
class QScrollArea;
class QSplitter;

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
    // Fit to Window: the largest zoom that fits the picture's pane, followed
    // as the pane is resized, until it is turned off.
    void setFitToWindow(bool fit);
    bool fitsToWindow() const { return fit_; }
    // The splitter between the picture and the lists.
    QSplitter* splitter() const { return splitter_; }

  signals:
    void loadPictureRequested();
    // Fit to Window chose another zoom.
    void zoomChanged(int zoom);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QSize roomForPicture() const;
    int fittingZoom() const;
    void fit();

    QSplitter* splitter_ = nullptr;
    QWidget* pane_ = nullptr;          // the picture's side of the splitter
    QWidget* belowPicture_ = nullptr;  // the load button and the cell and area boxes
    bool fit_ = false;
    PictureView* picture_ = nullptr;
    QScrollArea* pictureScroll_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    PointListPanel* lwmPanel_ = nullptr;
    PointListPanel* vtpPanel_ = nullptr;
};
