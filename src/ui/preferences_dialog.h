// frmPreferences, Edit > Preferences: the SDK's compiler, the runner in
// front of it, the scenery folder and the compiler's time limit.
#pragma once

#include <QDialog>

class PlatformServices;
class QLabel;
class QLineEdit;

class PreferencesDialog : public QDialog {
  public:
    PreferencesDialog(PlatformServices& services, QWidget* parent);

    // Shows the settings as they are kept, with a note above them when
    // there is one. The dialog blocks the window but not the caller.
    void edit(const QString& note);

    void accept() override;

  private:
    void showCompilerStatus();

    PlatformServices& services_;
    QLabel* lblpreferencesnote;
    QLineEdit* txtcompilerpath;
    QLabel* lblcompilerstatus;
    QLineEdit* txtcompilerrunner = nullptr;  // none on Windows
    QLineEdit* txtsceneryfolder;
    QLineEdit* txtcompilerlimit;
};
