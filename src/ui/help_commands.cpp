// The help documents and the About box.
#include "ui/help_commands.h"

#include <QDir>
#include <QFileInfo>

#include "textio/text_file.h"
#include "ui/about_box.h"
#include "ui/platform_services.h"
#include "ui/window_common.h"

HelpCommands::HelpCommands(PlatformServices& services, QWidget& window)
    : QObject(&window), services_(services), window_(window) {}

HelpCommands::~HelpCommands() = default;

void HelpCommands::openHelpDocument(const char* name) {
    std::string folder = qm4::joinPath(services_.programFolder().toStdString(), "htmfiles");
    if (!QFileInfo(qs(folder)).isDir()) {
        for (const QString& data : services_.dataFolders()) {
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

void HelpCommands::OpenFile(const QString& FileName) {
    const QString shown = QDir::toNativeSeparators(FileName);
    if (!QFileInfo(FileName).isFile())
        services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                              tr("The help document %1 is not there.").arg(shown));
    else if (!services_.openDocument(FileName))
        services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                              tr("No program could open the help document %1.").arg(shown));
}

void HelpCommands::about() {
    if (!about_) about_ = std::make_unique<AboutBox>(services_);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void HelpCommands::closeWindows() {
    if (about_) about_->close();
}
