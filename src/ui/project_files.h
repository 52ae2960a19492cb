// Project files and what keeps an author's work safe: Open, Save, the recent
// projects, the working folder, the question about unsaved work, and the
// recovery file of a session that ends unexpectedly.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

class PlatformServices;
class ProjectDocument;
class QAction;
class QSessionManager;
class QWidget;
class SessionRecovery;
class WorkingFolder;

class ProjectFiles : public QObject {
  public:
    ProjectFiles(PlatformServices& services, ProjectDocument& document, WorkingFolder& folder,
                 QWidget& window);
    ~ProjectFiles() override;

    // File > Recent: the entries this controller names and shows.
    void setRecentEntries(const std::array<QAction*, 4>& entries);

    // File > New, after the question about unsaved work.
    void newProject();
    void open();
    // Opens a project file (with its points, when it has them) after the
    // question about unsaved work; false when nothing was opened.
    bool openProject(const QString& path);
    void openRecent(int index);
    bool save();
    // Before a command that works from the saved project: the question
    // about unsaved work, and a project never saved is saved. False when
    // the author cancels or there is no saved project to work from.
    bool saveFirst();
    void chooseWorkingFolder();
    // Offers back the work of a session that ended unexpectedly, if there is
    // any; true when it was restored.
    bool offerRecovery();
    // The window is closing: false when the author keeps it open. A window
    // that closes leaves no recovery file.
    bool mayClose();

  private:
    bool maybeSave();
    bool openFile(const QString& path);
    void writeRecovery();
    void commitData(QSessionManager& manager);
    void rememberRecent(const QString& path);
    void showRecent();
    void showError(const QString& what, const std::string& cause);

    PlatformServices& services_;
    ProjectDocument& document_;
    WorkingFolder& folder_;
    QWidget& window_;
    std::array<QAction*, 4> recent_{};
    bool sessionAnswered_ = false;
    QTimer recoveryTimer_;
    std::unique_ptr<SessionRecovery> recovery_;
};
