// The draw tab's controls, frames and tab order.
#include "ui/draw_tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

#include "ui/form_widgets.h"
#include "ui/picture_view.h"
#include "ui/point_list_panel.h"
#include "ui/window_common.h"

namespace {
const QColor kCellAreaText(128, 0, 0);
}

DrawTab::DrawTab(QWidget* parent) : QWidget(parent) {
    splitter_ = named(new QSplitter(Qt::Horizontal, this), "drawsplitter");
    splitter_->setChildrenCollapsible(false);
    pane_ = new QWidget(splitter_);
    // The border belongs to this frame, so that Picture1's whole rectangle is
    // its client area. Zoomed in, the picture scrolls inside it when the
    // pane is too small for it.
    pictureScroll_ = named(new QScrollArea(pane_), "picturescroll");
    pictureScroll_->setFrameStyle(QFrame::Box | QFrame::Plain);
    pictureScroll_->setLineWidth(1);
    picture_ = named(new PictureView, "Picture1");
    pictureScroll_->setWidget(picture_);
    pictureScroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureScroll_->setMinimumSize(picture_->size() + QSize(2, 2));
    pictureScroll_->setMaximumSize(pictureScroll_->minimumSize());
    pictureScroll_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    belowPicture_ = new QWidget(pane_);
    auto* load = named(new QPushButton(tr("Load 256x256 &Image"), belowPicture_), "cmdload");
    connect(load, &QPushButton::clicked, this, &DrawTab::loadPictureRequested);

    auto* cellArea = new QGridLayout;
    cellArea->addWidget(centred(tr("Cell"), belowPicture_), 0, 0, 1, 2);
    cellArea->addWidget(centred(tr("Area"), belowPicture_), 0, 2, 1, 2);
    std::vector<QLineEdit*> boxes;
    for (const char* name : {"txtcellx", "txtcelly", "txtareax", "txtareay"}) {
        QLineEdit* box = lineEdit(name, belowPicture_);
        box->setMaximumWidth(60);
        paintText(box, kCellAreaText);
        cellArea->addWidget(box, 1, static_cast<int>(boxes.size()));
        boxes.push_back(box);
        addWarningSign(box, QString::fromLatin1(name), tr("The compiler needs a number here."));
    }
    cellArea->setColumnStretch(4, 1);
    zoomLabel_ = named(new QLabel(belowPicture_), "lblzoom");
    auto* loadRow = new QHBoxLayout;
    loadRow->addWidget(load);
    loadRow->addStretch();
    loadRow->addWidget(zoomLabel_);
    auto* below = new QVBoxLayout(belowPicture_);
    below->setContentsMargins(0, 0, 0, 0);
    below->addLayout(loadRow);
    below->addLayout(cellArea);

    auto* pictureColumn = new QVBoxLayout(pane_);
    pictureColumn->setContentsMargins(0, 0, 0, 0);
    pictureColumn->addWidget(pictureScroll_, 1);
    pictureColumn->addWidget(belowPicture_);
    pictureColumn->addStretch();

    // Each column has access keys of its own.
    lwmPanel_ = new PointListPanel({"lblx", "lbly", "txtlwmnumber", "lstLWM", "cmdlwmclearlistitem",
                                    "cmdclearlwmlist", "cmdlwm", "chklwmnodata"},
                                   {tr("X LWM Y"), tr("LWM Lines/Points"), tr("&Remove Selected"),
                                    tr("C&lear List"), tr("Create &Source"), tr("Send &NO Data")},
                                   kLwmGreen, this);
    vtpPanel_ =
        new PointListPanel({"lblvtp2x", "lblvtp2y", "txtvtpnumber", "lstVTP", "cmdvtpclearitem",
                            "cmdclearvtplist", "cmdvtp", "chkvtpnodata"},
                           {tr("X    VTP    Y"), tr("VTP Lines/Points"), tr("Re&move Selected"),
                            tr("Clear Lis&t"), tr("Create So&urce"), tr(" Send NO Dat&a")},
                           kVtpBlue, this);

    auto* lists = new QWidget(splitter_);
    auto* listRow = new QHBoxLayout(lists);
    listRow->setContentsMargins(0, 0, 0, 0);
    listRow->addWidget(lwmPanel_, 2);
    listRow->addWidget(vtpPanel_, 3);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter_);

    setZoom(1);
    highlightOnFocus({boxes[0], boxes[1], boxes[2], boxes[3]});
    QWidget* previous = load;
    for (QWidget* next : QList<QWidget*>{boxes[0], boxes[1], boxes[2], boxes[3]} +
                             lwmPanel_->tabOrder() + vtpPanel_->tabOrder()) {
        setTabOrder(previous, next);
        previous = next;
    }
}

void DrawTab::setZoom(int zoom) {
    picture_->setZoom(zoom);
    zoomLabel_->setText(tr("Zoom %1x").arg(picture_->zoom()));
    const int frame = 2 * pictureScroll_->frameWidth();
    pictureScroll_->setMaximumSize(picture_->size() + QSize(frame, frame));
    // The pane takes the picture's width where the lists leave room, and
    // gives back what a smaller zoom leaves empty; the author may move the
    // splitter either way afterwards.
    const int wanted = std::min(picture_->width() + frame, roomForPicture().width() + frame);
    const QList<int> sizes = splitter_->sizes();
    if (sizes.size() == 2 && sizes[0] + sizes[1] > 0 && sizes[0] != wanted)
        splitter_->setSizes({wanted, sizes[0] + sizes[1] - wanted});
}

void DrawTab::setFitToWindow(bool fit) {
    fit_ = fit;
    this->fit();
}

// What the picture may take: the tab's width but for the lists' least width,
// and the pane's height above the button and boxes.
QSize DrawTab::roomForPicture() const {
    const int frame = 2 * pictureScroll_->frameWidth();
    const int lists = splitter_->widget(1)->minimumSizeHint().width() + splitter_->handleWidth();
    return QSize(
        splitter_->width() - lists - frame,
        pane_->height() - belowPicture_->sizeHint().height() - pane_->layout()->spacing() - frame);
}

int DrawTab::fittingZoom() const {
    const QSize room = roomForPicture();
    int zoom = 1;
    while (zoom < 4 && 256 * (zoom + 1) <= std::min(room.width(), room.height())) ++zoom;
    return zoom;
}

void DrawTab::fit() {
    if (!fit_ || fittingZoom() == picture_->zoom()) return;
    setZoom(fittingZoom());
    emit zoomChanged(picture_->zoom());
}

void DrawTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fit();
}
