// The LWM / VTP tab's controls, colours and tab order.
#include "ui/lwm_vtp_tab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "source/vocabulary.h"
#include "ui/form_widgets.h"
#include "ui/window_common.h"

LwmVtpTab::LwmVtpTab(QWidget* parent) : QWidget(parent) {
    auto* vtp = new QGroupBox(tr("VTP Properties"), this);
    QComboBox* landClass = vocabularyBox("cbolandclass", qm4::LandClassList(), vtp);
    QComboBox* vectorType = vocabularyBox("cbovtptype", qm4::VtpTypeList(), vtp);
    QComboBox* layer = vocabularyBox("cbolayer", qm4::LayerList(), vtp);
    QLineEdit* width = lineEdit("txtvtplinewidth", vtp);
    width->setMaximumWidth(90);
    auto* line = named(new QRadioButton(tr(" L&ine")), "Option4");
    auto* poly = named(new QRadioButton(tr("P&oly")), "Option3");
    QGroupBox* mode = optionFrame(tr("Line/Poly Mode"), line, poly, vtp);
    auto* vtpColumn = new QVBoxLayout(vtp);
    vtpColumn->addWidget(new QLabel(tr("Select or type LandClass Values (Optional)"), vtp));
    vtpColumn->addWidget(landClass);
    vtpColumn->addWidget(mode);
    vtpColumn->addWidget(new QLabel(tr("Select or type Road/Line/Shoreline or Poly"), vtp));
    vtpColumn->addWidget(vectorType);
    vtpColumn->addWidget(new QLabel(tr("Road/Line/shoreline Width (only)"), vtp));
    vtpColumn->addWidget(width);
    vtpColumn->addWidget(new QLabel(tr("Select Line/Poly Layer"), vtp));
    vtpColumn->addWidget(layer);
    vtpColumn->addStretch();

    auto* lwm = new QGroupBox(tr("LWM Properties"), this);
    QLineEdit* altitude = lineEdit("txtaltitude", lwm);
    altitude->setMaximumWidth(90);
    auto* land = named(new QRadioButton(tr("  &Land")), "Option1");
    auto* water = named(new QRadioButton(tr("W&ater")), "Option2");
    QGroupBox* mask = optionFrame(tr("Land/Water Mask"), land, water, lwm);
    auto* lwmColumn = new QVBoxLayout(lwm);
    lwmColumn->addWidget(new QLabel(tr("Altitude Adjustment"), lwm));
    lwmColumn->addWidget(altitude);
    lwmColumn->addWidget(new QLabel(tr("Whole number meters only for Flatten"), lwm));
    lwmColumn->addWidget(new QLabel(tr("Type  -9999  for non-flattening mesh clinging poly"), lwm));
    lwmColumn->addWidget(mask);
    lwmColumn->addStretch();

    for (QWidget* widget :
         std::initializer_list<QWidget*>{landClass, poly, line, vectorType, width, layer})
        paintBackground(widget, kVtpBlue);
    for (QWidget* widget : std::initializer_list<QWidget*>{altitude, land, water})
        paintBackground(widget, kLwmGreen);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(vtp, 3);
    layout->addWidget(lwm, 2);

    // A warning sign in each field the compiler needs, shown after Create
    // Source while the field is empty or no number.
    const QString needsNumber = tr("The compiler needs a number here.");
    addWarningSign(altitude, QStringLiteral("txtaltitude"), needsNumber);
    addWarningSign(width, QStringLiteral("txtvtplinewidth"), needsNumber);
    addWarningSign(vectorType->lineEdit(), QStringLiteral("cbovtptype"), needsNumber);
    addWarningSign(layer->lineEdit(), QStringLiteral("cbolayer"), needsNumber);

    highlightOnFocus({altitude, width});
    chainTabOrder({landClass, line, poly, vectorType, width, layer, altitude, land, water});
}
