// The compiler's settings, its run under a progress dialog and the window of
// its output.
#include "ui/compiler.h"

#include <QEventLoop>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#include <csignal>
#endif

namespace {
const QString kCompilerKey = QStringLiteral("compiler/path");
const QString kRunnerKey = QStringLiteral("compiler/runner");
const QString kSceneryKey = QStringLiteral("compiler/sceneryFolder");
const QString kLimitKey = QStringLiteral("compiler/limitSeconds");

QStringList qsList(const std::vector<std::string>& values) {
    QStringList list;
    for (const std::string& value : values) list << QString::fromStdString(value);
    return list;
}

// A runner such as wine starts helpers of its own; they go with it.
void stop(QProcess& process) {
#ifdef Q_OS_UNIX
    if (process.processId() > 0) ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
#endif
    process.kill();
    process.waitForFinished(5000);
}
}  // namespace

CompilerSettings CompilerSettings::read(QSettings& settings) {
    CompilerSettings read;
    read.compiler = settings.value(kCompilerKey).toString();
#ifndef Q_OS_WIN
    read.runner = settings.value(kRunnerKey).toString();
#endif
    read.sceneryFolder = settings.value(kSceneryKey).toString();
    bool number = false;
    const int limit = settings.value(kLimitKey).toInt(&number);
    if (number) read.limitSeconds = std::clamp(limit, 1, 3600);
    return read;
}

void CompilerSettings::write(QSettings& settings) const {
    settings.setValue(kCompilerKey, compiler);
    settings.setValue(kRunnerKey, runner);
    settings.setValue(kSceneryKey, sceneryFolder);
    settings.setValue(kLimitKey, limitSeconds);
}

CompilerRun runCompiler(QWidget* parent, const qm4::CompilerCommand& command, const QString& folder,
                        int limitSeconds, const QString& sourceFile) {
    QProcess process;
    process.setProgram(QString::fromStdString(command.program));
    process.setArguments(qsList(command.arguments));
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A compiler that waits for a key gets none and ends.
    process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    // A process group of its own, so that stopping it reaches its children.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    QProgressDialog progress(QObject::tr("Compiling %1...").arg(sourceFile), QObject::tr("&Cancel"),
                             0, 0, parent);
    progress.setObjectName(QStringLiteral("dlgcompiling"));
    progress.setWindowTitle(QStringLiteral("Quillmap4"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);

    CompilerRun run;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    const auto end = [&](qm4::CompilerEnd how) {
        run.end = how;
        loop.quit();
    };
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) end(qm4::CompilerEnd::NotStarted);
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] { end(qm4::CompilerEnd::TimedOut); });
    QObject::connect(&progress, &QProgressDialog::canceled, &loop,
                     [&] { end(qm4::CompilerEnd::Cancelled); });
    process.start();
    limit.start(limitSeconds * 1000);
    progress.show();
    if (process.state() != QProcess::NotRunning) loop.exec();
    progress.hide();
    if (process.state() != QProcess::NotRunning) stop(process);
    run.output = QString::fromLocal8Bit(process.readAll())
                     .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (run.end == qm4::CompilerEnd::NotStarted)
        run.output += process.errorString();
    else if (run.end == qm4::CompilerEnd::Finished && process.exitStatus() == QProcess::CrashExit)
        run.end = qm4::CompilerEnd::Crashed;
    run.exitCode = process.exitCode();
    return run;
}

CompilerOutputWindow::CompilerOutputWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), txtcompileroutput_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmCompilerOutput"));
    setWindowTitle(tr("Compiler Output"));
    txtcompileroutput_->setObjectName(QStringLiteral("txtcompileroutput"));
    txtcompileroutput_->setReadOnly(true);
    txtcompileroutput_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtcompileroutput_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* close = new QPushButton(tr("&Close"), this);
    close->setObjectName(QStringLiteral("cmdcloseoutput"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtcompileroutput_);
    layout->addLayout(buttons);
    resize(640, 400);
}

void CompilerOutputWindow::showText(const QString& text) {
    txtcompileroutput_->setPlainText(text);
    show();
    raise();
    activateWindow();
}
