// The main window: the form, its menus, and the routing of every event to
// the core. Each handler reads the fields into the project state, calls the
// core, and shows the result.
#include "ui/main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "capture/capture.h"
#include "capture/list_editing.h"
#include "model/calculate.h"
#include "project/project_file.h"
#include "source/source_writers.h"
#include "source/text_file.h"
#include "source/view_source.h"
#include "source/vocabulary.h"
#include "ui/about_box.h"
#include "ui/field_behaviour.h"
#include "ui/main_window_text.h"
#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/session_recovery.h"

namespace {

const QString kFontFamily = QStringLiteral("Comic Sans MS");
const FileFilter kPictureFilter{QStringLiteral("Picture Files (*.bmp;*.jpg;*.gif)"),
                                QStringLiteral("*.bmp;*.jpg;*.gif")};

const QColor kLwmGreen(128, 255, 128);
const QColor kVtpBlue(192, 192, 255);
const QColor kCellAreaText(128, 0, 0);
const QColor kCounterRed(255, 0, 0);
const QColor kCounterBlack(0, 0, 0);

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

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
    return label;
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

void paintText(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
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

int selectedRow(const QListWidget* list) {
    const QModelIndexList rows = list->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

void showValue(QLineEdit* edit, const std::string& value) {
    const QString shown = qs(value);
    if (edit->text() != shown) edit->setText(shown);
}

void showValue(QLabel* label, const std::string& value) {
    const QString shown = qs(value);
    if (label->text() != shown) label->setText(shown);
}

void showValue(QComboBox* box, const std::string& value) {
    const QString shown = qs(value);
    if (box->currentText() != shown) box->setEditText(shown);
}

// The text as typed: toPlainText() would turn a no-break space into a plain
// one, and the next save would change the comments nobody edited.
QString plainText(const QPlainTextEdit* edit) {
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void showValue(QPlainTextEdit* edit, const std::string& value) {
    const QString shown = qs(value);
    if (plainText(edit) != shown) edit->setPlainText(shown);
}

// Radio buttons in one group refuse to be unchecked together, but an opened
// project may select neither of a pair.
void showPair(QRadioButton* first, bool firstOn, QRadioButton* second, bool secondOn) {
    first->setAutoExclusive(false);
    second->setAutoExclusive(false);
    first->setChecked(firstOn);
    second->setChecked(secondOn);
    first->setAutoExclusive(true);
    second->setAutoExclusive(true);
}

// Where the form's font is not installed (as on most Linux desktops), Comic
// Neue, drawn after it, stands in.
void useFontStandIn() {
    if (!QFontDatabase::hasFamily(kFontFamily))
        QFont::insertSubstitution(kFontFamily, QStringLiteral("Comic Neue"));
}

#ifndef Q_OS_WIN
QStringList qsList(const std::vector<std::string>& values) {
    QStringList list;
    for (const std::string& value : values) list << qs(value);
    return list;
}
#endif

}  // namespace

MainWindow::MainWindow() : MainWindow(std::make_unique<DesktopServices>()) {}

MainWindow::MainWindow(std::unique_ptr<PlatformServices> services)
    : services_(std::move(services)), captionText_(kCaption) {
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(caption());
    setAcceptDrops(true);
    setWindowIcon(applicationIcon());
    useFontStandIn();
    setFont(QFont(kFontFamily));
    buildForm();
    buildMenus();
    connectEvents();
    lwmSide_ = {lstLWM, txtlwmnumber, &qm4::ProjectState::lstLWM, &qm4::ProjectState::txtlwmnumber,
                &qm4::ProjectState::lwmnumberColour};
    vtpSide_ = {lstVTP, txtvtpnumber, &qm4::ProjectState::lstVTP, &qm4::ProjectState::txtvtpnumber,
                &qm4::ProjectState::vtpnumberColour};
    writeFields();
    saved_ = state_;
    recovery_ = std::make_unique<SessionRecovery>(services_->recoveryFolder());
    recoveryTimer_.setSingleShot(true);
    recoveryTimer_.setInterval(1000);
    connect(&recoveryTimer_, &QTimer::timeout, this, &MainWindow::writeRecovery);
    workingFolderLabel_ = named(new QLabel(this), "lblworkingfolder");
    statusBar()->addPermanentWidget(workingFolderLabel_);
    showWorkingFolder();
    showRecent();
    resize(sizeHint().expandedTo(QSize(920, 600)));
}

MainWindow::~MainWindow() = default;

// ---- The form ------------------------------------------------------------

void MainWindow::buildForm() {
    tabs_ = named(new QTabWidget(this), "SSTab1");
    tabs_->addTab(buildGeneralTab(), QStringLiteral("General / Location"));
    tabs_->addTab(buildLwmVtpTab(), QStringLiteral(" LWM / VTP"));
    tabs_->addTab(buildDrawTab(), QStringLiteral("Draw Data Points"));
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
    cmdcalculate = named(new QPushButton(QStringLiteral("Calculate"), location), "cmdcalculate");

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
    results->setRowStretch(4, 1);

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
    Option4 = named(new QRadioButton(QStringLiteral(" Line")), "Option4");
    Option3 = named(new QRadioButton(QStringLiteral("Poly")), "Option3");
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
    Option1 = named(new QRadioButton(QStringLiteral("  Land")), "Option1");
    Option2 = named(new QRadioButton(QStringLiteral("Water")), "Option2");
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
    auto* pictureFrame = new QFrame(page);
    pictureFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    pictureFrame->setLineWidth(1);
    Picture1 = named(new PictureView(pictureFrame), "Picture1");
    auto* frameLayout = new QVBoxLayout(pictureFrame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(Picture1);
    pictureFrame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    cmdload = named(new QPushButton(QStringLiteral("Load 256x256 Image"), page), "cmdload");

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
    pictureColumn->addWidget(pictureFrame);
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
                         QStringLiteral("Send NO Data"), kLwmGreen, page);
    QWidget* vtpColumn = buildPointColumn(vtpNames, QStringLiteral("X    VTP    Y"),
                                          QStringLiteral("VTP Lines/Points"),
                                          QStringLiteral(" Send NO Data"), kVtpBlue, page);

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
    auto* remove = named(new QPushButton(QStringLiteral("Remove Selected"), column), names.remove);
    auto* clear = named(new QPushButton(QStringLiteral("Clear List"), column), names.clear);
    auto* create = named(new QPushButton(QStringLiteral("Create Source"), column), names.create);
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

    if (names.list == std::string_view("lstLWM")) {
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

void MainWindow::buildMenus() {
    const auto action = [this](const char* name, const QString& caption,
                               void (MainWindow::*handler)()) {
        auto* entry = named(new QAction(caption, this), name);
        connect(entry, &QAction::triggered, this, handler);
        return entry;
    };
    mnuopenproject =
        action("mnuopenproject", QStringLiteral("Open Project"), &MainWindow::mnuopenproject_Click);
    mnuopenproject->setShortcut(QKeySequence::Open);
    mnusaveproject =
        action("mnusaveproject", QStringLiteral("Save Project"), &MainWindow::mnusaveproject_Click);
    mnusaveproject->setShortcut(QKeySequence::Save);
    mnucreatelwmsource = action("mnucreatelwmsource", QStringLiteral("Create LWMSource.asm"),
                                &MainWindow::mnucreatelwmsource_Click);
    mnuviewlwmsource = action("mnuviewlwmsource", QStringLiteral("View LWMSource"),
                              &MainWindow::mnuviewlwmsource_Click);
    mnucreatevtpsource = action("mnucreatevtpsource", QStringLiteral("Create VTPSource.asm"),
                                &MainWindow::mnucreatevtpsource_Click);
    mnuviewvtpsource = action("mnuviewvtpsource", QStringLiteral("View VTPSource"),
                              &MainWindow::mnuviewvtpsource_Click);
    mnuexit = action("mnuexit", QStringLiteral("Exit"), &MainWindow::mnuexit_Click);
    mnuworkingfolder = action("mnuworkingfolder", QStringLiteral("Working Folder..."),
                              &MainWindow::mnuworkingfolder_Click);
    for (int i = 0; i < static_cast<int>(mnurecent.size()); ++i) {
        const QByteArray name = "mnurecent" + QByteArray::number(i + 1);
        mnurecent[i] = named(new QAction(this), name.constData());
        connect(mnurecent[i], &QAction::triggered, this, [this, i] { mnurecent_Click(i); });
    }
    mnuquickstart = action("mnuquickstart", QStringLiteral("Quick Start Guide"),
                           &MainWindow::mnuquickstart_Click);
    mnuquickstart->setShortcut(QKeySequence(Qt::Key_F1));
    mnuhelptutorial = action("mnuhelptutorial", QStringLiteral("Quillmap Help Tutorial"),
                             &MainWindow::mnuhelptutorial_Click);
    mnulwmtutorial = action("mnulwmtutorial", QStringLiteral("Orvell's  LWM Tutorial"),
                            &MainWindow::mnulwmtutorial_Click);
    mnumenu =
        action("mnumenu", QStringLiteral("Menu and User Information"), &MainWindow::mnumenu_Click);
    mnuabout = action("mnuabout", QStringLiteral("About"), &MainWindow::mnuabout_Click);

    QMenuBar* bar = menuBar();
    QMenu* file = named(bar->addMenu(QStringLiteral("&File")), "mnufile");
    file->addAction(mnuopenproject);
    file->addSeparator();
    file->addAction(mnusaveproject);
    file->addSeparator();
    QMenu* lwmSource = named(file->addMenu(QStringLiteral("LWMSource")), "mnulwmsource");
    lwmSource->addAction(mnucreatelwmsource);
    lwmSource->addAction(mnuviewlwmsource);
    QMenu* vtpSource = named(file->addMenu(QStringLiteral("VTPSource")), "mnuvtpsource");
    vtpSource->addAction(mnucreatevtpsource);
    vtpSource->addAction(mnuviewvtpsource);
    file->addSeparator();
    file->addAction(mnuworkingfolder);
    file->addSeparator();
    for (QAction* recent : mnurecent) file->addAction(recent);
    file->addSeparator();
    file->addAction(mnuexit);

    mnuspace = named(bar->addAction(QStringLiteral("|")), "mnuspace");
    mnuspace->setEnabled(false);

    QMenu* help = named(bar->addMenu(QStringLiteral("&Help")), "mnuhelp");
    help->addAction(mnuquickstart);
    help->addAction(mnuhelptutorial);
    help->addSeparator();
    help->addAction(mnulwmtutorial);
    help->addAction(mnumenu);
    help->addSeparator();
    help->addAction(mnuabout);

    // Menus are windows of their own and do not take the window's font.
    for (QMenu* menu : {file, lwmSource, vtpSource, help}) menu->setFont(font());
}

void MainWindow::connectEvents() {
    connect(cmdcalculate, &QPushButton::clicked, this, &MainWindow::cmdcalculate_Click);
    connect(cmdload, &QPushButton::clicked, this, &MainWindow::cmdload_Click);
    connect(Picture1, &PictureView::mouseMoved, this, &MainWindow::Picture1_MouseMove);
    connect(Picture1, &PictureView::mousePressed, this, &MainWindow::Picture1_MouseDown);
    connect(cmdlwmclearlistitem, &QPushButton::clicked, this,
            &MainWindow::cmdlwmclearlistitem_Click);
    connect(cmdvtpclearitem, &QPushButton::clicked, this, &MainWindow::cmdvtpclearitem_Click);
    connect(cmdclearlwmlist, &QPushButton::clicked, this, &MainWindow::cmdclearlwmlist_Click);
    connect(cmdclearvtplist, &QPushButton::clicked, this, &MainWindow::cmdclearvtplist_Click);
    // A double click anywhere on a list asks for a line, below the last line
    // too, where it is added at the end when no line is selected.
    lstLWM->viewport()->installEventFilter(this);
    lstVTP->viewport()->installEventFilter(this);
    connect(cmdlwm, &QPushButton::clicked, this, &MainWindow::cmdlwm_Click);
    connect(cmdvtp, &QPushButton::clicked, this, &MainWindow::cmdvtp_Click);

    // Typing anywhere (the combo boxes' own line edits included) may leave
    // unsaved work.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, &MainWindow::noteChange);
    connect(txtcomments, &QPlainTextEdit::textChanged, this, &MainWindow::noteChange);
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             Option1, Option2, Option3, Option4, chklwmnodata, chkvtpnodata})
        connect(button, &QAbstractButton::toggled, this, &MainWindow::noteChange);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::commitData);
}

// ---- Fields and state ----------------------------------------------------

void MainWindow::readFields() {
    qm4::ProjectState& s = state_;
    s.txtprojectname = text(txtprojectname);
    s.txtauthorname = text(txtauthorname);
    s.txtcomments = plainText(txtcomments).toStdString();
    s.txtlatdeg = text(txtlatdeg);
    s.txtlatmin = text(txtlatmin);
    s.txtlongdeg = text(txtlongdeg);
    s.txtlongmin = text(txtlongmin);
    s.txtcellx = text(txtcellx);
    s.txtcelly = text(txtcelly);
    s.txtareax = text(txtareax);
    s.txtareay = text(txtareay);
    s.Option1 = Option1->isChecked();
    s.Option2 = Option2->isChecked();
    s.txtaltitude = text(txtaltitude);
    s.Option3 = Option3->isChecked();
    s.Option4 = Option4->isChecked();
    s.cbolandclass = cbolandclass->currentText().toStdString();
    s.cbovtptype = cbovtptype->currentText().toStdString();
    s.txtvtplinewidth = text(txtvtplinewidth);
    s.cbolayer = cbolayer->currentText().toStdString();
    s.txtlwmnumber = text(txtlwmnumber);
    s.txtvtpnumber = text(txtvtpnumber);
    s.chklwmnodata = chklwmnodata->isChecked();
    s.chkvtpnodata = chkvtpnodata->isChecked();
    s.lstLWM.selected = selectedRow(lstLWM);
    s.lstVTP.selected = selectedRow(lstVTP);
}

void MainWindow::writeFields() {
    // Filling the form is no change of the user's; the handler that fills it
    // says so itself once the form is whole again.
    const QScopedValueRollback<bool> filling(showing_, true);
    const qm4::ProjectState& s = state_;
    showValue(txtprojectname, s.txtprojectname);
    showValue(txtauthorname, s.txtauthorname);
    showValue(txtcomments, s.txtcomments);
    showValue(txtlatdeg, s.txtlatdeg);
    showValue(txtlatmin, s.txtlatmin);
    showValue(txtlongdeg, s.txtlongdeg);
    showValue(txtlongmin, s.txtlongmin);
    showValue(lbllatdd, s.lbllatdd);
    showValue(lbllongdd, s.lbllongdd);
    showValue(lblcellx, s.lblcellx);
    showValue(lblcelly, s.lblcelly);
    showValue(lblareax, s.lblareax);
    showValue(lblareay, s.lblareay);
    showValue(txtcellx, s.txtcellx);
    showValue(txtcelly, s.txtcelly);
    showValue(txtareax, s.txtareax);
    showValue(txtareay, s.txtareay);
    showPair(Option1, s.Option1, Option2, s.Option2);
    showValue(txtaltitude, s.txtaltitude);
    showPair(Option3, s.Option3, Option4, s.Option4);
    showValue(cbolandclass, s.cbolandclass);
    showValue(cbovtptype, s.cbovtptype);
    showValue(txtvtplinewidth, s.txtvtplinewidth);
    showValue(cbolayer, s.cbolayer);
    showValue(txtlwmnumber, s.txtlwmnumber);
    showValue(txtvtpnumber, s.txtvtpnumber);
    showCounterColour(txtlwmnumber, s.lwmnumberColour);
    showCounterColour(txtvtpnumber, s.vtpnumberColour);
    chklwmnodata->setChecked(s.chklwmnodata);
    chkvtpnodata->setChecked(s.chkvtpnodata);
    showValue(lblx, s.lblx);
    showValue(lbly, s.lbly);
    showValue(lblvtp2x, s.lblvtp2x);
    showValue(lblvtp2y, s.lblvtp2y);
}

void MainWindow::showCounterColour(QLineEdit* counter, qm4::CounterColour colour) {
    QColor shown = palette().color(QPalette::Text);
    if (colour == qm4::CounterColour::Red) shown = kCounterRed;
    if (colour == qm4::CounterColour::Black) shown = kCounterBlack;
    if (counter->palette().color(QPalette::Text) != shown) paintText(counter, shown);
}

void MainWindow::appendNewLines(const ListSide& side, std::size_t appended) {
    const std::vector<std::string>& lines = (state_.*side.lines).lines;
    for (std::size_t i = lines.size() - appended; i < lines.size(); ++i)
        side.list->addItem(qs(lines[i]));
}

void MainWindow::showSelection(const ListSide& side) {
    const int selected = (state_.*side.lines).selected;
    if (selected < 0)
        side.list->clearSelection();
    else
        side.list->setCurrentRow(selected);
}

std::string MainWindow::programFolder() const { return services_->programFolder().toStdString(); }

void MainWindow::showError(const QString& what, const std::string& cause) {
    services_->showMessage(this, QMessageBox::Warning, kTitle,
                           what + QStringLiteral("\n\n") + qs(cause));
}

// ---- Calculation and picture ---------------------------------------------

void MainWindow::cmdcalculate_Click() {
    readFields();
    qm4::calculate(state_);
    writeFields();
    noteChange();
}

void MainWindow::cmdload_Click() {
    const QString path = services_->openFileName(this, QString(), kPictureFilter, QString());
    if (path.isEmpty()) return;
    const QImage picture = loadPicture(path);
    if (picture.isNull()) return;
    Picture1->setPicture(picture);
    picturePath_ = path;
    noteChange();
}

qm4::FillXYErrorHandler MainWindow::showFillXYError() {
    return [this](const qm4::FillXYError& error) {
        services_->showMessage(this, QMessageBox::Critical, qs(error.title), qs(error.message));
    };
}

void MainWindow::Picture1_MouseMove(QPointF position, QSizeF clientSize) {
    readFields();
    qm4::Picture1_MouseMove(
        state_, static_cast<float>(position.x()), static_cast<float>(position.y()),
        qm4::ClientSize{clientSize.width(), clientSize.height()}, showFillXYError());
    writeFields();
}

void MainWindow::Picture1_MouseDown(QPointF position, QSizeF clientSize) {
    readFields();
    const qm4::PressResult appended = qm4::Picture1_MouseDown(
        state_, static_cast<float>(position.x()), static_cast<float>(position.y()),
        qm4::ClientSize{clientSize.width(), clientSize.height()}, showFillXYError());
    appendNewLines(lwmSide_, appended.lwmAppended);
    appendNewLines(vtpSide_, appended.vtpAppended);
    writeFields();
    noteChange();
}

// ---- List editing --------------------------------------------------------

void MainWindow::cmdlwmclearlistitem_Click() { removeSelected(lwmSide_); }
void MainWindow::cmdvtpclearitem_Click() { removeSelected(vtpSide_); }
void MainWindow::cmdclearlwmlist_Click() { clearList(lwmSide_); }
void MainWindow::cmdclearvtplist_Click() { clearList(vtpSide_); }
void MainWindow::lstLWM_DblClick() { insertLine(lwmSide_); }
void MainWindow::lstVTP_DblClick() { insertLine(vtpSide_); }

void MainWindow::removeSelected(const ListSide& side) {
    readFields();
    qm4::PointList& list = state_.*side.lines;
    const int selected = list.selected;
    const std::size_t before = list.lines.size();
    qm4::xListRemoveSelected(list);
    if (list.lines.size() < before) delete side.list->takeItem(selected);
    showSelection(side);
    noteChange();
}

void MainWindow::clearList(const ListSide& side) {
    readFields();
    qm4::clearList(state_.*side.lines, state_.*side.counterText);
    side.list->clear();
    writeFields();
    noteChange();
}

void MainWindow::insertLine(const ListSide& side) {
    readFields();
    const QString reply =
        services_->inputText(this, kTitle, QString::fromLatin1(qm4::kInsertPrompt));
    qm4::PointList& list = state_.*side.lines;
    const int selected = list.selected;
    const std::size_t before = list.lines.size();
    qm4::insertBeforeSelected(list, reply.toStdString());
    if (list.lines.size() == before) return;
    side.list->insertItem(selected < 0 ? side.list->count() : selected, reply);
    showSelection(side);
    noteChange();
}

// ---- Source files --------------------------------------------------------

void MainWindow::cmdlwm_Click() { createSource(true); }
void MainWindow::mnucreatelwmsource_Click() { createSource(true); }
void MainWindow::cmdvtp_Click() { createSource(false); }
void MainWindow::mnucreatevtpsource_Click() { createSource(false); }

void MainWindow::createSource(bool lwm) {
    readFields();
    const std::string folder = ensuredWorkingFolder().toStdString();
    const qm4::Status written =
        lwm ? qm4::createlwm(state_, folder) : qm4::createvtp(state_, folder);
    if (!written)
        showError(QStringLiteral("%1 could not be written.")
                      .arg(lwm ? QStringLiteral("LWMSource.asm") : QStringLiteral("VTPSource.asm")),
                  written.error().message);
}

void MainWindow::mnuviewlwmsource_Click() { ViewLWM(); }
void MainWindow::mnuviewvtpsource_Click() { ViewVTP(); }

void MainWindow::ViewLWM() {
    viewSource(qm4::LwmSourcePath(workingFolder().toStdString()), qm4::kLwmMissingMessage);
}

void MainWindow::ViewVTP() {
    viewSource(qm4::VtpSourcePath(workingFolder().toStdString()), qm4::kVtpMissingMessage);
}

void MainWindow::viewSource(const std::string& path, const char* missingMessage) {
    if (!qm4::isRegularFile(path)) {
        services_->showMessage(this, QMessageBox::Warning, kTitle,
                               QString::fromLatin1(missingMessage));
        return;
    }
#ifdef Q_OS_WIN
    QStringList command = QProcess::splitCommand(qs(qm4::windowsEditorCommandLine(
        services_->environmentVariable(QStringLiteral("windir")).toStdString(), path)));
    const QString program = command.takeFirst();
    const bool started = services_->startDetached(program, command);
#else
    const qm4::EditorCommand command = qm4::linuxEditorCommand(path);
    const bool started = services_->startDetached(qs(command.program), qsList(command.arguments));
#endif
    if (!started)
        services_->showMessage(
            this, QMessageBox::Warning, kTitle,
            QStringLiteral("The text editor could not be started to show %1.").arg(qs(path)));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == lstLWM->viewport()) {
            lstLWM_DblClick();
            return true;
        }
        if (watched == lstVTP->viewport()) {
            lstVTP_DblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Help and About ------------------------------------------------------

void MainWindow::mnuquickstart_Click() { openHelpDocument("QuickStart.htm"); }
void MainWindow::mnuhelptutorial_Click() { openHelpDocument("Help.htm"); }
void MainWindow::mnulwmtutorial_Click() { openHelpDocument("lwmtutor.htm"); }
void MainWindow::mnumenu_Click() { openHelpDocument("menu.htm"); }

// Beside the program in a build or a self-contained folder, in the data
// folder (share/quillmap4) when installed.
void MainWindow::openHelpDocument(const char* name) {
    std::string folder = qm4::joinPath(programFolder(), "htmfiles");
    if (!QFileInfo(qs(folder)).isDir()) {
        for (const QString& data : services_->dataFolders()) {
            const std::string installed =
                qm4::joinPath(qm4::joinPath(data.toStdString(), "quillmap4"), "htmfiles");
            if (QFileInfo(qs(installed)).isDir()) {
                folder = installed;
                break;
            }
        }
    }
    OpenFile(qs(qm4::joinPath(folder, name)));
}

void MainWindow::OpenFile(const QString& FileName) { services_->openDocument(FileName); }

void MainWindow::mnuabout_Click() {
    if (!about_) about_ = std::make_unique<AboutBox>(*services_);
    about_->show();
    about_->raise();
    about_->activateWindow();
}
