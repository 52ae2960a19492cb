// The main window: the views, the document and the controllers put
// together, the menus, and the status bar.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>

#include "ui/about_box.h"
#include "ui/batch_projects.h"
#include "ui/capture_tool.h"
#include "ui/draw_tab.h"
#include "ui/edit_commands.h"
#include "ui/form_binding.h"
#include "ui/form_widgets.h"
#include "ui/general_tab.h"
#include "ui/geo_helper.h"
#include "ui/help_commands.h"
#include "ui/lwm_vtp_tab.h"
#include "ui/make_projects.h"
#include "ui/picture_commands.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/point_list_panel.h"
#include "ui/project_document.h"
#include "ui/project_files.h"
#include "ui/region_map.h"
#include "ui/shape_commands.h"
#include "ui/source_commands.h"
#include "ui/status_line.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

namespace {
const QString kGeometryKey = QStringLiteral("window/geometry");
// The region map draws the outlines of the file a shape was last imported from.
const QString kImportedKey = QStringLiteral("gis/lastImportedFile");
}  // namespace

MainWindow::MainWindow() : MainWindow(std::make_unique<DesktopServices>()) {}

MainWindow::MainWindow(std::unique_ptr<PlatformServices> services)
    : services_(std::move(services)) {
    setObjectName(QStringLiteral("frmmain"));
    setAcceptDrops(true);
    setWindowIcon(applicationIcon());
    const QFont formFont(formFontFamily());
    setFont(formFont);
    // Every line edit lays out its first (empty) text in the application's
    // font before it takes the window's. Building the window with the form's
    // font as the application's spares loading the system font, which nothing
    // in this window shows, until a dialog needs it.
    const auto restoreFont = qScopeGuard(
        [applicationFont = QApplication::font()] { QApplication::setFont(applicationFont); });
    QApplication::setFont(formFont);
    document_ = new ProjectDocument(this);
    folder_ = new WorkingFolder(*services_, this);
    createViews();
    createControllers();
    createActions();
    createMenus();
    connectViews();
    binding_->show();
    setWindowTitle(document_->caption() + QStringLiteral("[*]"));
    // The window comes back where and as large as the author left it. A first
    // start opens it just large enough to show every tab whole; small screens
    // (or large scale factors) get a window that fits, and the tabs scroll.
    setMinimumSize(480, 360);
    if (!restoreGeometry(services_->settings().value(kGeometryKey).toByteArray()))
        resize(sizeHint().boundedTo(screen()->availableGeometry().size() * 0.95));
}

MainWindow::~MainWindow() = default;

const qm4::ProjectState& MainWindow::state() const { return document_->state(); }
QString MainWindow::workingFolder() const { return folder_->path(); }
bool MainWindow::openProject(const QString& path) { return files_->openProject(path); }
bool MainWindow::offerRecovery() { return files_->offerRecovery(); }

void MainWindow::createViews() {
    // Each view is made inside its page, so that its widgets take the form's
    // font as they are made rather than change to it afterwards.
    auto* tabs = named(new QTabWidget(this), "SSTab1");
    QScrollArea* page = scrolled(tabs);
    generalTab_ = new GeneralTab(page);
    tabs->addTab(scrolled(page, generalTab_), tr("&General / Location"));
    page = scrolled(tabs);
    tabs->addTab(scrolled(page, new LwmVtpTab(page)), tr(" L&WM / VTP"));
    page = scrolled(tabs);
    drawTab_ = new DrawTab(page);
    tabs->addTab(scrolled(page, drawTab_), tr("&Draw Data Points"));
    setCentralWidget(tabs);
    new CaptureTool(*document_, *drawTab_->picture());
    binding_ = new FormBinding(*this, *document_);
    setStatusBar(new StatusLine(this));
    tracedAreaLabel_ = named(new QLabel(this), "lbltracedarea");
    tracedAreaLabel_->hide();
    statusBar()->addPermanentWidget(tracedAreaLabel_);
    workingFolderLabel_ = named(new QLabel(this), "lblworkingfolder");
    statusBar()->addPermanentWidget(workingFolderLabel_);
}

void MainWindow::createControllers() {
    files_ = new ProjectFiles(*services_, *document_, *folder_, *this);
    sources_ = new SourceCommands(*services_, *document_, *folder_, *this);
    // The helper may stay silent this long before it counts as hung.
    auto* helper = new GeoHelper(
        [this] { return services_->geoHelperProgram(); },
        [this] {
            return services_->settings().value(QStringLiteral("gis/timeLimitSeconds"), 60).toInt() *
                   1000;
        },
        this);
    shapes_ =
        new ShapeCommands(*services_, *document_, *folder_, *helper, *drawTab_->picture(), *this);
    edits_ = new EditCommands(*services_, *document_, *this);
    pictures_ =
        new PictureCommands(*services_, *document_, *folder_, *edits_, *helper, *drawTab_, *this);
    help_ = new HelpCommands(*services_, *this);
    batch_ = new BatchProjects(
        *document_, [this](const QString& project) { return files_->openProject(project); }, this);
    makeProjects_ = new MakeProjects(*services_, *document_, *files_, *batch_, *this);
    shapes_->setImportedHook([this](const QString& file) {
        services_->settings().setValue(kImportedKey, file);
        if (region_) region_->setOutlineFile(file);
    });
}

QAction* MainWindow::action(const char* name, const QString& caption, const QKeySequence& keys) {
    auto* entry = named(new QAction(caption, this), name);
    if (!keys.isEmpty()) entry->setShortcut(keys);
    return entry;
}

void MainWindow::createActions() {
    const auto on = [this](QAction* entry, auto slot) {
        connect(entry, &QAction::triggered, this, slot);
    };
    on(action("mnunewproject", tr("&New Project"), QKeySequence::New),
       [this] { files_->newProject(); });
    on(action("mnuopenproject", tr("&Open Project"), QKeySequence::Open),
       [this] { files_->open(); });
    on(action("mnusaveproject", tr("&Save Project"), QKeySequence::Save),
       [this] { files_->save(); });
    on(action("mnuimportshape", tr("&Import Shape...")), [this] { shapes_->importShape(); });
    on(action("mnuexporttrace", tr("&Export Trace...")), [this] { shapes_->exportTrace(); });
    on(action("mnuloadimagery", tr("Load &Picture from Imagery...")),
       [this] { pictures_->loadImagery(); });
    for (const bool lwm : {true, false}) {
        const QByteArray side = lwm ? "lwm" : "vtp";
        const QString file = lwm ? QStringLiteral("LWMSource") : QStringLiteral("VTPSource");
        on(action("mnucreate" + side + "source", tr("&Create %1.asm").arg(file)),
           [this, lwm] { sources_->create(lwm); });
        on(action("mnuview" + side + "source", tr("&View %1").arg(file)),
           [this, lwm] { sources_->view(lwm); });
        on(action("mnucompile" + side + "source", tr("Com&pile %1").arg(file)),
           [this, lwm] { sources_->compile(lwm); });
    }
    on(action("mnuworkingfolder", tr("&Working Folder...")),
       [this] { files_->chooseWorkingFolder(); });
    for (std::size_t i = 0; i < recent_.size(); ++i)
        recent_[i] = action(QByteArray("mnurecent" + QByteArray::number(int(i) + 1)), QString());
    files_->setRecentEntries(recent_);
    on(action("mnuexit", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q)), [this] { close(); });

    QAction* undo = named(document_->undoStack().createUndoAction(this, tr("&Undo")), "mnuundo");
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = named(document_->undoStack().createRedoAction(this, tr("&Redo")), "mnuredo");
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    on(action("mnurecount", tr("Re&count Points")), [this] { document_->recountPoints(); });
    on(action("mnupasteposition", tr("&Paste Position"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)),
       [this] { edits_->pastePosition(); });
    on(action("mnugotoposition", tr("&Go to Position...")), [this] { edits_->goToPosition(); });
    on(action("mnupreferences", tr("Pr&eferences...")), [this] { sources_->showPreferences(); });

    QAction* trace = action("mnushowtrace", tr("Show &Trace"));
    trace->setCheckable(true);
    trace->setChecked(true);
    connect(trace, &QAction::toggled, drawTab_->picture(), &PictureView::setTraceVisible);
    QAction* zoomIn = action("mnuzoomin", tr("Zoom &In"));
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    on(zoomIn, [this] { pictures_->zoomBy(1); });
    QAction* zoomOut = action("mnuzoomout", tr("Zoom &Out"), QKeySequence::ZoomOut);
    on(zoomOut, [this] { pictures_->zoomBy(-1); });
    on(action("mnuzoomactual", tr("&Actual Size"), QKeySequence(Qt::CTRL | Qt::Key_0)),
       [this] { pictures_->actualSize(); });
    QAction* fit = action("mnuzoomfit", tr("&Fit to Window"));
    fit->setCheckable(true);
    pictures_->setZoomEntries(zoomIn, zoomOut, fit);
    connect(fit, &QAction::toggled, this, [this](bool on) { pictures_->setFitToWindow(on); });
    for (const auto& [name, caption, key, dx, dy] :
         {std::tuple{"mnugonorth", tr("Go &North"), Qt::Key_Up, 0, -1},
          {"mnugosouth", tr("Go &South"), Qt::Key_Down, 0, 1},
          {"mnugowest", tr("Go &West"), Qt::Key_Left, -1, 0},
          {"mnugoeast", tr("Go &East"), Qt::Key_Right, 1, 0}})
        on(action(name, caption, QKeySequence(Qt::ALT | key)),
           [this, step = QString(caption).remove(u'&'), dx = dx, dy = dy] {
               // Inside a batch the next area's work is the project it wrote there.
               if (!batch_->openNeighbour(dx, dy)) pictures_->goToNeighbour(dx, dy, step);
           });

    QAction* map = action("mnuregionmap", tr("&Region Map"), QKeySequence(Qt::CTRL | Qt::Key_M));
    map->setCheckable(true);
    connect(map, &QAction::toggled, this, &MainWindow::showRegionMap);
    on(action("mnumakeprojects", tr("&Make Projects for Selection...")), [this] {
        makeProjects_->run(region_ ? region_->selectedAreas() : std::vector<qm4::AreaNumbers>());
    });

    for (const auto& [name, caption, document] :
         {std::tuple{"mnuquickstart", tr("&Quick Start Guide"), "QuickStart.htm"},
          {"mnuhelptutorial", tr("Quillmap &Help Tutorial"), "Help.htm"},
          {"mnulwmtutorial", tr("Orvell's  LWM &Tutorial"), "lwmtutor.htm"},
          {"mnumenu", tr("&Menu and User Information"), "menu.htm"}})
        on(action(name, caption),
           [this, document = document] { help_->openHelpDocument(document); });
    findChild<QAction*>(QStringLiteral("mnuquickstart"))->setShortcut(QKeySequence(Qt::Key_F1));
    on(action("mnuabout", tr("&About")), [this] { help_->about(); });
}

void MainWindow::createMenus() {
    const auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (*name == '-')
                menu->addSeparator();
            else
                menu->addAction(findChild<QAction*>(QString::fromLatin1(name)));
        }
        return menu;
    };
    QMenuBar* bar = menuBar();
    QMenu* file = add(named(bar->addMenu(tr("&File")), "mnufile"),
                      {"mnunewproject", "mnuopenproject", "-", "mnusaveproject", "-",
                       "mnuimportshape", "mnuexporttrace", "mnuloadimagery", "-"});
    QMenu* lwmSource = add(named(file->addMenu(tr("&LWMSource")), "mnulwmsource"),
                           {"mnucreatelwmsource", "mnuviewlwmsource", "mnucompilelwmsource"});
    QMenu* vtpSource = add(named(file->addMenu(tr("V&TPSource")), "mnuvtpsource"),
                           {"mnucreatevtpsource", "mnuviewvtpsource", "mnucompilevtpsource"});
    add(file, {"-", "mnuworkingfolder", "-", "mnurecent1", "mnurecent2", "mnurecent3", "mnurecent4",
               "-", "mnuexit"});
    QMenu* edit = add(named(bar->addMenu(tr("&Edit")), "mnuedit"),
                      {"mnuundo", "mnuredo", "-", "mnurecount", "-", "mnupasteposition",
                       "mnugotoposition", "-", "mnupreferences"});
    QMenu* view = add(named(bar->addMenu(tr("&View")), "mnuview"),
                      {"mnushowtrace", "-", "mnuzoomin", "mnuzoomout", "mnuzoomactual",
                       "mnuzoomfit", "-", "mnugonorth", "mnugosouth", "mnugowest", "mnugoeast", "-",
                       "mnuregionmap", "mnumakeprojects"});
    QAction* space = named(bar->addAction(QStringLiteral("|")), "mnuspace");
    space->setEnabled(false);
    QMenu* help = add(
        named(bar->addMenu(tr("&Help")), "mnuhelp"),
        {"mnuquickstart", "mnuhelptutorial", "-", "mnulwmtutorial", "mnumenu", "-", "mnuabout"});
    // Menus are windows of their own and do not take the window's font.
    for (QMenu* menu : {file, lwmSource, vtpSource, edit, view, help}) menu->setFont(font());
}

// Each request of a view goes to the document or the controller that does
// the work; the document's announcements come back to the views.
void MainWindow::connectViews() {
    connect(generalTab_, &GeneralTab::calculateRequested, document_, &ProjectDocument::calculate);
    connect(drawTab_, &DrawTab::loadPictureRequested, pictures_, &PictureCommands::loadPicture);
    for (const auto& [list, panel] :
         {std::pair{LwmList, drawTab_->lwmPanel()}, {VtpList, drawTab_->vtpPanel()}}) {
        connect(panel, &PointListPanel::selected, this,
                [this, list = list](int row) { document_->setSelection(list, row); });
        connect(panel, &PointListPanel::removeRequested, this,
                [this, list = list] { document_->removeSelected(list); });
        connect(panel, &PointListPanel::clearRequested, this,
                [this, list = list] { document_->clearList(list); });
        connect(panel, &PointListPanel::insertRequested, this,
                [this, list = list] { edits_->insertLine(list); });
        connect(panel, &PointListPanel::createRequested, this,
                [this, list = list] { sources_->create(list == LwmList); });
    }
    const auto panelOf = [this](int list) {
        return list == LwmList ? drawTab_->lwmPanel() : drawTab_->vtpPanel();
    };
    connect(document_, &ProjectDocument::linesSpliced, this,
            [panelOf](int list, int at, int removed, const QStringList& inserted) {
                panelOf(list)->splice(at, removed, inserted);
            });
    connect(document_, &ProjectDocument::listsReset, this, [this, panelOf] {
        for (const auto& [list, held] :
             {std::pair{LwmList, &state().lstLWM.lines}, {VtpList, &state().lstVTP.lines}}) {
            QStringList lines;
            for (const std::string& line : *held) lines << qs(line);
            panelOf(list)->reset(lines);
        }
    });
    connect(document_, &ProjectDocument::selectionChanged, this,
            [panelOf](int list, int row) { panelOf(list)->select(row); });
    connect(document_, &ProjectDocument::fieldsChanged, this,
            [this] { generalTab_->showAreaEdges(state()); });
    connect(document_, &ProjectDocument::captionChanged, this,
            [this](const QString& caption) { setWindowTitle(caption + QStringLiteral("[*]")); });
    connect(document_, &ProjectDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(document_, &ProjectDocument::message, this, [this](const QString& text) {
        text.isEmpty() ? statusBar()->clearMessage() : statusBar()->showMessage(text);
    });
    connect(document_, &ProjectDocument::messageWithdrawn, this, [this](const QString& text) {
        if (statusBar()->currentMessage() == text) statusBar()->clearMessage();
    });
    // Away from the area where the points were traced, the status bar says
    // where that was.
    connect(
        document_, &ProjectDocument::tracedElsewhereChanged, this,
        [this](std::optional<qm4::AreaNumbers> area) {
            tracedAreaLabel_->setVisible(area.has_value());
            tracedAreaLabel_->setText(area ? tr("Points traced in ") + areaText(*area) : QString());
        });
    const auto showFolder = [this](const QString& path) {
        workingFolderLabel_->setText(tr("Working folder: ") + path);
    };
    connect(folder_, &WorkingFolder::changed, this, showFolder);
    showFolder(folder_->path());
}

void MainWindow::showRegionMap(bool shown) {
    if (!region_ && !shown) return;
    if (!region_) {
        region_ = new RegionMap(
            *services_, *document_,
            {[this](const qm4::AreaNumbers& area) { pictures_->goToArea(area, tr("Go to Area")); },
             [this](const QString& project) { files_->openProject(project); }},
            *this);
        region_->setOutlineFile(services_->settings().value(kImportedKey).toString());
        const auto showBatch = [this] { region_->showBatch(batch_->areas(), batch_->traces()); };
        showBatch();
        connect(batch_, &BatchProjects::changed, region_, showBatch);
        // Closing the map's window unticks its entry.
        connect(region_->dock()->toggleViewAction(), &QAction::toggled, this,
                [entry = findChild<QAction*>(QStringLiteral("mnuregionmap"))](bool shown) {
                    entry->setChecked(shown);
                });
    }
    region_->dock()->setVisible(shown);
    if (shown) region_->dock()->raise();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!files_->mayClose()) return event->ignore();
    help_->closeWindows();
    sources_->closeWindows();
    services_->settings().setValue(kGeometryKey, saveGeometry());
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    files_->openProject(urls.first().toLocalFile());
}
