// The Import Shape dialog: the features of a vector file that meet the area,
// a preview of the chosen one on the area's picture, its simplification and,
// for a line the area cuts into pieces, the piece to import.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <vector>

#include "geo/shape_import.h"

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

class ImportShapeDialog : public QDialog {
    Q_OBJECT
  public:
    ImportShapeDialog(const QString& path, const qm4::geo::FeatureList& list,
                      const qm4::AreaEdges& area, const QImage& picture, QWidget* parent);
    ~ImportShapeDialog() override;

    // The chosen piece as whole picture pixels, in order, without a point
    // repeated right after itself (nor, for a polygon, its first point at
    // the end).
    std::vector<QPoint> points() const { return points_; }

  private:
    void showShape();

    QString path_;
    qm4::geo::FeatureList list_;
    qm4::AreaEdges area_;
    std::vector<QPoint> points_;
    qm4::geo::FeatureShape shape_;

    QTableWidget* features_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QComboBox* pieces_ = nullptr;
    QLabel* count_ = nullptr;
    class Preview;
    Preview* preview_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// Whole picture pixels of a piece, as the dialog gives them.
std::vector<QPoint> picturePixels(const qm4::geo::Piece& piece, bool polygon);
