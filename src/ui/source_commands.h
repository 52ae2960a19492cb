// The sources: Create Source, View, Compile with the SDK's compiler and the
// copy of its .bgl into the scenery folder, Preferences, and the warning
// signs of the fields the compiler needs.
#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <string>
#include <vector>

class CompilerOutputWindow;
class PlatformServices;
class PreferencesDialog;
class ProjectDocument;
class QAction;
class QWidget;
class WorkingFolder;

// "The compiler needs these fields, which are empty or not numbers: Altitude
// Adjustment, Select Line/Poly Layer.", the fields by their captions.
QString compilerNeedsText(const std::vector<std::string>& fields);

class SourceCommands : public QObject {
  public:
    // The warning signs are the window's actions named "warn" and a field's
    // name.
    SourceCommands(PlatformServices& services, ProjectDocument& document, WorkingFolder& folder,
                   QWidget& window);

    // Writes a source and reports it; false when it could not be written,
    // which a message has said.
    bool create(bool lwm);
    void view(bool lwm);
    void compile(bool lwm);
    void showPreferences(const QString& note = QString());
    // The compiler's output window goes with the main window.
    void closeWindows();

  private:
    QString counterNote(bool lwm);
    void hideFilledWarnings();
    void copyToScenery(const QString& bgl, const QString& sceneryFolder, bool lwm,
                       const QString& report);
    void showError(const QString& what, const std::string& cause);

    PlatformServices& services_;
    ProjectDocument& document_;
    WorkingFolder& folder_;
    QWidget& window_;
    std::map<std::string, QAction*> warnings_;        // by field name
    PreferencesDialog* preferences_ = nullptr;        // made when first shown
    CompilerOutputWindow* compilerOutput_ = nullptr;  // made when first shown
};
