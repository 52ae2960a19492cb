// Picture1: the area view. It draws the loaded picture from its top-left
// corner, scaled 1x to 4x without smoothing, on a light grey ground, and the
// trace of both point lists over it; it hands every mouse move and press,
// with its own client size, to the tool that works on it.
#pragma once

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

// What works with the mouse on the picture, the way a map editor hands
// mouse events to its active tool.
class PictureTool {
  public:
    virtual ~PictureTool() = default;
    virtual void mouseMoved(QPointF position, QSizeF clientSize) = 0;
    virtual void mousePressed(QPointF position, QSizeF clientSize) = 0;
    virtual void mouseLeft() = 0;
};

class PictureView : public QWidget {
    Q_OBJECT
  public:
    // The two traces: the land/water mask and the vector line or polygon.
    enum Trace { Lwm, Vtp };
    using Point = std::optional<QPoint>;  // nothing for a line that is no point

    explicit PictureView(QWidget* parent = nullptr);

    // The tool the mouse events go to; none drops them.
    void setTool(PictureTool* tool) { tool_ = tool; }

    const QImage& picture() const { return picture_; }
    void setPicture(const QImage& picture);
    void clearPicture();
    // The same area at the zoomed size (512 to 1,024 pixels), drawn instead
    // of the picture while the zoom matches it.
    void setDetail(const QImage& detail);

    int zoom() const { return zoom_; }
    void setZoom(int zoom);

    void setTraceVisible(bool visible);
    // Replaces removed points from index at with inserted ones, as their list
    // lines were; points added at the end are drawn without redrawing the rest.
    void spliceTrace(Trace trace, int at, int removed, const std::vector<Point>& inserted);
    void setTrace(Trace trace, std::vector<Point> points);
    void setTraceSelection(Trace trace, int index);
    void setTraceClosed(Trace trace, bool closed);
    // A trace of points traced on another area's picture is drawn faint.
    void setTraceDimmed(bool dimmed);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    struct Line {
        std::vector<Point> points;
        int selected = -1;
        bool closed = false;
    };

    QSizeF clientSize() const;
    QPointF reported(QPointF position) const;
    QPointF centre(QPoint pixel) const;
    void drawSegments(QPainter& painter, Trace trace, std::size_t from);
    void redrawLayer();

    PictureTool* tool_ = nullptr;
    QImage picture_;
    QImage detail_;
    int zoom_ = 1;
    bool traceVisible_ = true;
    bool traceDimmed_ = false;
    std::array<Line, 2> lines_;
    // The segments of both traces, drawn once; only the closing segments and
    // the markers are drawn at every paint.
    QImage layer_;
    bool layerStale_ = true;
};
