// Everything the window asks of the desktop: message and input boxes, file
// dialogs, starting programs, handing documents to the desktop, the registry,
// the program folder and the environment. The window gets one of these at
// construction; tests hand it a fake that records calls and answers dialogs.
#pragma once

#include <memory>
#include <optional>

#include <QMessageBox>
#include <QSettings>
#include <QString>
#include <QStringList>

#include "ui/registry.h"

class QWidget;

// One entry of a file dialog's filter: the text the user sees and the
// patterns, separated by ";" ("*.bmp;*.jpg;*.gif").
struct FileFilter {
    QString description;
    QString patterns;
};

class PlatformServices {
  public:
    virtual ~PlatformServices() = default;

    // A modal box with one OK button.
    virtual void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                             const QString& text) = 0;

    // A modal input box with OK and Cancel, its reply field holding proposal;
    // Cancel gives the empty text.
    virtual QString inputText(QWidget* parent, const QString& title, const QString& prompt,
                              const QString& proposal) = 0;

    // A modal question; the button the user chose, the escape button when
    // the box was closed.
    virtual QMessageBox::StandardButton ask(QWidget* parent, const QString& title,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) = 0;

    // File dialogs; cancelling gives the empty text. An empty title leaves the
    // dialog's own. The open dialog starts in folder (the dialog's own choice
    // when empty); the save dialog proposes proposedPath, a folder and name.
    virtual QString openFileName(QWidget* parent, const QString& title,
                                 const QList<FileFilter>& filters, const QString& folder) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const FileFilter& filter,
                                 const QString& proposedPath) = 0;
    virtual QString existingFolder(QWidget* parent, const QString& title,
                                   const QString& folder) = 0;

    // Starts a program without waiting for it; false when it could not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;

    // Hands a document to the desktop's viewer; false when no program could
    // be started to show it.
    virtual bool openDocument(const QString& path) = 0;

    virtual QString programFolder() const = 0;
    // The GIS helper, quillmap4-geo, installed beside the program.
    virtual QString geoHelperProgram() const = 0;
    // The user's documents folder, where the working folder goes when the
    // program folder cannot take files.
    virtual QString documentsFolder() const = 0;
    // Where a running window keeps its recovery file.
    virtual QString recoveryFolder() const = 0;
    // The folders installed data is looked for in, most important first.
    virtual QStringList dataFolders() const = 0;
    virtual QSettings& settings() = 0;
    virtual QString environmentVariable(const QString& name) const = 0;
    virtual RegistryReader& registry() = 0;
};

// The real desktop: Qt's dialogs and message boxes, detached processes, the
// folder of the executable.
class DesktopServices : public PlatformServices {
  public:
    DesktopServices();
    ~DesktopServices() override;

    void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                     const QString& text) override;
    QString inputText(QWidget* parent, const QString& title, const QString& prompt,
                      const QString& proposal) override;
    QMessageBox::StandardButton ask(QWidget* parent, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override;
    QString openFileName(QWidget* parent, const QString& title, const QList<FileFilter>& filters,
                         const QString& folder) override;
    QString saveFileName(QWidget* parent, const QString& title, const FileFilter& filter,
                         const QString& proposedPath) override;
    QString existingFolder(QWidget* parent, const QString& title, const QString& folder) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool openDocument(const QString& path) override;
    QString programFolder() const override;
    QString geoHelperProgram() const override;
    QString documentsFolder() const override;
    QString recoveryFolder() const override;
    QStringList dataFolders() const override;
    QSettings& settings() override;
    QString environmentVariable(const QString& name) const override;
    RegistryReader& registry() override;

  private:
    std::unique_ptr<RegistryReader> registry_;
    std::unique_ptr<QSettings> settings_;
};

// Whether a folder can take the program's files: it exists, the user may
// write to it and its permissions leave someone a write right. A folder of
// installed system software (under /usr) never counts, not even for root.
bool folderTakesFiles(const QString& folder);

// The filter text for Qt's dialogs: Qt separates patterns by blanks, so the
// patterns are repeated in that form after the description, and the dialog
// is told to hide that repeated part. Several entries are joined by ";;".
QString qtNameFilter(const QList<FileFilter>& filters);

// A system information tool where there is no registry to name one: the
// first of kinfocenter, gnome-system-monitor and hardinfo on PATH, else the
// first program that a desktop entry under dataFolders/applications files
// under System and Monitor. Empty when there is none.
QString systemInformationTool(const QStringList& dataFolders);

// How a help document is handed to the desktop where there is no shell
// "open" verb: the viewer program with the document as its one argument.
// Nothing when the document or the viewer is missing, so that nothing at all
// happens then.
struct DocumentOpener {
    QString program;
    QStringList arguments;
};
std::optional<DocumentOpener> documentOpener(const QString& documentPath, bool documentExists,
                                             const QString& xdgOpenPath);
