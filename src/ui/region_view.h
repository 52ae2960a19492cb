// frmRegion: the region map's widget. It keeps the view (the place in its
// middle and its scale), paints its layers, and turns the wheel (zoom about
// the cursor), a drag (pan), the keys (arrows pan, + and - zoom, Home goes
// back to the current area) into a new view; a drag with Shift into a
// selection of areas; hovering into a text for the status bar; a
// double-click into a request to go to that area.
#pragma once

#include <QPointF>
#include <QWidget>
#include <optional>

#include "model/map_geometry.h"
#include "ui/region_layers.h"

class RegionView : public QWidget {
    Q_OBJECT
  public:
    explicit RegionView(QWidget* parent = nullptr);

    const qm4::MapView& view() const { return view_; }
    // The middle and scale; held to the limits once the widget shows.
    void setView(const qm4::MapView& view);
    // The area in the middle, at the same scale.
    void centreOn(const qm4::AreaNumbers& area);
    // Whether the area shows whole.
    bool showsWhole(const qm4::AreaNumbers& area) const;

    // Whoever changes the layers calls update() after; a batch comes
    // through setBatch.
    RegionLayers& layers() { return layers_; }
    const RegionLayers& layers() const { return layers_; }
    void setBatch(qm4::BatchAreas areas, std::vector<qm4::AreaTrace> traces);

    QSize sizeHint() const override { return {560, 560}; }

  signals:
    // The middle, the scale or the size changed.
    void viewChanged();
    // What lies under the mouse: "Cell 123, 120   Area 5, 28   Pixel 10, 20
    // N47° 30.000'  W122° 15.500'"; empty when it left the map.
    void hovered(const QString& text);
    void areaChosen(const qm4::AreaNumbers& area);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void change(const qm4::MapView& view);
    void select(QPointF to);
    void describe(QPointF position);

    qm4::MapView view_;
    RegionLayers layers_;
    BatchTiles batchTiles_;
    std::optional<QPointF> dragFrom_;
    std::optional<qm4::MapPoint> selectFrom_;
    // Until it first shows the widget has no size of its own to hold the view to.
    bool shown_ = false;
};
