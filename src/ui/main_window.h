// frmmain: the main window. It assembles the platform services, the project
// document, one view per tab, the capture tool and the controllers, creates
// the menus once and owns the status bar. The work happens elsewhere: in the
// document's verbs and the controllers' commands.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "model/project_state.h"

class BatchProjects;
class DrawTab;
class EditCommands;
class FormBinding;
class GeneralTab;
class HelpCommands;
class MakeProjects;
class PictureCommands;
class PlatformServices;
class ProjectDocument;
class ProjectFiles;
class QAction;
class QLabel;
class QMenu;
class RegionMap;
class ShapeCommands;
class SourceCommands;
class WorkingFolder;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // The real desktop; the program folder is the executable's folder.
    MainWindow();
    explicit MainWindow(std::unique_ptr<PlatformServices> services);
    ~MainWindow() override;

    const qm4::ProjectState& state() const;
    // Where sources and projects go.
    QString workingFolder() const;
    // Opens a project file after the question about unsaved work; false when
    // nothing was opened.
    bool openProject(const QString& path);
    // Offers back the work of a session that ended unexpectedly; true when
    // it was restored.
    bool offerRecovery();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createViews();
    void createControllers();
    void createActions();
    void createMenus();
    void connectViews();
    // View > Region Map; the map is made when it first opens.
    void showRegionMap(bool shown);
    QAction* action(const char* name, const QString& caption, const QKeySequence& keys = {});

    std::unique_ptr<PlatformServices> services_;
    ProjectDocument* document_ = nullptr;
    WorkingFolder* folder_ = nullptr;
    GeneralTab* generalTab_ = nullptr;
    DrawTab* drawTab_ = nullptr;
    FormBinding* binding_ = nullptr;
    ProjectFiles* files_ = nullptr;
    SourceCommands* sources_ = nullptr;
    ShapeCommands* shapes_ = nullptr;
    EditCommands* edits_ = nullptr;
    PictureCommands* pictures_ = nullptr;
    HelpCommands* help_ = nullptr;
    RegionMap* region_ = nullptr;
    BatchProjects* batch_ = nullptr;
    MakeProjects* makeProjects_ = nullptr;
    QLabel* workingFolderLabel_ = nullptr;
    QLabel* tracedAreaLabel_ = nullptr;
    std::array<QAction*, 4> recent_{};
};
