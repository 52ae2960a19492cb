// The working folder, remembered in the settings.
#include "ui/working_folder.h"

#include <QDir>
#include <QFileInfo>

#include "ui/platform_services.h"

namespace {
const QString kWorkingFolderKey = QStringLiteral("workingFolder");
}  // namespace

WorkingFolder::WorkingFolder(PlatformServices& services, QObject* parent)
    : QObject(parent), services_(services) {}

// An install's folder of programs, which holds no one's work even where it
// may be written to: a "bin", or one with the installed data beside it.
bool installedProgramFolder(const QString& folder) {
    return QDir(folder).dirName() == QLatin1String("bin") ||
           QFileInfo(folder + QStringLiteral("/../share/quillmap4")).isDir();
}

QString WorkingFolder::path() const {
    const QString chosen = services_.settings().value(kWorkingFolderKey).toString();
    if (!chosen.isEmpty() && QFileInfo(chosen).isDir()) return QDir::toNativeSeparators(chosen);
    const QString program = services_.programFolder();
    if (folderTakesFiles(program) && !installedProgramFolder(program)) return program;
    return QDir::toNativeSeparators(
        QDir(services_.documentsFolder()).filePath(QStringLiteral("Quillmap4")));
}

QString WorkingFolder::ensure() {
    const QString folder = path();
    QDir().mkpath(folder);
    emit changed(folder);
    return folder;
}

void WorkingFolder::choose(const QString& folder) {
    services_.settings().setValue(kWorkingFolderKey, folder);
    emit changed(path());
}
