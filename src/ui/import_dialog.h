// The Import Shape dialog: the features of a vector file that meet the area,
// a preview of the chosen one on the area's picture, its simplification and,
// for a shape the area cuts into pieces or that has holes or several
// shorelines, the piece to import. The shapes come from the GIS helper
// through the function the dialog is given.
#pragma once

#include <QDialog>
#include <QImage>
#include <QJsonObject>
#include <QStringList>
#include <functional>
#include <optional>
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
// line's pieces inside the area, the largest or longest first, then a
// polygon's holes.
struct GisShape {
    bool polygon = false;
    std::vector<qm4::Piece> pieces;
    std::vector<std::size_t> holeOf;  // 0, or the number (from 1) of the piece whose hole it is
};

// The shape in the helper's reply to a "shape" request.
GisShape gisShapeOf(const QJsonObject& reply);

using ShapeSource = std::function<qm4::Expected<GisShape>(const GisFeature&, double tolerance)>;

class ImportShapeDialog : public QDialog {
    Q_OBJECT
  public:
    // lineMode and land: the form's Line or Poly and its mask, which decide
    // what a piece presses into each list and which mask a hole needs.
    ImportShapeDialog(const std::vector<GisFeature>& features, const QStringList& notes,
                      ShapeSource shapeOf, const QImage& picture, bool lineMode, bool land,
                      QWidget* parent);
    ~ImportShapeDialog() override;

    // What the chosen piece presses into each list, in whole picture pixels.
    qm4::ImportPresses chosen() const { return chosen_; }

  private:
    void showShape();
    // "2: hole in piece 1, 14 points; it needs the Water mask"
    QString pieceText(std::size_t number, const qm4::ImportPresses& import) const;
    // Why the count stands as it does: the area wholly inside, parts left out.
    QString shapeNote(const QString& name, const std::vector<qm4::PartImports>& parts) const;

    std::vector<GisFeature> features_;
    ShapeSource shapeOf_;
    bool lineMode_ = true;
    bool land_ = false;
    qm4::ImportPresses chosen_;
    std::vector<qm4::ImportPresses> imports_;
    // The last shape asked for, by row and tolerance: choosing another of
    // its pieces asks the helper nothing more.
    std::optional<qm4::Expected<GisShape>> shape_;
    int shapeRow_ = -1;
    double shapeTolerance_ = -1;

    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QComboBox* pieces_ = nullptr;
    QLabel* count_ = nullptr;
    class Preview;
    Preview* preview_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
