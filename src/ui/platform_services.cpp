// The real desktop behind PlatformServices: Qt's dialogs, detached
// processes, the desktop's document viewer and the executable's folder.
#include "ui/platform_services.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

DesktopServices::DesktopServices()
    : registry_(systemRegistry()),
      settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Quillmap4"),
                                            QStringLiteral("Quillmap4"))) {}

DesktopServices::~DesktopServices() = default;

void DesktopServices::showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                  const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString DesktopServices::inputText(QWidget* parent, const QString& title, const QString& prompt,
                                   const QString& proposal) {
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(proposal);
    // A long prompt wraps, so the box and its buttons fit a small screen.
    if (auto* label = box.findChild<QLabel*>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(std::min(440, label->fontMetrics().horizontalAdvance(prompt)));
    }
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

QMessageBox::StandardButton DesktopServices::ask(QWidget* parent, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    // Every answer has its access key, whatever the platform's own texts.
    for (const auto& [button, caption] : {std::pair{QMessageBox::Save, QT_TR_NOOP("&Save")},
                                          {QMessageBox::Discard, QT_TR_NOOP("&Discard")},
                                          {QMessageBox::Cancel, QT_TR_NOOP("&Cancel")},
                                          {QMessageBox::Yes, QT_TR_NOOP("&Yes")},
                                          {QMessageBox::No, QT_TR_NOOP("&No")}})
        if (QAbstractButton* shown = box.button(button)) shown->setText(QMessageBox::tr(caption));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString DesktopServices::openFileName(QWidget* parent, const QString& title,
                                      const QList<FileFilter>& filters, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, title, folder, qtNameFilter(filters), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString DesktopServices::saveFileName(QWidget* parent, const QString& title,
                                      const FileFilter& filter, const QString& proposedPath) {
    // A project is replaced without a question, so the dialog asks none either.
    return QFileDialog::getSaveFileName(
        parent, title, proposedPath, qtNameFilter({filter}), nullptr,
        QFileDialog::HideNameFilterDetails | QFileDialog::DontConfirmOverwrite);
}

QString DesktopServices::existingFolder(QWidget* parent, const QString& title,
                                        const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

bool DesktopServices::startDetached(const QString& program, const QStringList& arguments) {
    const QString resolved = QStandardPaths::findExecutable(program);
    const QString& toStart = resolved.isEmpty() ? program : resolved;
    if (!QFileInfo(toStart).isFile()) return false;
    return QProcess::startDetached(toStart, arguments);
}

bool DesktopServices::openDocument(const QString& path) {
#ifdef Q_OS_WIN
    return QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#else
    const std::optional<DocumentOpener> opener = documentOpener(
        path, QFileInfo(path).isFile(), QStandardPaths::findExecutable(QStringLiteral("xdg-open")));
    return opener && QProcess::startDetached(opener->program, opener->arguments);
#endif
}

QString DesktopServices::programFolder() const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString DesktopServices::geoHelperProgram() const {
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("quillmap4-geo.exe");
#else
    const QString name = QStringLiteral("quillmap4-geo");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

QString DesktopServices::documentsFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString DesktopServices::recoveryFolder() const {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quillmap4");
#else
    // The XDG state folder: what a program keeps between runs that is neither
    // the user's documents nor settings.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quillmap4");
#endif
}

QStringList DesktopServices::dataFolders() const {
    return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
}

QSettings& DesktopServices::settings() { return *settings_; }

QString DesktopServices::environmentVariable(const QString& name) const {
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

RegistryReader& DesktopServices::registry() { return *registry_; }

QString qtNameFilter(const QList<FileFilter>& filters) {
    QStringList entries;
    for (const FileFilter& filter : filters) {
        QString patterns = filter.patterns;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << filter.description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString systemInformationTool(const QStringList& dataFolders) {
    for (const char* name : {"kinfocenter", "gnome-system-monitor", "hardinfo"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty()) return found;
    }
    for (const QString& folder : dataFolders) {
        const QDir entries(folder + QStringLiteral("/applications"));
        for (const QString& name : entries.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
            QFile file(entries.filePath(name));
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
            QString categories, exec;
            for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
                if (line.startsWith(QStringLiteral("Categories="))) categories = line.mid(11);
                if (line.startsWith(QStringLiteral("Exec=")))
                    exec = line.mid(5).section(u' ', 0, 0);
            }
            const QStringList kinds = categories.split(u';');
            if (!kinds.contains(QStringLiteral("System")) ||
                !kinds.contains(QStringLiteral("Monitor")))
                continue;
            const QString found = QStandardPaths::findExecutable(exec);
            if (!found.isEmpty()) return found;
        }
    }
    return {};
}

std::optional<DocumentOpener> documentOpener(const QString& documentPath, bool documentExists,
                                             const QString& xdgOpenPath) {
    if (!documentExists || xdgOpenPath.isEmpty()) return std::nullopt;
    return DocumentOpener{xdgOpenPath, {documentPath}};
}

bool folderTakesFiles(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable()) return false;
    constexpr QFile::Permissions kAnyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(info.permissions() & kAnyWrite)) return false;
#ifdef Q_OS_WIN
    return true;
#else
    const QString canonical = info.canonicalFilePath() + QLatin1Char('/');
    return !canonical.startsWith(QStringLiteral("/usr/"));
#endif
}
