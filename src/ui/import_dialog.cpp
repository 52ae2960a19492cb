// The Import Shape dialog.
#include "ui/import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kLwmShortForm = 62;
constexpr int kVtpShortForm = 31;
}  // namespace

std::vector<QPoint> picturePixels(const qm4::geo::Piece& piece, bool polygon) {
    std::vector<QPoint> pixels;
    for (const qm4::geo::PicturePoint& p : piece) {
        const QPoint pixel(std::clamp(static_cast<int>(std::lround(p.x)), 0, 255),
                           std::clamp(static_cast<int>(std::lround(p.y)), 0, 255));
        if (pixels.empty() || pixels.back() != pixel) pixels.push_back(pixel);
    }
    if (polygon && pixels.size() > 1 && pixels.back() == pixels.front()) pixels.pop_back();
    return pixels;
}

// The area's picture with the chosen shape over it.
class ImportShapeDialog::Preview : public QWidget {
  public:
    Preview(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
        setFixedSize(256, 256);
    }
    void show(const qm4::geo::FeatureShape& shape, int chosen) {
        shape_ = shape;
        chosen_ = chosen;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(224, 224, 224));
        painter.drawImage(0, 0, picture_);
        painter.setRenderHint(QPainter::Antialiasing);
        for (std::size_t i = 0; i < shape_.pieces.size(); ++i) {
            QPolygonF line;
            for (const auto& p : shape_.pieces[i]) line << QPointF(p.x + 0.5, p.y + 0.5);
            painter.setPen(QPen(
                static_cast<int>(i) == chosen_ ? QColor(255, 40, 200) : QColor(90, 90, 90), 2));
            if (shape_.polygon)
                painter.drawPolygon(line);
            else
                painter.drawPolyline(line);
        }
    }

  private:
    QImage picture_;
    qm4::geo::FeatureShape shape_;
    int chosen_ = 0;
};

ImportShapeDialog::ImportShapeDialog(const QString& path, const qm4::geo::FeatureList& list,
                                     const qm4::AreaEdges& area, const QImage& picture,
                                     QWidget* parent)
    : QDialog(parent), path_(path), list_(list), area_(area) {
    setObjectName(QStringLiteral("frmImportShape"));
    setWindowTitle(QStringLiteral("Import Shape"));
    features_ = new QTableWidget(static_cast<int>(list.features.size()), 4, this);
    features_->setObjectName(QStringLiteral("lstfeatures"));
    features_->setHorizontalHeaderLabels({QStringLiteral("Layer"), QStringLiteral("Name or id"),
                                          QStringLiteral("Type"),
                                          QStringLiteral("Points inside, as read")});
    features_->setSelectionBehavior(QAbstractItemView::SelectRows);
    features_->setSelectionMode(QAbstractItemView::SingleSelection);
    features_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    features_->verticalHeader()->hide();
    for (int row = 0; row < features_->rowCount(); ++row) {
        const qm4::geo::FeatureInfo& f = list.features[static_cast<std::size_t>(row)];
        const QString name =
            f.name.empty() ? QString::number(f.id) : QString::fromStdString(f.name);
        const QString cells[] = {QString::fromStdString(f.layerName), name,
                                 QString::fromStdString(f.geometryType),
                                 QString::number(f.pointsInside)};
        for (int column = 0; column < 4; ++column)
            features_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    features_->resizeColumnsToContents();
    features_->horizontalHeader()->setStretchLastSection(true);
    // Wide enough to show every column without scrolling, up to a limit
    // that a long feature name cannot push past.
    features_->setMinimumWidth(
        std::min(features_->horizontalHeader()->length() + 2 * features_->frameWidth() + 4, 640));
    tolerance_ = new QDoubleSpinBox(this);
    tolerance_->setObjectName(QStringLiteral("txttolerance"));
    tolerance_->setRange(0, 50);
    tolerance_->setSingleStep(0.5);
    tolerance_->setSuffix(QStringLiteral(" pixels"));
    pieces_ = new QComboBox(this);
    pieces_->setObjectName(QStringLiteral("cbopiece"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lblpointcount"));
    count_->setWordWrap(true);
    preview_ = new Preview(picture, this);
    preview_->setObjectName(QStringLiteral("picpreview"));
    auto* notes = new QLabel(QString::fromStdString([&] {
                                 std::string all;
                                 for (const std::string& note : list.notes) all += note + "\n";
                                 return all;
                             }()),
                             this);
    notes->setWordWrap(true);
    notes->setVisible(!list.notes.empty());
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Import"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Simplify by"), this));
    choices->addWidget(tolerance_);
    choices->addWidget(new QLabel(QStringLiteral("Piece"), this));
    choices->addWidget(pieces_, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(notes);
    left->addWidget(features_, 1);
    left->addLayout(choices);
    left->addWidget(count_);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(preview_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons_);

    connect(features_, &QTableWidget::itemSelectionChanged, this, [this] {
        pieces_->clear();
        showShape();
    });
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, [this] {
        pieces_->clear();
        showShape();
    });
    connect(pieces_, &QComboBox::activated, this, [this] { showShape(); });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    features_->selectRow(0);
}

ImportShapeDialog::~ImportShapeDialog() = default;

void ImportShapeDialog::showShape() {
    points_.clear();
    const int row = features_->currentRow();
    QPushButton* ok = buttons_->button(QDialogButtonBox::Ok);
    if (row < 0) return ok->setEnabled(false);
    const qm4::geo::FeatureInfo& f = list_.features[static_cast<std::size_t>(row)];
    const auto shape =
        qm4::geo::featureShape(path_.toStdString(), f.layer, f.id, area_, tolerance_->value());
    shape_ = shape ? *shape : qm4::geo::FeatureShape{};
    if (pieces_->count() == 0) {
        for (std::size_t i = 0; i < shape_.pieces.size(); ++i)
            pieces_->addItem(
                QStringLiteral("%1: %2 points%3")
                    .arg(i + 1)
                    .arg(shape_.pieces[i].size())
                    .arg(i == 0 && !shape_.polygon ? QStringLiteral(" (longest)") : QString()));
    }
    pieces_->setEnabled(shape_.pieces.size() > 1);
    const int chosen = std::max(0, pieces_->currentIndex());
    if (shape && !shape_.pieces.empty())
        points_ = picturePixels(shape_.pieces[static_cast<std::size_t>(chosen)], shape_.polygon);
    preview_->show(shape_, chosen);
    ok->setEnabled(!points_.empty());
    if (!shape) return count_->setText(QString::fromStdString(shape.error().message));
    const int n = static_cast<int>(points_.size());
    count_->setText(
        QStringLiteral("%1 points to import, after clipping and simplifying: the LWM short "
                       "form holds %2 (%3), the VTP %4 (%5).")
            .arg(n)
            .arg(kLwmShortForm)
            .arg(n <= kLwmShortForm ? QStringLiteral("fits") : QStringLiteral("too many"))
            .arg(kVtpShortForm)
            .arg(n <= kVtpShortForm ? QStringLiteral("fits") : QStringLiteral("too many")));
}
