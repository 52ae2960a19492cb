// The draw tab's controls, frames and tab order.
#include "ui/draw_tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/form_widgets.h"
#include "ui/picture_view.h"
#include "ui/point_list_panel.h"
#include "ui/window_common.h"

namespace {
const QColor kCellAreaText(128, 0, 0);
}

DrawTab::DrawTab(QWidget* parent) : QWidget(parent) {
    // The border belongs to this frame, so that Picture1's whole rectangle is
    // its client area. Zoomed in, the picture scrolls inside it.
    pictureScroll_ = named(new QScrollArea(this), "picturescroll");
    pictureScroll_->setFrameStyle(QFrame::Box | QFrame::Plain);
    pictureScroll_->setLineWidth(1);
    picture_ = named(new PictureView, "Picture1");
    pictureScroll_->setWidget(picture_);
    pictureScroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureScroll_->setMinimumSize(picture_->size() + QSize(2, 2));
    pictureScroll_->setMaximumSize(pictureScroll_->minimumSize());
    pictureScroll_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* load = named(new QPushButton(tr("Load 256x256 &Image"), this), "cmdload");
    connect(load, &QPushButton::clicked, this, &DrawTab::loadPictureRequested);

    auto* cellArea = new QGridLayout;
    cellArea->addWidget(centred(tr("Cell"), this), 0, 0, 1, 2);
    cellArea->addWidget(centred(tr("Area"), this), 0, 2, 1, 2);
    std::vector<QLineEdit*> boxes;
    for (const char* name : {"txtcellx", "txtcelly", "txtareax", "txtareay"}) {
        QLineEdit* box = lineEdit(name, this);
        box->setMaximumWidth(60);
        paintText(box, kCellAreaText);
        cellArea->addWidget(box, 1, static_cast<int>(boxes.size()));
        boxes.push_back(box);
        addWarningSign(box, QString::fromLatin1(name), tr("The compiler needs a number here."));
    }

    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(pictureScroll_);
    pictureColumn->addWidget(load);
    pictureColumn->addLayout(cellArea);
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

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(pictureColumn);
    layout->addWidget(lwmPanel_, 2);
    layout->addWidget(vtpPanel_, 3);

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
    const int frame = 2 * pictureScroll_->frameWidth();
    pictureScroll_->setMaximumSize(picture_->size() + QSize(frame, frame));
}
