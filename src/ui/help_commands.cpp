// The help documents and the About box.
#include "ui/help_commands.h"

#include <QDir>
#include <QFileInfo>

#include "ui/about_box.h"
#include "ui/platform_services.h"
#include "ui/window_common.h"

HelpCommands::HelpCommands(PlatformServices& services, QWidget& window)
    : QObject(&window), services_(services), window_(window) {}

HelpCommands::~HelpCommands() = default;

void HelpCommands::openHelpDocument(const char* name) {
    OpenFile(QDir(installedData(services_, QStringLiteral("htmfiles"))).filePath(qs(name)));
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

QString installedData(const PlatformServices& services, const QString& name) {
    const QString program = services.programFolder();
    QStringList places{QDir(program).filePath(name),
                       QDir::cleanPath(program + QStringLiteral("/../share/quillmap4/") + name)};
    for (const QString& data : services.dataFolders())
        places << QDir(data).filePath(QStringLiteral("quillmap4/") + name);
    for (const QString& place : places)
        if (QFileInfo(place).isDir()) return QDir::toNativeSeparators(place);
    return QDir::toNativeSeparators(places.first());
}
