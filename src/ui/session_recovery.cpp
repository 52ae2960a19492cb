// Recovery files: recovery-<pid>-<start time>.txt with a .lock beside it.
#include "ui/session_recovery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>

#include "textio/text_file.h"

namespace {
const QString kPrefix = QStringLiteral("recovery-");
const QString kSuffix = QStringLiteral(".txt");

QString lockPathOf(const QString& recoveryPath) {
    return recoveryPath.chopped(kSuffix.size()) + QStringLiteral(".lock");
}
}  // namespace

SessionRecovery::SessionRecovery(QString folder)
    : folder_(std::move(folder)),
      // The start time keeps a later program that gets the same process id
      // from taking this file for its own.
      path_(QDir(folder_).filePath(
          kPrefix + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
          QString::number(QDateTime::currentMSecsSinceEpoch()) + kSuffix)) {}

SessionRecovery::~SessionRecovery() {
    clear();
    if (lock_) lock_->unlock();
}

qm4::Status SessionRecovery::write(std::string_view bytes) {
    if (!lock_) {
        if (!QDir().mkpath(folder_))
            return qm4::Error{"Could not make the folder " + folder_.toStdString() + "."};
        lock_ = std::make_unique<QLockFile>(lockPathOf(path_));
        lock_->setStaleLockTime(0);
        if (!lock_->tryLock(0)) {
            lock_.reset();
            return qm4::Error{"Could not lock " + lockPathOf(path_).toStdString() + "."};
        }
    }
    return qm4::writeFileAtomically(path_.toStdString(), bytes);
}

void SessionRecovery::clear() {
    if (lock_ && !kept_) QFile::remove(path_);
}

void SessionRecovery::Orphan::discard() {
    QFile::remove(path);
    lock->unlock();
}

std::vector<SessionRecovery::Orphan> SessionRecovery::orphans(const QString& folder) {
    std::vector<Orphan> found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        auto lock = std::make_unique<QLockFile>(lockPathOf(file.filePath()));
        // Only a lock whose program is gone is stale, however old it is.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) found.push_back({file.filePath(), std::move(lock)});
    }
    return found;
}
