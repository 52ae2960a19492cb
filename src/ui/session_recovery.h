// The recovery file of a running window, and the recovery files that windows
// which ended unexpectedly left behind. Each window's file has a lock file
// beside it that lives as long as the window's program; a recovery file
// whose lock is stale belongs to a program that is gone.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <string_view>
#include <vector>

#include "model/expected.h"

class SessionRecovery {
  public:
    explicit SessionRecovery(QString folder);
    // Removes this window's recovery file and lock.
    ~SessionRecovery();

    // Replaces the recovery file with bytes; the folder and the lock are made
    // on the first write.
    qm4::Status write(std::string_view bytes);
    // Removes the recovery file: there is nothing left to recover.
    void clear();
    // Leaves the recovery file for the next start, when the program ends
    // without a chance to ask about unsaved work.
    void keep() { kept_ = true; }

    // A recovery file left by a program that is gone, locked for the caller
    // so that no other starting window offers it too. Dropping it without
    // discard() keeps the file for a later start.
    struct Orphan {
        QString path;
        std::unique_ptr<QLockFile> lock;
        void discard();
    };
    // Newest first.
    static std::vector<Orphan> orphans(const QString& folder);

  private:
    QString folder_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool kept_ = false;
};
