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

// The area's picture with the chosen shape over it.
class ImportShapeDialog::Preview : public QWidget {
  public:
    Preview(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
        setFixedSize(256, 256);
    }
    void show(const GisShape& shape, int chosen) {
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
    GisShape shape_;
    int chosen_ = 0;
};

ImportShapeDialog::ImportShapeDialog(const std::vector<GisFeature>& features,
                                     const QStringList& notes, ShapeSource shapeOf,
                                     const QImage& picture, QWidget* parent)
    : QDialog(parent), features_(features), shapeOf_(std::move(shapeOf)) {
    setObjectName(QStringLiteral("frmImportShape"));
    setWindowTitle(tr("Import Shape"));
    table_ = new QTableWidget(static_cast<int>(features.size()), 4, this);
    table_->setObjectName(QStringLiteral("lstfeatures"));
    table_->setHorizontalHeaderLabels(
        {tr("Layer"), tr("Name or id"), tr("Type"), tr("Points inside, as read")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const GisFeature& f = features[static_cast<std::size_t>(row)];
        const QString cells[] = {f.layerName, f.name.isEmpty() ? QString::number(f.id) : f.name,
                                 f.geometryType, QString::number(f.pointsInside)};
        for (int column = 0; column < 4; ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    // Wide enough to show every column without scrolling, up to a limit
    // that a long feature name cannot push past.
    table_->setMinimumWidth(
        std::min(table_->horizontalHeader()->length() + 2 * table_->frameWidth() + 4, 640));
    tolerance_ = new QDoubleSpinBox(this);
    tolerance_->setObjectName(QStringLiteral("txttolerance"));
    tolerance_->setRange(0, 50);
    tolerance_->setSingleStep(0.5);
    tolerance_->setSuffix(tr(" pixels"));
    pieces_ = new QComboBox(this);
    pieces_->setObjectName(QStringLiteral("cbopiece"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lblpointcount"));
    count_->setWordWrap(true);
    preview_ = new Preview(picture, this);
    preview_->setObjectName(QStringLiteral("picpreview"));
    auto* noteLabel = new QLabel(notes.join(u'\n'), this);
    noteLabel->setWordWrap(true);
    noteLabel->setVisible(!notes.isEmpty());
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("&Import"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(tr("Simplify by"), this));
    choices->addWidget(tolerance_);
    choices->addWidget(new QLabel(tr("Piece"), this));
    choices->addWidget(pieces_, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(noteLabel);
    left->addWidget(table_, 1);
    left->addLayout(choices);
    left->addWidget(count_);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(preview_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons_);

    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
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
    table_->selectRow(0);
}

ImportShapeDialog::~ImportShapeDialog() = default;

void ImportShapeDialog::showShape() {
    points_.clear();
    const int row = table_->currentRow();
    QPushButton* ok = buttons_->button(QDialogButtonBox::Ok);
    if (row < 0) return ok->setEnabled(false);
    const auto shape = shapeOf_(features_[static_cast<std::size_t>(row)], tolerance_->value());
    shape_ = shape ? *shape : GisShape{};
    if (pieces_->count() == 0) {
        for (std::size_t i = 0; i < shape_.pieces.size(); ++i)
            pieces_->addItem(tr("%1: %2 points%3")
                                 .arg(i + 1)
                                 .arg(shape_.pieces[i].size())
                                 .arg(i > 0            ? QString()
                                      : shape_.polygon ? tr(" (largest)")
                                                       : tr(" (longest)")));
    }
    pieces_->setEnabled(shape_.pieces.size() > 1);
    const int chosen = std::max(0, pieces_->currentIndex());
    if (shape && !shape_.pieces.empty())
        points_ =
            qm4::picturePixels(shape_.pieces[static_cast<std::size_t>(chosen)], shape_.polygon);
    preview_->show(shape_, chosen);
    ok->setEnabled(!points_.empty());
    if (!shape) return count_->setText(QString::fromStdString(shape.error().message));
    const int n = static_cast<int>(points_.size());
    count_->setText(tr("%1 points to import, after clipping and simplifying: the LWM short form "
                       "holds %2 (%3), the VTP %4 (%5).")
                        .arg(n)
                        .arg(kLwmShortForm)
                        .arg(n <= kLwmShortForm ? tr("fits") : tr("too many"))
                        .arg(kVtpShortForm)
                        .arg(n <= kVtpShortForm ? tr("fits") : tr("too many")));
}
