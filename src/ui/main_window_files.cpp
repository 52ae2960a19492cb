// The main window's file commands and what keeps an author's work safe:
// saving and opening a project with its points, the source files and their
// viewing, the working folder, recent projects, the question about unsaved
// work, and the recovery file.
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QProcess>
#include <QSessionManager>
#include <QStatusBar>

#include "capture/list_editing.h"
#include "project/points_file.h"
#include "project/recovery_file.h"
#include "source/source_writers.h"
#include "source/view_source.h"
#include "textio/text_file.h"
#include "ui/about_box.h"
#include "ui/compiler.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/session_recovery.h"

namespace {
#ifndef Q_OS_WIN
QStringList qsList(const std::vector<std::string>& values) {
    QStringList list;
    for (const std::string& value : values) list << qs(value);
    return list;
}
#endif

const QString kWorkingFolderKey = QStringLiteral("workingFolder");
const QString kRecentKey = QStringLiteral("recentProjects");
constexpr std::size_t kMaxRecoveryBytes = 256u << 20;
}  // namespace

// ---- Unsaved work --------------------------------------------------------

QString MainWindow::caption() const { return captionText_ + QStringLiteral("[*]"); }

void MainWindow::noteChange() {
    if (showing_) return;
    readFields();
    followTraceArea();
    showAreaEdges();
    clearFilledWarnings();
    setWindowModified(!qm4::sameSavedContent(state_, saved_) || picturePath_ != savedPicture_);
    if (!recoveryTimer_.isActive()) recoveryTimer_.start();
}

void MainWindow::markSaved() {
    saved_ = state_;
    savedPicture_ = picturePath_;
    setWindowTitle(caption());
    setWindowModified(false);
    undoStack_.setClean();
    recoveryTimer_.stop();
    recovery_->clear();
}

bool MainWindow::maybeSave() {
    noteChange();
    if (!isWindowModified()) return true;
    const QMessageBox::StandardButton answer = services_->ask(
        this, kTitle,
        QStringLiteral("The project has changes that are not saved. Save them first?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return saveProject();
    return answer == QMessageBox::Discard;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!sessionAnswered_ && !maybeSave()) {
        event->ignore();
        return;
    }
    recoveryTimer_.stop();
    recovery_->clear();
    // The About box has no owner, so it would keep the program running.
    if (about_) about_->close();
    if (compilerOutput_) compilerOutput_->close();
    event->accept();
}

// The desktop session is ending: ask now, while the user can still answer.
// Without a chance to ask, the recovery file stays and brings the work back
// at the next start.
void MainWindow::commitData(QSessionManager& manager) {
    noteChange();
    if (!isWindowModified()) return;
    if (!manager.allowsInteraction()) {
        writeRecovery();
        recovery_->keep();
        sessionAnswered_ = true;
        return;
    }
    const bool proceed = maybeSave();
    manager.release();
    if (proceed)
        sessionAnswered_ = true;
    else
        manager.cancel();
}

void MainWindow::writeRecovery() {
    if (!isWindowModified()) {
        recovery_->clear();
        return;
    }
    const qm4::Status written = recovery_->write(
        qm4::recoveryFileText(state_, picturePath_.toStdString(), captionText_.toStdString()));
    if (!written)
        statusBar()->showMessage(
            QStringLiteral("Work in progress could not be kept for recovery: ") +
            qs(written.error().message));
}

bool MainWindow::offerRecovery() {
    for (SessionRecovery::Orphan& orphan : SessionRecovery::orphans(services_->recoveryFolder())) {
        const auto bytes = qm4::readFileBytes(orphan.path.toStdString(), kMaxRecoveryBytes);
        auto session = bytes ? qm4::parseRecoveryFile(*bytes)
                             : qm4::Expected<qm4::RecoveredSession>(bytes.error());
        if (!session) {
            services_->showMessage(this, QMessageBox::Warning, kTitle,
                                   QStringLiteral("The work of a session that ended unexpectedly "
                                                  "cannot be restored; its recovery file is "
                                                  "damaged and has been removed.\n\n") +
                                       qs(session.error().message));
            orphan.discard();
            continue;
        }
        const QString project = session.value().state.txtprojectname.empty()
                                    ? QStringLiteral("a project without a name")
                                    : QStringLiteral("the project \"%1\"")
                                          .arg(qs(session.value().state.txtprojectname));
        const QMessageBox::StandardButton answer = services_->ask(
            this, kTitle,
            QStringLiteral("Restore the work of a session that ended unexpectedly?\n\nIt holds "
                           "%1, last changed %2.")
                .arg(project, QLocale().toString(QFileInfo(orphan.path).lastModified(),
                                                 QLocale::ShortFormat)),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            orphan.discard();
            continue;
        }
        state_ = std::move(session.value().state);
        showLists();
        writeFields();
        showPicture(qs(session.value().picture));
        captionText_ = qs(session.value().caption);
        setWindowTitle(caption());
        orphan.discard();
        noteChange();
        return true;
    }
    return false;
}

// ---- Projects ------------------------------------------------------------

void MainWindow::mnusaveproject_Click() { saveProject(); }

bool MainWindow::saveProject() {
    readFields();
    // A project opened or saved before goes back where it came from.
    const QString proposal =
        projectPath_.isEmpty()
            ? qs(qm4::ProjectFilePath(ensuredWorkingFolder().toStdString(), state_))
            : projectPath_;
    const QString accepted = services_->saveFileName(
        this, QStringLiteral("Save Quillmap Project As"), kProjectFilter, proposal);
    if (accepted.isEmpty()) return false;
    const std::string path = qm4::withProjectExtension(accepted.toStdString());
    const qm4::Status written = qm4::saveProject(path, state_, picturePath_.toStdString());
    if (!written) {
        showError(QStringLiteral("The project could not be saved."), written.error().message);
        return false;
    }
    // The caption names the project only once its file is really there.
    captionText_ = kCaptionWithProject + qs(state_.txtprojectname);
    projectPath_ = QDir::toNativeSeparators(qs(path));
    markSaved();
    rememberRecent(qs(path));
    return true;
}

void MainWindow::mnuopenproject_Click() {
    if (!maybeSave()) return;
    const QString path = services_->openFileName(this, QStringLiteral("Open Quillmap Project"),
                                                 {kProjectFilter}, ensuredWorkingFolder());
    if (!path.isEmpty()) openProjectFile(path);
}

bool MainWindow::openProject(const QString& path) { return maybeSave() && openProjectFile(path); }

bool MainWindow::openProjectFile(const QString& path) {
    readFields();
    const auto picture = qm4::openProject(path.toStdString(), state_);
    if (!picture) {
        showError(QStringLiteral("The project could not be opened."), picture.error().message);
        return false;
    }
    showLists();
    writeFields();
    showPicture(qs(*picture));
    captionText_ = kCaptionWithProject + qs(state_.txtprojectname);
    projectPath_ = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    markSaved();
    rememberRecent(path);
    return true;
}

// After an open or a restore: the lists anew, the trace with them, and no
// steps to undo into the project that was there before.
void MainWindow::showLists() {
    for (const ListSide* side : {&lwmSide_, &vtpSide_}) {
        QStringList lines;
        for (const std::string& line : (state_.*side->lines).lines) lines << qs(line);
        side->list->clear();
        side->list->addItems(lines);
    }
    showTrace();
    undoStack_.clear();
}

void MainWindow::showPicture(const QString& path) {
    picturePath_ = path;
    const QImage picture = path.isEmpty() ? QImage() : loadPicture(path);
    if (picture.isNull()) {
        Picture1->clearPicture();
        if (!path.isEmpty())
            statusBar()->showMessage(
                QStringLiteral("The picture %1 could not be read; the view stays empty.")
                    .arg(QDir::toNativeSeparators(path)));
        return;
    }
    Picture1->setPicture(picture);
}

void MainWindow::mnuexit_Click() { close(); }

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    openProject(urls.first().toLocalFile());
}

// ---- Source files
// ----------------------------------------------------------------------------------------------------------

void MainWindow::cmdlwm_Click() { createSource(true); }
void MainWindow::mnucreatelwmsource_Click() { createSource(true); }
void MainWindow::cmdvtp_Click() { createSource(false); }
void MainWindow::mnucreatevtpsource_Click() { createSource(false); }

bool MainWindow::createSource(bool lwm) {
    readFields();
    const std::string folder = ensuredWorkingFolder().toStdString();
    const auto written = lwm ? qm4::createlwm(state_, folder) : qm4::createvtp(state_, folder);
    const std::string path = lwm ? qm4::LwmSourcePath(folder) : qm4::VtpSourcePath(folder);
    if (!written) {
        showError(QStringLiteral("%1 could not be written.")
                      .arg(lwm ? QStringLiteral("LWMSource.asm") : QStringLiteral("VTPSource.asm")),
                  written.error().message);
        return false;
    }
    QString report = QStringLiteral("Wrote %1 (%2 lines).").arg(qs(path)).arg(*written);
    QStringList captions;
    for (const std::string& name : qm4::fieldsTheCompilerNeeds(state_, lwm)) {
        compilerWarnings_.at(name)->setVisible(true);
        const QString caption = fieldCaption(name);
        if (!captions.contains(caption)) captions << caption;
    }
    if (!captions.isEmpty())
        report += QStringLiteral(
                      " The compiler needs these fields, which are empty or not "
                      "numbers: ") +
                  captions.join(QStringLiteral(", ")) + QLatin1Char('.');
    report += counterNote(lwm);
    statusBar()->showMessage(report);
    return true;
}

// " LWM Lines/Points says 11; the list holds 10 points." after a report, with
// the warning sign on the counter, when the source declares another number of
// points than it holds.
QString MainWindow::counterNote(bool lwm) {
    const auto mismatch = qm4::counterMismatch(state_, lwm);
    if (!mismatch) return QString();
    compilerWarnings_.at(lwm ? "txtlwmnumber" : "txtvtpnumber")->setVisible(true);
    return QLatin1Char(' ') + qs(*mismatch) + QLatin1Char('.');
}

// A warning sign goes once its field is filled.
void MainWindow::clearFilledWarnings() {
    std::vector<std::string> missing = qm4::fieldsTheCompilerNeeds(state_, true);
    for (const std::string& name : qm4::fieldsTheCompilerNeeds(state_, false))
        missing.push_back(name);
    for (const bool lwm : {true, false})
        if (qm4::counterMismatch(state_, lwm))
            missing.push_back(lwm ? "txtlwmnumber" : "txtvtpnumber");
    for (const auto& [name, warning] : compilerWarnings_)
        if (std::find(missing.begin(), missing.end(), name) == missing.end())
            warning->setVisible(false);
}

QString MainWindow::fieldCaption(const std::string& name) {
    static const std::map<std::string, QString> captions = {
        {"txtcellx", QStringLiteral("Cell")},
        {"txtcelly", QStringLiteral("Cell")},
        {"txtareax", QStringLiteral("Area")},
        {"txtareay", QStringLiteral("Area")},
        {"txtaltitude", QStringLiteral("Altitude Adjustment")},
        {"cbovtptype", QStringLiteral("Select or type Road/Line/Shoreline or Poly")},
        {"txtvtplinewidth", QStringLiteral("Road/Line/shoreline Width (only)")},
        {"cbolayer", QStringLiteral("Select Line/Poly Layer")}};
    return captions.at(name);
}

void MainWindow::mnuviewlwmsource_Click() { ViewLWM(); }
void MainWindow::mnuviewvtpsource_Click() { ViewVTP(); }

void MainWindow::ViewLWM() {
    viewSource(qm4::LwmSourcePath(workingFolder().toStdString()), qm4::kLwmMissingMessage);
}

void MainWindow::ViewVTP() {
    viewSource(qm4::VtpSourcePath(workingFolder().toStdString()), qm4::kVtpMissingMessage);
}

void MainWindow::viewSource(const std::string& path, const char* missingMessage) {
    if (!qm4::isRegularFile(path)) {
        services_->showMessage(this, QMessageBox::Warning, kTitle,
                               QString::fromLatin1(missingMessage));
        return;
    }
#ifdef Q_OS_WIN
    QStringList command = QProcess::splitCommand(qs(qm4::windowsEditorCommandLine(
        services_->environmentVariable(QStringLiteral("windir")).toStdString(), path)));
    const QString program = command.takeFirst();
    const bool started = services_->startDetached(program, command);
#else
    const qm4::EditorCommand command = qm4::linuxEditorCommand(path);
    const bool started = services_->startDetached(qs(command.program), qsList(command.arguments));
#endif
    if (!started)
        services_->showMessage(
            this, QMessageBox::Warning, kTitle,
            QStringLiteral("The text editor could not be started to show %1.").arg(qs(path)));
}

// ---- Working folder and recent projects ----------------------------------

QString MainWindow::workingFolder() const {
    const QString chosen = services_->settings().value(kWorkingFolderKey).toString();
    if (!chosen.isEmpty() && QFileInfo(chosen).isDir()) return QDir::toNativeSeparators(chosen);
    const QString program = services_->programFolder();
    if (folderTakesFiles(program)) return program;
    return QDir::toNativeSeparators(
        QDir(services_->documentsFolder()).filePath(QStringLiteral("Quillmap4")));
}

// The working folder, made when it is not there yet (the documents folder's
// Quillmap4 on first use). Should that fail, writing there reports why.
QString MainWindow::ensuredWorkingFolder() {
    const QString folder = workingFolder();
    QDir().mkpath(folder);
    showWorkingFolder();
    return folder;
}

void MainWindow::showWorkingFolder() {
    workingFolderLabel_->setText(QStringLiteral("Working folder: ") + workingFolder());
}

void MainWindow::mnuworkingfolder_Click() {
    const QString chosen =
        services_->existingFolder(this, QStringLiteral("Working Folder"), workingFolder());
    if (chosen.isEmpty()) return;
    services_->settings().setValue(kWorkingFolderKey, chosen);
    showWorkingFolder();
}

// Each file once, however it was reached (a link, "..", another spelling).
void MainWindow::rememberRecent(const QString& path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    const QString absolute =
        QDir::toNativeSeparators(canonical.isEmpty() ? file.absoluteFilePath() : canonical);
    QStringList recent = services_->settings().value(kRecentKey).toStringList();
    recent.removeIf([&](const QString& entry) {
        const QString known = QFileInfo(entry).canonicalFilePath();
        return entry == absolute || (!known.isEmpty() && known == canonical);
    });
    recent.prepend(absolute);
    while (recent.size() > static_cast<qsizetype>(mnurecent.size())) recent.removeLast();
    services_->settings().setValue(kRecentKey, recent);
    showRecent();
}

void MainWindow::showRecent() {
    const QStringList recent = services_->settings().value(kRecentKey).toStringList();
    for (std::size_t i = 0; i < mnurecent.size(); ++i) {
        const auto at = static_cast<qsizetype>(i);
        mnurecent[i]->setVisible(at < recent.size());
        if (at >= recent.size()) continue;
        // Two projects of the same name are told apart by their folders.
        const QFileInfo file(recent[at]);
        QString shown = file.fileName();
        const auto sameName = [&](const QString& other) {
            return QFileInfo(other).fileName() == shown;
        };
        if (std::count_if(recent.begin(), recent.end(), sameName) > 1)
            shown += QStringLiteral("  (%1)").arg(QDir::toNativeSeparators(file.path()));
        mnurecent[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"))));
        mnurecent[i]->setToolTip(recent[at]);
    }
}

void MainWindow::mnurecent_Click(int index) {
    QStringList recent = services_->settings().value(kRecentKey).toStringList();
    if (index >= recent.size()) return;
    const QString path = recent[index];
    if (!QFileInfo(path).isFile()) {
        services_->showMessage(this, QMessageBox::Warning, kTitle,
                               QStringLiteral("The project %1 is no longer there.").arg(path));
        recent.removeAt(index);
        services_->settings().setValue(kRecentKey, recent);
        showRecent();
        return;
    }
    openProject(path);
}
