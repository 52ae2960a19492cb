// The General / Location tab's controls, frames and tab order.
#include "ui/general_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/area_grid.h"
#include "model/numbers.h"
#include "ui/field_behaviour.h"
#include "ui/form_widgets.h"
#include "ui/window_common.h"

GeneralTab::GeneralTab(QWidget* parent) : QWidget(parent) {
    auto* general = new QGroupBox(tr("General Properties"), this);
    QLineEdit* projectName = lineEdit("txtprojectname", general);
    QLineEdit* authorName = lineEdit("txtauthorname", general);
    auto* comments = named(new CommentsEdit(general), "txtcomments");
    comments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    comments->setTabChangesFocus(true);
    comments->setFixedHeight(comments->fontMetrics().lineSpacing() * 4 + 12);
    auto* generalGrid = new QGridLayout(general);
    generalGrid->addWidget(new QLabel(tr("Project Name"), general), 0, 0);
    generalGrid->addWidget(projectName, 0, 1);
    generalGrid->addWidget(new QLabel(tr("Author Name"), general), 1, 0);
    generalGrid->addWidget(authorName, 1, 1);
    generalGrid->addWidget(new QLabel(tr("Comments"), general), 2, 0, Qt::AlignTop);
    generalGrid->addWidget(comments, 2, 1);

    auto* location = new QGroupBox(tr("Location Properties"), this);
    QLineEdit* latitudeDegrees = lineEdit("txtlatdeg", location);
    QLineEdit* latitudeMinutes = lineEdit("txtlatmin", location);
    QLineEdit* longitudeDegrees = lineEdit("txtlongdeg", location);
    QLineEdit* longitudeMinutes = lineEdit("txtlongmin", location);
    for (QLineEdit* edit : {latitudeDegrees, latitudeMinutes, longitudeDegrees, longitudeMinutes})
        edit->setMaximumWidth(90);
    auto* calculate = named(new QPushButton(tr("&Calculate"), location), "cmdcalculate");
    connect(calculate, &QPushButton::clicked, this, &GeneralTab::calculateRequested);

    auto* position = new QGridLayout;
    position->addWidget(centred(tr("Deg"), location), 0, 1);
    position->addWidget(centred(tr("Min"), location), 0, 2);
    position->addWidget(new QLabel(tr("Latitude  N-S"), location), 1, 0);
    position->addWidget(latitudeDegrees, 1, 1);
    position->addWidget(latitudeMinutes, 1, 2);
    position->addWidget(displayLabel("lbllatdd", location, 18), 1, 3);
    position->addWidget(new QLabel(tr("Longitude E-W"), location), 2, 0);
    position->addWidget(longitudeDegrees, 2, 1);
    position->addWidget(longitudeMinutes, 2, 2);
    position->addWidget(displayLabel("lbllongdd", location, 18), 2, 3);
    position->addWidget(
        new QLabel(tr("    Use minus (-) for South Latitudes   and West Longitudes"), location), 3,
        0, 1, 4);
    position->addWidget(calculate, 4, 1, 1, 2);
    position->setColumnStretch(4, 1);

    auto* results = new QGridLayout;
    results->addWidget(centred(tr("X  CELL  Y"), location), 0, 1, 1, 2);
    results->addWidget(new QLabel(tr("LOD 8"), location), 1, 0);
    results->addWidget(displayLabel("lblcellx", location, 4), 1, 1);
    results->addWidget(displayLabel("lblcelly", location, 4), 1, 2);
    results->addWidget(centred(tr("X  AREA  Y"), location), 2, 1, 1, 2);
    results->addWidget(new QLabel(tr("LOD 13"), location), 3, 0);
    results->addWidget(displayLabel("lblareax", location, 4), 3, 1);
    results->addWidget(displayLabel("lblareay", location, 4), 3, 2);
    // The edges of the area in decimal degrees, to check it against a map.
    int row = 4;
    for (const auto& [edge, caption] :
         {std::pair{&north_, "North"}, {&south_, "South"}, {&west_, "West"}, {&east_, "East"}}) {
        const QByteArray name = "lbl" + QByteArray(caption).toLower();
        *edge = displayLabel(name.constData(), location, 14);
        results->addWidget(new QLabel(tr(caption), location), row, 0);
        results->addWidget(*edge, row++, 1, 1, 2);
    }
    results->setRowStretch(row, 1);

    auto* locationRow = new QHBoxLayout(location);
    locationRow->addLayout(position, 1);
    locationRow->addSpacing(24);
    locationRow->addLayout(results);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(location);
    layout->addStretch();

    highlightOnFocus({projectName, authorName, comments, latitudeDegrees, latitudeMinutes,
                      longitudeDegrees, longitudeMinutes});
    chainTabOrder({projectName, authorName, comments, latitudeDegrees, latitudeMinutes,
                   longitudeDegrees, longitudeMinutes, calculate});
}

void GeneralTab::showAreaEdges(const qm4::ProjectState& s) {
    const bool located =
        !s.txtcellx.empty() && !s.txtcelly.empty() && !s.txtareax.empty() && !s.txtareay.empty();
    const qm4::AreaEdges area = qm4::areaEdges(s);
    for (const auto& [label, edge] : {std::pair{north_, area.north},
                                      {south_, area.south},
                                      {west_, area.west},
                                      {east_, area.east}}) {
        const QString shown = located ? qs(qm4::decimalText(edge)) : QString();
        if (label->text() != shown) label->setText(shown);
    }
}
