// Where sources and projects go: the folder chosen with Working Folder, else
// the program folder when it can take files, else Quillmap4 in the
// documents folder.
#pragma once

#include <QObject>
#include <QString>

class PlatformServices;

class WorkingFolder : public QObject {
    Q_OBJECT
  public:
    WorkingFolder(PlatformServices& services, QObject* parent);

    QString path() const;
    // The folder, made when it is not there yet (the documents folder's
    // Quillmap4 on first use). Should that fail, writing there says why.
    QString ensure();
    void choose(const QString& folder);

  signals:
    // The folder may be another one now.
    void changed(const QString& path);

  private:
    PlatformServices& services_;
};
