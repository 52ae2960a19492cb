// The working folder, remembered in the settings.
#include "ui/working_folder.h"

#include <QDir>
#include <QFileInfo>

#include "ui/platform_services.h"

namespace {
const QString kWorkingFolderKey = QStringLiteral("workingFolder");
}

WorkingFolder::WorkingFolder(PlatformServices& services, QObject* parent)
    : QObject(parent), services_(services) {}

QString WorkingFolder::path() const {
    const QString chosen = services_.settings().value(kWorkingFolderKey).toString();
    if (!chosen.isEmpty() && QFileInfo(chosen).isDir()) return QDir::toNativeSeparators(chosen);
    const QString program = services_.programFolder();
    if (folderTakesFiles(program)) return program;
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
