// frmAbout: the program's title, version, description and disclaimer, with
// OK and "&System Info...". It is shown without an owner window, so the main
// window stays usable while it is open.
#pragma once

#include <QDialog>
#include <QIcon>

class PlatformServices;

// The program's icon in every size it ships with.
QIcon applicationIcon();

// "Version " and the major, minor and patch numbers of this build.
QString versionText();

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(PlatformServices& services);

    // Finds and starts the system information tool, or says that it is
    // unavailable.
    void StartSysInfo();

  private:
    PlatformServices& services_;
};
