// The Import Shape dialog.
#include "ui/import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
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

GisShape gisShapeOf(const QJsonObject& reply) {
    GisShape shape;
    shape.polygon = reply.value(QStringLiteral("polygon")).toBool();
    for (const QJsonValue& piece : reply.value(QStringLiteral("pieces")).toArray()) {
        qm4::Piece points;
        for (const QJsonValue& p : piece.toArray())
            points.push_back({p.toArray().at(0).toDouble(), p.toArray().at(1).toDouble()});
        shape.pieces.push_back(std::move(points));
    }
    for (const QJsonValue& of : reply.value(QStringLiteral("holeOf")).toArray())
        shape.holeOf.push_back(static_cast<std::size_t>(std::max(0, of.toInt())));
    return shape;
}

// The area's picture with the shape over it, the chosen piece's LWM ring
// and VTP line in colour.
class ImportShapeDialog::Preview : public QWidget {
  public:
    Preview(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
        setFixedSize(256, 256);
    }
    void show(const GisShape& shape, const qm4::ImportPresses& chosen) {
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
        painter.setPen(QPen(QColor(90, 90, 90), 2));
        for (const qm4::Piece& piece : shape_.pieces) {
            QPolygonF line;
            for (const auto& p : piece) line << QPointF(p.x + 0.5, p.y + 0.5);
            shape_.polygon ? painter.drawPolygon(line) : painter.drawPolyline(line);
        }
        const auto drawn = [](const std::vector<qm4::PicturePixel>& pixels) {
            QPolygonF line;
            for (const auto& p : pixels) line << QPointF(p.x + 0.5, p.y + 0.5);
            return line;
        };
        painter.setPen(QPen(QColor(255, 40, 200), 2));
        if (shape_.polygon) painter.drawPolygon(drawn(chosen_.lwm));
        painter.setPen(QPen(QColor(40, 120, 255), 2));
        painter.drawPolyline(drawn(chosen_.vtp));
    }

  private:
    QImage picture_;
    GisShape shape_;
    qm4::ImportPresses chosen_;
};

ImportShapeDialog::ImportShapeDialog(const std::vector<GisFeature>& features,
                                     const QStringList& notes, ShapeSource shapeOf,
                                     const QImage& picture, bool lineMode, bool land,
                                     QWidget* parent)
    : QDialog(parent),
      features_(features),
      shapeOf_(std::move(shapeOf)),
      lineMode_(lineMode),
      land_(land) {
    setObjectName(QStringLiteral("frmImportShape"));
    setWindowTitle(tr("Import Shape"));
    table_ = new QTableWidget(static_cast<int>(features.size()), 4, this);
    table_->setObjectName(QStringLiteral("lstfeatures"));
    table_->setHorizontalHeaderLabels(
        {tr("Layer"), tr("Name or id"), tr("Type"), tr("Its vertices in the area")});
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

QString ImportShapeDialog::pieceText(std::size_t number, const qm4::ImportPresses& import) const {
    const auto points = static_cast<qulonglong>(std::max(import.lwm.size(), import.vtp.size()));
    if (import.kind == qm4::PieceKind::Hole)
        return tr("%1: hole in piece %2, %3 points; it needs the %4 mask")
            .arg(number)
            .arg(import.of)
            .arg(points)
            .arg(land_ ? tr("Water") : tr("Land"));
    if (import.kind == qm4::PieceKind::Run)
        return tr("%1: more shoreline of piece %2, %3 points, a VTP line alone")
            .arg(number)
            .arg(import.of)
            .arg(points);
    return tr("%1: %2 points%3")
        .arg(number)
        .arg(points)
        .arg(number > 1                            ? QString()
             : import.kind == qm4::PieceKind::Line ? tr(" (longest)")
                                                   : tr(" (largest)"));
}

QString ImportShapeDialog::shapeNote(const QString& name,
                                     const std::vector<qm4::PartImports>& parts) const {
    QString note;
    const bool whole = std::any_of(imports_.begin(), imports_.end(), [](const auto& import) {
        return import.kind == qm4::PieceKind::Ring && qm4::shorelineRuns(import.lwm).empty();
    });
    if (whole)
        note = tr("The area lies wholly inside \"%1\": its piece is the whole area, with no "
                  "shoreline. ")
                   .arg(name);
    const auto left = std::count_if(parts.begin(), parts.end(),
                                    [](const auto& part) { return !part.dropped.empty(); });
    if (left == 1) note += tr("1 piece too small to trace is left out. ");
    if (left > 1) note += tr("%1 pieces too small to trace are left out. ").arg(left);
    return note;
}

void ImportShapeDialog::showShape() {
    chosen_ = {};
    imports_.clear();
    const int row = table_->currentRow();
    QPushButton* ok = buttons_->button(QDialogButtonBox::Ok);
    if (row < 0) return ok->setEnabled(false);
    const GisFeature& feature = features_[static_cast<std::size_t>(row)];
    if (!shape_ || shapeRow_ != row || shapeTolerance_ != tolerance_->value()) {
        shape_.reset();  // a helper that fails meanwhile leaves nothing held
        shape_ = shapeOf_(feature, tolerance_->value());
        shapeRow_ = row, shapeTolerance_ = tolerance_->value();
    }
    const qm4::Expected<GisShape>& shape = *shape_;
    const GisShape drawn = shape ? *shape : GisShape{};
    std::vector<qm4::PartImports> parts;
    for (std::size_t i = 0; i < drawn.pieces.size(); ++i) {
        const bool hole = i < drawn.holeOf.size() && drawn.holeOf[i] != 0;
        const qm4::PieceKind kind = !drawn.polygon ? qm4::PieceKind::Line
                                    : hole         ? qm4::PieceKind::Hole
                                                   : qm4::PieceKind::Ring;
        parts.push_back(qm4::partImports(drawn.pieces[i], kind, lineMode_));
    }
    for (const qm4::ImportPlace& place : qm4::orderImports(parts, drawn.holeOf))
        imports_.push_back(parts[place.part].imports[place.index]);
    if (pieces_->count() == 0)
        for (std::size_t i = 0; i < imports_.size(); ++i)
            pieces_->addItem(pieceText(i + 1, imports_[i]));
    pieces_->setEnabled(imports_.size() > 1);
    const auto index = static_cast<std::size_t>(std::max(0, pieces_->currentIndex()));
    if (index < imports_.size()) chosen_ = imports_[index];
    preview_->show(drawn, chosen_);
    ok->setEnabled(!chosen_.lwm.empty() || !chosen_.vtp.empty());
    if (!shape) return count_->setText(QString::fromStdString(shape.error().message));
    const int lwm = static_cast<int>(chosen_.lwm.size()),
              vtp = static_cast<int>(chosen_.vtp.size());
    const auto fits = [](int n, int most) { return n <= most ? tr("fits") : tr("too many"); };
    count_->setText(
        shapeNote(feature.name.isEmpty() ? QString::number(feature.id) : feature.name, parts) +
        tr("After clipping and simplifying, the import presses %1 LWM and %2 VTP points: the "
           "LWM short form holds %3 (%4), the VTP %5 (%6).")
            .arg(lwm)
            .arg(vtp)
            .arg(kLwmShortForm)
            .arg(fits(lwm, kLwmShortForm))
            .arg(kVtpShortForm)
            .arg(fits(vtp, kVtpShortForm)));
}
