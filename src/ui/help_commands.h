// The Help menu: the help documents handed to the desktop, and the About box.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class AboutBox;
class PlatformServices;
class QWidget;

// A folder of the program's data (htmfiles): beside the program in
// a build or a self-contained folder; when installed, in share/quillmap4
// beside the program's bin folder (whatever the prefix), else in the
// system's data folders. The first place when it is nowhere.
QString installedData(const PlatformServices& services, const QString& name);

class HelpCommands : public QObject {
  public:
    HelpCommands(PlatformServices& services, QWidget& window);
    ~HelpCommands() override;

    // A document of htmfiles (see installedData). A missing document or one
    // no program could open is named in a message.
    void openHelpDocument(const char* name);
    void about();
    // The About box has no owner, so it would keep the program running.
    void closeWindows();

  private:
    void OpenFile(const QString& FileName);

    PlatformServices& services_;
    QWidget& window_;
    std::unique_ptr<AboutBox> about_;
};
