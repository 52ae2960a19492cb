// Opening and saving projects with their points, the recent list, the
// working folder, the unsaved-work question and the recovery file.
#include "ui/project_files.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QSessionManager>

#include "project/points_file.h"
#include "project/project_file.h"
#include "project/recovery_file.h"
#include "textio/text_file.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/session_recovery.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

namespace {
const QString kRecentKey = QStringLiteral("recentProjects");
constexpr std::size_t kMaxRecoveryBytes = 256u << 20;
}  // namespace

ProjectFiles::ProjectFiles(PlatformServices& services, ProjectDocument& document,
                           WorkingFolder& folder, QWidget& window)
    : QObject(&window),
      services_(services),
      document_(document),
      folder_(folder),
      window_(window),
      recovery_(std::make_unique<SessionRecovery>(services.recoveryFolder())) {
    // The recovery file is at most a second behind the work.
    recoveryTimer_.setSingleShot(true);
    recoveryTimer_.setInterval(1000);
    connect(&recoveryTimer_, &QTimer::timeout, this, &ProjectFiles::writeRecovery);
    connect(&document_, &ProjectDocument::changed, this, [this] {
        if (!recoveryTimer_.isActive()) recoveryTimer_.start();
    });
    connect(qApp, &QGuiApplication::commitDataRequest, this, &ProjectFiles::commitData);
}

ProjectFiles::~ProjectFiles() = default;

void ProjectFiles::showError(const QString& what, const std::string& cause) {
    services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                          what + QStringLiteral("\n\n") + qs(cause));
}

// ---- Unsaved work --------------------------------------------------------

bool ProjectFiles::maybeSave() {
    if (!document_.isModified()) return true;
    const QMessageBox::StandardButton answer = services_.ask(
        &window_, kTitle, tr("The project has changes that are not saved. Save them first?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return save();
    return answer == QMessageBox::Discard;
}

bool ProjectFiles::mayClose() {
    if (!sessionAnswered_ && !maybeSave()) return false;
    recoveryTimer_.stop();
    recovery_->clear();
    return true;
}

// The desktop session is ending: ask now, while the user can still answer.
// Without a chance to ask, the recovery file stays and brings the work back
// at the next start.
void ProjectFiles::commitData(QSessionManager& manager) {
    if (!document_.isModified()) return;
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

void ProjectFiles::writeRecovery() {
    if (!document_.isModified()) {
        recovery_->clear();
        return;
    }
    // The picture goes with the area it shows: while the cut of a new area
    // is under way, none.
    const qm4::Status written = recovery_->write(
        qm4::recoveryFileText(document_.state(), document_.consistentPicture().toStdString(),
                              document_.caption().toStdString()));
    if (!written)
        document_.report(tr("Work in progress could not be kept for recovery: ") +
                         qs(written.error().message));
}

bool ProjectFiles::offerRecovery() {
    for (SessionRecovery::Orphan& orphan : SessionRecovery::orphans(services_.recoveryFolder())) {
        const auto bytes = qm4::readFileBytes(orphan.path.toStdString(), kMaxRecoveryBytes);
        auto session = bytes ? qm4::parseRecoveryFile(*bytes)
                             : qm4::Expected<qm4::RecoveredSession>(bytes.error());
        if (!session) {
            services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                                  tr("The work of a session that ended unexpectedly cannot be "
                                     "restored; its recovery file is damaged and has been "
                                     "removed.\n\n") +
                                      qs(session.error().message));
            orphan.discard();
            continue;
        }
        const std::string& name = session.value().state.txtprojectname;
        const QString project =
            name.empty() ? tr("a project without a name") : tr("the project \"%1\"").arg(qs(name));
        const QMessageBox::StandardButton answer = services_.ask(
            &window_, kTitle,
            tr("Restore the work of a session that ended unexpectedly?\n\nIt holds %1, last "
               "changed %2.")
                .arg(project, QLocale().toString(QFileInfo(orphan.path).lastModified(),
                                                 QLocale::ShortFormat)),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            orphan.discard();
            continue;
        }
        document_.replace(std::move(session.value().state), qs(session.value().picture),
                          qs(session.value().caption), QString());
        orphan.discard();
        return true;
    }
    return false;
}

// ---- Projects ------------------------------------------------------------

bool ProjectFiles::save() {
    // A project opened or saved before goes back where it came from.
    const QString proposal =
        document_.projectPath().isEmpty()
            ? qs(qm4::ProjectFilePath(folder_.ensure().toStdString(), document_.state()))
            : document_.projectPath();
    const QString accepted =
        services_.saveFileName(&window_, tr("Save Quillmap Project As"), kProjectFilter, proposal);
    if (accepted.isEmpty()) return false;
    const std::string path = qm4::withProjectExtension(accepted.toStdString());
    const qm4::Status written =
        qm4::saveProject(path, document_.state(), document_.picturePath().toStdString());
    if (!written) {
        showError(tr("The project could not be saved."), written.error().message);
        return false;
    }
    document_.markSaved(qs(path));
    recoveryTimer_.stop();
    recovery_->clear();
    rememberRecent(qs(path));
    document_.report(tr("Saved %1.").arg(QDir::toNativeSeparators(qs(path))));
    return true;
}

bool ProjectFiles::saveFirst() {
    return maybeSave() && (!document_.projectPath().isEmpty() || save());
}

void ProjectFiles::newProject() {
    if (!maybeSave()) return;
    document_.clear();
    recoveryTimer_.stop();
    recovery_->clear();
}

void ProjectFiles::open() {
    if (!maybeSave()) return;
    // The next project is most often beside the open one (a batch's neighbour).
    const QString current = document_.projectPath();
    const QString path =
        services_.openFileName(&window_, tr("Open Quillmap Project"), {kProjectFilter},
                               current.isEmpty() ? folder_.ensure() : QFileInfo(current).path());
    if (!path.isEmpty()) openFile(path);
}

bool ProjectFiles::openProject(const QString& path) { return maybeSave() && openFile(path); }

bool ProjectFiles::openFile(const QString& path) {
    qm4::ProjectState state = document_.state();
    const auto picture = qm4::openProject(path.toStdString(), state);
    if (!picture) {
        showError(tr("The project could not be opened."), picture.error().message);
        return false;
    }
    document_.replace(std::move(state), qs(*picture), document_.caption(), QString());
    document_.markSaved(QFileInfo(path).absoluteFilePath());
    recoveryTimer_.stop();
    recovery_->clear();
    rememberRecent(path);
    return true;
}

void ProjectFiles::chooseWorkingFolder() {
    const QString chosen = services_.existingFolder(&window_, tr("Working Folder"), folder_.path());
    if (!chosen.isEmpty()) folder_.choose(chosen);
}

// ---- Recent projects -------------------------------------------------------

void ProjectFiles::setRecentEntries(const std::array<QAction*, 4>& entries) {
    recent_ = entries;
    for (std::size_t i = 0; i < recent_.size(); ++i)
        connect(recent_[i], &QAction::triggered, this,
                [this, i] { openRecent(static_cast<int>(i)); });
    showRecent();
}

// Each file once, however it was reached (a link, "..", another spelling).
void ProjectFiles::rememberRecent(const QString& path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    const QString absolute =
        QDir::toNativeSeparators(canonical.isEmpty() ? file.absoluteFilePath() : canonical);
    QStringList recent = services_.settings().value(kRecentKey).toStringList();
    recent.removeIf([&](const QString& entry) {
        const QString known = QFileInfo(entry).canonicalFilePath();
        return entry == absolute || (!known.isEmpty() && known == canonical);
    });
    recent.prepend(absolute);
    while (recent.size() > static_cast<qsizetype>(recent_.size())) recent.removeLast();
    services_.settings().setValue(kRecentKey, recent);
    showRecent();
}

void ProjectFiles::showRecent() {
    const QStringList recent = services_.settings().value(kRecentKey).toStringList();
    for (std::size_t i = 0; i < recent_.size(); ++i) {
        const auto at = static_cast<qsizetype>(i);
        recent_[i]->setVisible(at < recent.size());
        if (at >= recent.size()) continue;
        // Two projects of the same name are told apart by their folders.
        const QFileInfo file(recent[at]);
        QString shown = file.fileName();
        const auto sameName = [&](const QString& other) {
            return QFileInfo(other).fileName() == file.fileName();
        };
        if (std::count_if(recent.begin(), recent.end(), sameName) > 1)
            shown += QStringLiteral("  (%1)").arg(QDir::toNativeSeparators(file.path()));
        recent_[i]->setText(
            QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace(u'&', QStringLiteral("&&"))));
        recent_[i]->setToolTip(recent[at]);
    }
}

void ProjectFiles::openRecent(int index) {
    QStringList recent = services_.settings().value(kRecentKey).toStringList();
    if (index >= recent.size()) return;
    const QString path = recent[index];
    if (!QFileInfo(path).isFile()) {
        services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                              tr("The project %1 is no longer there.").arg(path));
        recent.removeAt(index);
        services_.settings().setValue(kRecentKey, recent);
        showRecent();
        return;
    }
    openProject(path);
}
