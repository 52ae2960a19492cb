// The main window: its construction, menus, the copying of fields between
// the form and the project, and the Help menu. The rooms of the window have
// files of their own: the form of each tab (main_window_forms.cpp), the
// picture panel (main_window_picture.cpp), the list commands and their undo
// (main_window_lists.cpp) and the file commands (main_window_files.cpp).
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>

#include "textio/text_file.h"
#include "ui/about_box.h"
#include "ui/main_window_text.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/session_recovery.h"

namespace {

const QColor kCounterRed(255, 0, 0);
const QColor kCounterBlack(0, 0, 0);

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

}  // namespace

MainWindow::MainWindow() : MainWindow(std::make_unique<DesktopServices>()) {}

MainWindow::MainWindow(std::unique_ptr<PlatformServices> services)
    : services_(std::move(services)), captionText_(kCaption) {
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(caption());
    setAcceptDrops(true);
    setWindowIcon(applicationIcon());
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
    // Small screens (or large scale factors) get a window that fits; the
    // tabs scroll below their full size.
    setMinimumSize(480, 360);
    const QSize available = screen()->availableGeometry().size();
    resize(sizeHint().expandedTo(QSize(920, 600)).boundedTo(available * 0.95));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    const auto action = [this](const char* name, const QString& caption,
                               void (MainWindow::*handler)()) {
        auto* entry = named(new QAction(caption, this), name);
        connect(entry, &QAction::triggered, this, handler);
        return entry;
    };
    mnuopenproject = action("mnuopenproject", QStringLiteral("&Open Project"),
                            &MainWindow::mnuopenproject_Click);
    mnuopenproject->setShortcut(QKeySequence::Open);
    mnusaveproject = action("mnusaveproject", QStringLiteral("&Save Project"),
                            &MainWindow::mnusaveproject_Click);
    mnusaveproject->setShortcut(QKeySequence::Save);
    mnucreatelwmsource = action("mnucreatelwmsource", QStringLiteral("&Create LWMSource.asm"),
                                &MainWindow::mnucreatelwmsource_Click);
    mnuviewlwmsource = action("mnuviewlwmsource", QStringLiteral("&View LWMSource"),
                              &MainWindow::mnuviewlwmsource_Click);
    mnucreatevtpsource = action("mnucreatevtpsource", QStringLiteral("&Create VTPSource.asm"),
                                &MainWindow::mnucreatevtpsource_Click);
    mnuviewvtpsource = action("mnuviewvtpsource", QStringLiteral("&View VTPSource"),
                              &MainWindow::mnuviewvtpsource_Click);
    mnucompilelwmsource = action("mnucompilelwmsource", QStringLiteral("Com&pile LWMSource"),
                                 &MainWindow::mnucompilelwmsource_Click);
    mnucompilevtpsource = action("mnucompilevtpsource", QStringLiteral("Com&pile VTPSource"),
                                 &MainWindow::mnucompilevtpsource_Click);
    mnuexit = action("mnuexit", QStringLiteral("E&xit"), &MainWindow::mnuexit_Click);
    mnuexit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuworkingfolder = action("mnuworkingfolder", QStringLiteral("&Working Folder..."),
                              &MainWindow::mnuworkingfolder_Click);
    mnuimportshape = action("mnuimportshape", QStringLiteral("&Import Shape..."),
                            &MainWindow::mnuimportshape_Click);
    mnuexporttrace = action("mnuexporttrace", QStringLiteral("&Export Trace..."),
                            &MainWindow::mnuexporttrace_Click);
    for (int i = 0; i < static_cast<int>(mnurecent.size()); ++i) {
        const QByteArray name = "mnurecent" + QByteArray::number(i + 1);
        mnurecent[i] = named(new QAction(this), name.constData());
        connect(mnurecent[i], &QAction::triggered, this, [this, i] { mnurecent_Click(i); });
    }
    mnuundo = named(undoStack_.createUndoAction(this, QStringLiteral("&Undo")), "mnuundo");
    mnuundo->setShortcut(QKeySequence::Undo);
    mnuredo = named(undoStack_.createRedoAction(this, QStringLiteral("&Redo")), "mnuredo");
    mnuredo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnurecount =
        action("mnurecount", QStringLiteral("Re&count Points"), &MainWindow::mnurecount_Click);
    mnupasteposition = action("mnupasteposition", QStringLiteral("&Paste Position"),
                              &MainWindow::mnupasteposition_Click);
    mnupasteposition->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    mnugotoposition = action("mnugotoposition", QStringLiteral("&Go to Position..."),
                             &MainWindow::mnugotoposition_Click);
    mnupreferences = action("mnupreferences", QStringLiteral("Pr&eferences..."),
                            &MainWindow::mnupreferences_Click);
    mnushowtrace = named(new QAction(QStringLiteral("Show &Trace"), this), "mnushowtrace");
    mnushowtrace->setCheckable(true);
    mnushowtrace->setChecked(true);
    connect(mnushowtrace, &QAction::toggled, this, &MainWindow::mnushowtrace_Click);
    mnuzoomin = action("mnuzoomin", QStringLiteral("Zoom &In"), &MainWindow::mnuzoomin_Click);
    mnuzoomin->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    mnuzoomout = action("mnuzoomout", QStringLiteral("Zoom &Out"), &MainWindow::mnuzoomout_Click);
    mnuzoomout->setShortcut(QKeySequence::ZoomOut);
    mnuzoomactual =
        action("mnuzoomactual", QStringLiteral("&Actual Size"), &MainWindow::mnuzoomactual_Click);
    mnuzoomactual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    mnuquickstart = action("mnuquickstart", QStringLiteral("&Quick Start Guide"),
                           &MainWindow::mnuquickstart_Click);
    mnuquickstart->setShortcut(QKeySequence(Qt::Key_F1));
    mnuhelptutorial = action("mnuhelptutorial", QStringLiteral("Quillmap &Help Tutorial"),
                             &MainWindow::mnuhelptutorial_Click);
    mnulwmtutorial = action("mnulwmtutorial", QStringLiteral("Orvell's  LWM &Tutorial"),
                            &MainWindow::mnulwmtutorial_Click);
    mnumenu =
        action("mnumenu", QStringLiteral("&Menu and User Information"), &MainWindow::mnumenu_Click);
    mnuabout = action("mnuabout", QStringLiteral("&About"), &MainWindow::mnuabout_Click);

    QMenuBar* bar = menuBar();
    QMenu* file = named(bar->addMenu(QStringLiteral("&File")), "mnufile");
    file->addAction(mnuopenproject);
    file->addSeparator();
    file->addAction(mnusaveproject);
    file->addSeparator();
    file->addAction(mnuimportshape);
    file->addAction(mnuexporttrace);
    file->addSeparator();
    QMenu* lwmSource = named(file->addMenu(QStringLiteral("&LWMSource")), "mnulwmsource");
    lwmSource->addAction(mnucreatelwmsource);
    lwmSource->addAction(mnuviewlwmsource);
    lwmSource->addAction(mnucompilelwmsource);
    QMenu* vtpSource = named(file->addMenu(QStringLiteral("V&TPSource")), "mnuvtpsource");
    vtpSource->addAction(mnucreatevtpsource);
    vtpSource->addAction(mnuviewvtpsource);
    vtpSource->addAction(mnucompilevtpsource);
    file->addSeparator();
    file->addAction(mnuworkingfolder);
    file->addSeparator();
    for (QAction* recent : mnurecent) file->addAction(recent);
    file->addSeparator();
    file->addAction(mnuexit);

    QMenu* edit = named(bar->addMenu(QStringLiteral("&Edit")), "mnuedit");
    edit->addAction(mnuundo);
    edit->addAction(mnuredo);
    edit->addSeparator();
    edit->addAction(mnurecount);
    edit->addSeparator();
    edit->addAction(mnupasteposition);
    edit->addAction(mnugotoposition);
    edit->addSeparator();
    edit->addAction(mnupreferences);

    QMenu* view = named(bar->addMenu(QStringLiteral("&View")), "mnuview");
    view->addAction(mnushowtrace);
    view->addSeparator();
    view->addAction(mnuzoomin);
    view->addAction(mnuzoomout);
    view->addAction(mnuzoomactual);

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
    for (QMenu* menu : {file, lwmSource, vtpSource, edit, view, help}) menu->setFont(font());
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
    for (QListWidget* list : {lstLWM, lstVTP}) {
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
    }
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
    // Selecting a list line marks its point on the picture.
    for (const auto& [list, trace] :
         {std::pair{lstLWM, PictureView::Lwm}, std::pair{lstVTP, PictureView::Vtp}})
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list = list, trace = trace] {
            Picture1->setTraceSelection(trace, selectedRow(list));
        });
    connect(Picture1, &PictureView::mouseLeft, statusBar(), &QStatusBar::clearMessage);
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
    showAreaEdges();
    clearFilledWarnings();
}

void MainWindow::showCounterColour(QLineEdit* counter, qm4::CounterColour colour) {
    QColor shown = palette().color(QPalette::Text);
    if (colour == qm4::CounterColour::Red) shown = kCounterRed;
    if (colour == qm4::CounterColour::Black) shown = kCounterBlack;
    if (counter->palette().color(QPalette::Text) != shown) paintText(counter, shown);
}

std::string MainWindow::programFolder() const { return services_->programFolder().toStdString(); }

void MainWindow::showError(const QString& what, const std::string& cause) {
    services_->showMessage(this, QMessageBox::Warning, kTitle,
                           what + QStringLiteral("\n\n") + qs(cause));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    for (const ListSide* side : {&lwmSide_, &vtpSide_}) {
        if (event->type() == QEvent::MouseButtonDblClick && watched == side->list->viewport()) {
            insertLine(*side);
            return true;
        }
        // Delete removes the selected line; Enter or Insert asks for a line.
        if (event->type() == QEvent::KeyPress && watched == side->list) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Delete) {
                removeSelected(*side);
                return true;
            }
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Insert) {
                insertLine(*side);
                return true;
            }
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

void MainWindow::OpenFile(const QString& FileName) {
    const QString shown = QDir::toNativeSeparators(FileName);
    if (!QFileInfo(FileName).isFile())
        services_->showMessage(this, QMessageBox::Warning, kTitle,
                               QStringLiteral("The help document %1 is not there.").arg(shown));
    else if (!services_->openDocument(FileName))
        services_->showMessage(
            this, QMessageBox::Warning, kTitle,
            QStringLiteral("No program could open the help document %1.").arg(shown));
}

void MainWindow::mnuabout_Click() {
    if (!about_) about_ = std::make_unique<AboutBox>(*services_);
    about_->show();
    about_->raise();
    about_->activateWindow();
}
