// Running the SDK's compiler from the window: its settings as QSettings keeps
// them, one run with a progress dialog, Cancel and a time limit, and the
// window that shows what it wrote.
#pragma once

#include <QString>
#include <QWidget>

#include "source/compile_command.h"

class QPlainTextEdit;
class QSettings;

// Edit > Preferences: where the compiler is, what runs it (on Linux and
// macOS; never on Windows), where copies of its .bgl files go (none when
// empty) and how long it may run.
struct CompilerSettings {
    QString compiler;
    QString runner;
    QString sceneryFolder;
    int limitSeconds = 60;

    static CompilerSettings read(QSettings& settings);
    void write(QSettings& settings) const;
};

// What a run gave: its end and everything the compiler wrote to its output
// and error channels, in the order written.
struct CompilerRun {
    qm4::CompilerEnd end = qm4::CompilerEnd::Finished;
    int exitCode = 0;
    QString output;
};

// Runs the command in folder, not through a shell, while a progress dialog
// over parent offers Cancel. A run that is cancelled or passes limitSeconds
// is stopped with everything it started.
CompilerRun runCompiler(QWidget* parent, const qm4::CompilerCommand& command, const QString& folder,
                        int limitSeconds, const QString& sourceFile);

// frmCompilerOutput: the last run's report and output, read-only, beside the
// main window.
class CompilerOutputWindow : public QWidget {
  public:
    explicit CompilerOutputWindow(QWidget* parent);
    void showText(const QString& text);

  private:
    QPlainTextEdit* txtcompileroutput_;
};
