// The Import Shape dialog: the features of a vector file that meet the area,
// a preview of the chosen one on the area's picture, its simplification and,
// for a shape the area cuts into pieces, the piece to import. The shapes
// come from the GIS helper through the function the dialog is given.
#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <functional>
#include <vector>

#include "capture/shape_presses.h"
#include "model/expected.h"

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

// A feature of the file that meets the area, as the helper lists it.
struct GisFeature {
    int layer = 0;
    QString layerName;
    qint64 id = 0;
    QString name;
    QString geometryType;
    int pointsInside = 0;  // its vertices inside the area, as read
};

// A feature clipped to the area and simplified: a polygon's parts or a
// line's pieces inside the area, the largest or longest first.
struct GisShape {
    bool polygon = false;
    std::vector<qm4::Piece> pieces;
};

using ShapeSource = std::function<qm4::Expected<GisShape>(const GisFeature&, double tolerance)>;

class ImportShapeDialog : public QDialog {
    Q_OBJECT
  public:
    ImportShapeDialog(const std::vector<GisFeature>& features, const QStringList& notes,
                      ShapeSource shapeOf, const QImage& picture, QWidget* parent);
    ~ImportShapeDialog() override;

    // The chosen piece as whole picture pixels, in order, without a pixel
    // repeated right after itself (nor, for a polygon, its first at the end).
    std::vector<qm4::PicturePixel> points() const { return points_; }

  private:
    void showShape();

    std::vector<GisFeature> features_;
    ShapeSource shapeOf_;
    std::vector<qm4::PicturePixel> points_;
    GisShape shape_;

    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QComboBox* pieces_ = nullptr;
    QLabel* count_ = nullptr;
    class Preview;
    Preview* preview_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
