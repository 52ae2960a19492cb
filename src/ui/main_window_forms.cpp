// The form of the window's three tabs: their controls, colours, frames and
// tab order, and the Calculate button of the location frame.
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/area_grid.h"
#include "model/calculate.h"
#include "model/numbers.h"
#include "source/vocabulary.h"
#include "ui/field_behaviour.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/picture_view.h"

namespace {

const QString kFontFamily = QStringLiteral("Comic Sans MS");
const QColor kLwmGreen(128, 255, 128);
const QColor kVtpBlue(192, 192, 255);
const QColor kCellAreaText(128, 0, 0);

QLineEdit* lineEdit(const char* name, QWidget* parent) {
    return named(new QLineEdit(parent), name);
}

// A display label: sunken like a read-only field, so an empty one still
// shows where its value will appear.
QLabel* displayLabel(const char* name, QWidget* parent, int minimumChars) {
    auto* label = named(new QLabel(parent), name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1Char('0')) * minimumChars +
                           8);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Tall enough for a line of text inside its frame, however the layout
    // presses it.
    label->setMinimumHeight(label->fontMetrics().height() + 2 * label->frameWidth() + 4);
    return label;
}

// A tab page that scrolls when the window is smaller than the page, so no
// control is ever squeezed below its own size.
QScrollArea* scrolled(QWidget* page) {
    auto* area = new QScrollArea;
    area->setWidget(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

QLabel* centred(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        palette.setColor(role, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A frame holding one pair of option buttons side by side.
QGroupBox* optionFrame(const QString& title, QRadioButton* first, QRadioButton* second,
                       QWidget* parent) {
    auto* frame = new QGroupBox(title, parent);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch();
    return frame;
}

// A combo box that offers a vocabulary list and takes any typed text
// without adding it to the list.
QComboBox* vocabularyBox(const char* name, const std::vector<std::string>& entries,
                         QWidget* parent) {
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    const std::string* longest = &entries.front();
    for (const std::string& entry : entries) {
        items << qs(entry);
        if (entry.size() > longest->size()) longest = &entry;
    }
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(34);
    // The drop-down is as wide as its longest entry; measuring that one alone
    // keeps the window quick to open.
    box->view()->setMinimumWidth(box->fontMetrics().horizontalAdvance(qs(*longest)) + 32);
    return box;
}

// Where the form's font is not installed (as on most Linux desktops), Comic
// Neue, drawn after it, stands in.
void useFontStandIn() {
    if (!QFontDatabase::hasFamily(kFontFamily))
        QFont::insertSubstitution(kFontFamily, QStringLiteral("Comic Neue"));
}

}  // namespace

// ---- The form ------------------------------------------------------------

void MainWindow::buildForm() {
    useFontStandIn();
    setFont(QFont(kFontFamily));
    tabs_ = named(new QTabWidget(this), "SSTab1");
    tabs_->addTab(scrolled(buildGeneralTab()), QStringLiteral("&General / Location"));
    tabs_->addTab(scrolled(buildLwmVtpTab()), QStringLiteral(" L&WM / VTP"));
    tabs_->addTab(scrolled(buildDrawTab()), QStringLiteral("&Draw Data Points"));
    setCentralWidget(tabs_);

    auto* highlighter = new HighlightOnFocus(this);
    for (QWidget* box : std::initializer_list<QWidget*>{
             txtprojectname, txtauthorname, txtcomments, txtlatdeg, txtlatmin, txtlongdeg,
             txtlongmin, txtaltitude, txtvtplinewidth, txtlwmnumber, txtvtpnumber, txtcellx,
             txtcelly, txtareax, txtareay})
        box->installEventFilter(highlighter);

    // Tab runs through each tab's fields in reading order.
    const auto chain = [](std::initializer_list<QWidget*> widgets) {
        QWidget* previous = nullptr;
        for (QWidget* widget : widgets) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    };
    chain({txtprojectname, txtauthorname, txtcomments, txtlatdeg, txtlatmin, txtlongdeg, txtlongmin,
           cmdcalculate});
    chain({cbolandclass, Option4, Option3, cbovtptype, txtvtplinewidth, cbolayer, txtaltitude,
           Option1, Option2});
    chain({cmdload, txtcellx, txtcelly, txtareax, txtareay, txtlwmnumber, lstLWM,
           cmdlwmclearlistitem, cmdclearlwmlist, cmdlwm, chklwmnodata, txtvtpnumber, lstVTP,
           cmdvtpclearitem, cmdclearvtplist, cmdvtp, chkvtpnodata});

    // A warning sign inside each field the compiler needs, shown after Create
    // Source while the field is empty or no number; the form's colours are
    // left to focus and counters.
    const QIcon sign = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (QLineEdit* edit : {txtcellx, txtcelly, txtareax, txtareay, txtaltitude, txtvtplinewidth,
                            cbovtptype->lineEdit(), cbolayer->lineEdit()}) {
        const QString name = edit == cbovtptype->lineEdit() ? QStringLiteral("cbovtptype")
                             : edit == cbolayer->lineEdit() ? QStringLiteral("cbolayer")
                                                            : edit->objectName();
        QAction* warning = edit->addAction(sign, QLineEdit::TrailingPosition);
        warning->setObjectName(QStringLiteral("warn") + name);
        warning->setToolTip(QStringLiteral("The compiler needs a number here."));
        warning->setVisible(false);
        compilerWarnings_[name.toStdString()] = warning;
    }
    // A counter that says another number than its list holds points.
    for (QLineEdit* counter : {txtlwmnumber, txtvtpnumber}) {
        QAction* warning = counter->addAction(sign, QLineEdit::TrailingPosition);
        warning->setObjectName(QStringLiteral("warn") + counter->objectName());
        warning->setToolTip(QStringLiteral(
            "The counter gives the source its number of points; Edit > Recount Points sets it "
            "to the points the list holds."));
        warning->setVisible(false);
        compilerWarnings_[counter->objectName().toStdString()] = warning;
    }
}

QWidget* MainWindow::buildGeneralTab() {
    auto* page = new QWidget;

    auto* general = new QGroupBox(QStringLiteral("General Properties"), page);
    txtprojectname = lineEdit("txtprojectname", general);
    txtauthorname = lineEdit("txtauthorname", general);
    txtcomments = named(new CommentsEdit(general), "txtcomments");
    txtcomments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtcomments->setTabChangesFocus(true);
    txtcomments->setFixedHeight(txtcomments->fontMetrics().lineSpacing() * 4 + 12);
    auto* generalGrid = new QGridLayout(general);
    generalGrid->addWidget(new QLabel(QStringLiteral("Project Name"), general), 0, 0);
    generalGrid->addWidget(txtprojectname, 0, 1);
    generalGrid->addWidget(new QLabel(QStringLiteral("Author Name"), general), 1, 0);
    generalGrid->addWidget(txtauthorname, 1, 1);
    generalGrid->addWidget(new QLabel(QStringLiteral("Comments"), general), 2, 0, Qt::AlignTop);
    generalGrid->addWidget(txtcomments, 2, 1);

    auto* location = new QGroupBox(QStringLiteral("Location Properties"), page);
    txtlatdeg = lineEdit("txtlatdeg", location);
    txtlatmin = lineEdit("txtlatmin", location);
    txtlongdeg = lineEdit("txtlongdeg", location);
    txtlongmin = lineEdit("txtlongmin", location);
    for (QLineEdit* edit : {txtlatdeg, txtlatmin, txtlongdeg, txtlongmin})
        edit->setMaximumWidth(90);
    lbllatdd = displayLabel("lbllatdd", location, 18);
    lbllongdd = displayLabel("lbllongdd", location, 18);
    cmdcalculate = named(new QPushButton(QStringLiteral("&Calculate"), location), "cmdcalculate");

    auto* position = new QGridLayout;
    position->addWidget(centred(QStringLiteral("Deg"), location), 0, 1);
    position->addWidget(centred(QStringLiteral("Min"), location), 0, 2);
    position->addWidget(new QLabel(QStringLiteral("Latitude  N-S"), location), 1, 0);
    position->addWidget(txtlatdeg, 1, 1);
    position->addWidget(txtlatmin, 1, 2);
    position->addWidget(lbllatdd, 1, 3);
    position->addWidget(new QLabel(QStringLiteral("Longitude E-W"), location), 2, 0);
    position->addWidget(txtlongdeg, 2, 1);
    position->addWidget(txtlongmin, 2, 2);
    position->addWidget(lbllongdd, 2, 3);
    position->addWidget(
        new QLabel(QStringLiteral("    Use minus (-) for South Latitudes   and West Longitudes"),
                   location),
        3, 0, 1, 4);
    position->addWidget(cmdcalculate, 4, 1, 1, 2);
    position->setColumnStretch(4, 1);

    lblcellx = displayLabel("lblcellx", location, 4);
    lblcelly = displayLabel("lblcelly", location, 4);
    lblareax = displayLabel("lblareax", location, 4);
    lblareay = displayLabel("lblareay", location, 4);
    auto* results = new QGridLayout;
    results->addWidget(centred(QStringLiteral("X  CELL  Y"), location), 0, 1, 1, 2);
    results->addWidget(new QLabel(QStringLiteral("LOD 8"), location), 1, 0);
    results->addWidget(lblcellx, 1, 1);
    results->addWidget(lblcelly, 1, 2);
    results->addWidget(centred(QStringLiteral("X  AREA  Y"), location), 2, 1, 1, 2);
    results->addWidget(new QLabel(QStringLiteral("LOD 13"), location), 3, 0);
    results->addWidget(lblareax, 3, 1);
    results->addWidget(lblareay, 3, 2);
    // The edges of the area in decimal degrees, to check it against a map.
    int row = 4;
    for (const auto& [edge, caption] : {std::pair{&lblnorth, "North"},
                                        {&lblsouth, "South"},
                                        {&lblwest, "West"},
                                        {&lbleast, "East"}}) {
        const QByteArray name = "lbl" + QByteArray(caption).toLower();
        *edge = displayLabel(name.constData(), location, 14);
        results->addWidget(new QLabel(QString::fromLatin1(caption), location), row, 0);
        results->addWidget(*edge, row++, 1, 1, 2);
    }
    results->setRowStretch(row, 1);

    auto* locationRow = new QHBoxLayout(location);
    locationRow->addLayout(position, 1);
    locationRow->addSpacing(24);
    locationRow->addLayout(results);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(general);
    layout->addWidget(location);
    layout->addStretch();
    return page;
}

QWidget* MainWindow::buildLwmVtpTab() {
    auto* page = new QWidget;

    auto* vtp = new QGroupBox(QStringLiteral("VTP Properties"), page);
    cbolandclass = vocabularyBox("cbolandclass", qm4::LandClassList(), vtp);
    cbovtptype = vocabularyBox("cbovtptype", qm4::VtpTypeList(), vtp);
    cbolayer = vocabularyBox("cbolayer", qm4::LayerList(), vtp);
    txtvtplinewidth = lineEdit("txtvtplinewidth", vtp);
    txtvtplinewidth->setMaximumWidth(90);
    Option4 = named(new QRadioButton(QStringLiteral(" L&ine")), "Option4");
    Option3 = named(new QRadioButton(QStringLiteral("P&oly")), "Option3");
    QGroupBox* mode = optionFrame(QStringLiteral("Line/Poly Mode"), Option4, Option3, vtp);
    auto* vtpColumn = new QVBoxLayout(vtp);
    vtpColumn->addWidget(
        new QLabel(QStringLiteral("Select or type LandClass Values (Optional)"), vtp));
    vtpColumn->addWidget(cbolandclass);
    vtpColumn->addWidget(mode);
    vtpColumn->addWidget(
        new QLabel(QStringLiteral("Select or type Road/Line/Shoreline or Poly"), vtp));
    vtpColumn->addWidget(cbovtptype);
    vtpColumn->addWidget(new QLabel(QStringLiteral("Road/Line/shoreline Width (only)"), vtp));
    vtpColumn->addWidget(txtvtplinewidth);
    vtpColumn->addWidget(new QLabel(QStringLiteral("Select Line/Poly Layer"), vtp));
    vtpColumn->addWidget(cbolayer);
    vtpColumn->addStretch();

    auto* lwm = new QGroupBox(QStringLiteral("LWM Properties"), page);
    txtaltitude = lineEdit("txtaltitude", lwm);
    txtaltitude->setMaximumWidth(90);
    Option1 = named(new QRadioButton(QStringLiteral("  &Land")), "Option1");
    Option2 = named(new QRadioButton(QStringLiteral("W&ater")), "Option2");
    QGroupBox* mask = optionFrame(QStringLiteral("Land/Water Mask"), Option1, Option2, lwm);
    auto* lwmColumn = new QVBoxLayout(lwm);
    lwmColumn->addWidget(new QLabel(QStringLiteral("Altitude Adjustment"), lwm));
    lwmColumn->addWidget(txtaltitude);
    lwmColumn->addWidget(new QLabel(QStringLiteral("Whole number meters only for Flatten"), lwm));
    lwmColumn->addWidget(
        new QLabel(QStringLiteral("Type  -9999  for non-flattening mesh clinging poly"), lwm));
    lwmColumn->addWidget(mask);
    lwmColumn->addStretch();

    for (QWidget* widget : std::initializer_list<QWidget*>{cbolandclass, Option3, Option4,
                                                           cbovtptype, txtvtplinewidth, cbolayer})
        paintBackground(widget, kVtpBlue);
    for (QWidget* widget : std::initializer_list<QWidget*>{txtaltitude, Option1, Option2})
        paintBackground(widget, kLwmGreen);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(vtp, 3);
    layout->addWidget(lwm, 2);
    return page;
}

QWidget* MainWindow::buildDrawTab() {
    auto* page = new QWidget;

    // The border belongs to this frame, so that Picture1's whole rectangle is
    // its client area.
    // Zoomed in, the picture scrolls inside it.
    pictureScroll_ = named(new QScrollArea(page), "picturescroll");
    pictureScroll_->setFrameStyle(QFrame::Box | QFrame::Plain);
    pictureScroll_->setLineWidth(1);
    Picture1 = named(new PictureView, "Picture1");
    pictureScroll_->setWidget(Picture1);
    pictureScroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureScroll_->setMinimumSize(Picture1->size() + QSize(2, 2));
    pictureScroll_->setMaximumSize(pictureScroll_->minimumSize());
    pictureScroll_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    cmdload = named(new QPushButton(QStringLiteral("Load 256x256 &Image"), page), "cmdload");

    txtcellx = lineEdit("txtcellx", page);
    txtcelly = lineEdit("txtcelly", page);
    txtareax = lineEdit("txtareax", page);
    txtareay = lineEdit("txtareay", page);
    auto* cellArea = new QGridLayout;
    cellArea->addWidget(centred(QStringLiteral("Cell"), page), 0, 0, 1, 2);
    cellArea->addWidget(centred(QStringLiteral("Area"), page), 0, 2, 1, 2);
    int column = 0;
    for (QLineEdit* edit : {txtcellx, txtcelly, txtareax, txtareay}) {
        edit->setMaximumWidth(60);
        paintText(edit, kCellAreaText);
        cellArea->addWidget(edit, 1, column++);
    }

    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(pictureScroll_);
    pictureColumn->addWidget(cmdload);
    pictureColumn->addLayout(cellArea);
    pictureColumn->addStretch();

    const PointColumnNames lwmNames{
        "lblx",   "lbly",        "txtlwmnumber", "lstLWM", "cmdlwmclearlistitem", "cmdclearlwmlist",
        "cmdlwm", "chklwmnodata"};
    const PointColumnNames vtpNames{"lblvtp2x", "lblvtp2y",        "txtvtpnumber",
                                    "lstVTP",   "cmdvtpclearitem", "cmdclearvtplist",
                                    "cmdvtp",   "chkvtpnodata"};
    QWidget* lwmColumn =
        buildPointColumn(lwmNames, QStringLiteral("X LWM Y"), QStringLiteral("LWM Lines/Points"),
                         QStringLiteral("Send &NO Data"), kLwmGreen, page);
    QWidget* vtpColumn = buildPointColumn(vtpNames, QStringLiteral("X    VTP    Y"),
                                          QStringLiteral("VTP Lines/Points"),
                                          QStringLiteral(" Send NO Dat&a"), kVtpBlue, page);

    auto* layout = new QHBoxLayout(page);
    layout->addLayout(pictureColumn);
    layout->addWidget(lwmColumn, 2);
    layout->addWidget(vtpColumn, 3);
    return page;
}

QWidget* MainWindow::buildPointColumn(const PointColumnNames& names, const QString& coordinates,
                                      const QString& counterCaption, const QString& noData,
                                      const QColor& colour, QWidget* parent) {
    auto* column = new QWidget(parent);
    QLabel* x = displayLabel(names.x, column, 8);
    QLabel* y = displayLabel(names.y, column, 8);
    auto* counter = lineEdit(names.counter, column);
    counter->setMaximumWidth(70);
    auto* list = named(new QListWidget(column), names.list);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every line has the same height, which keeps appending cheap however
    // long the list grows.
    list->setUniformItemSizes(true);
    list->setLayoutMode(QListView::Batched);
    // Each column has access keys of its own.
    const bool lwm = names.list == std::string_view("lstLWM");
    auto* remove = named(
        new QPushButton(
            lwm ? QStringLiteral("&Remove Selected") : QStringLiteral("Re&move Selected"), column),
        names.remove);
    auto* clear =
        named(new QPushButton(lwm ? QStringLiteral("C&lear List") : QStringLiteral("Clear Lis&t"),
                              column),
              names.clear);
    auto* create = named(
        new QPushButton(lwm ? QStringLiteral("Create &Source") : QStringLiteral("Create So&urce"),
                        column),
        names.create);
    auto* check = named(new QCheckBox(noData, column), names.noData);
    for (QWidget* widget : std::initializer_list<QWidget*>{counter, list, check})
        paintBackground(widget, colour);

    auto* coordinateRow = new QHBoxLayout;
    coordinateRow->addWidget(x);
    coordinateRow->addWidget(y);
    auto* counterRow = new QHBoxLayout;
    counterRow->addWidget(new QLabel(counterCaption, column));
    counterRow->addWidget(counter);
    auto* buttons = new QGridLayout;
    buttons->addWidget(remove, 0, 0);
    buttons->addWidget(clear, 0, 1);
    buttons->addWidget(create, 1, 0);
    buttons->addWidget(check, 1, 1);

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(centred(coordinates, column));
    layout->addLayout(coordinateRow);
    layout->addLayout(counterRow);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);

    if (lwm) {
        lblx = x, lbly = y, txtlwmnumber = counter, lstLWM = list;
        cmdlwmclearlistitem = remove, cmdclearlwmlist = clear, cmdlwm = create;
        chklwmnodata = check;
    } else {
        lblvtp2x = x, lblvtp2y = y, txtvtpnumber = counter, lstVTP = list;
        cmdvtpclearitem = remove, cmdclearvtplist = clear, cmdvtp = create;
        chkvtpnodata = check;
    }
    return column;
}

// ---- Calculation and picture ---------------------------------------------

void MainWindow::cmdcalculate_Click() {
    readFields();
    qm4::calculate(state_);
    writeFields();
    noteChange();
}

void MainWindow::showAreaEdges() {
    const qm4::ProjectState& s = state_;
    const bool located =
        !s.txtcellx.empty() && !s.txtcelly.empty() && !s.txtareax.empty() && !s.txtareay.empty();
    const qm4::AreaEdges area = qm4::areaEdges(s);
    for (const auto& [label, edge] : {std::pair{lblnorth, area.north},
                                      {lblsouth, area.south},
                                      {lblwest, area.west},
                                      {lbleast, area.east}}) {
        const QString shown = located ? qs(qm4::decimalText(edge)) : QString();
        if (label->text() != shown) label->setText(shown);
    }
}
