// The Compile entries and Edit > Preferences: the source written as Create
// Source writes it, the SDK's compiler run on it in the working folder, the
// verdict and the compiler's output shown, and the .bgl copied into the
// scenery folder when one is set.
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

#include "source/compile_command.h"
#include "textio/text_file.h"
#include "ui/compiler.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/platform_services.h"
#include "ui/preferences_dialog.h"

namespace {
constexpr std::size_t kMaxBglBytes = std::size_t{1} << 30;

// The newest file of that name in any letter case (the compiler may write
// BGL where the name has bgl), with what it held, read at once: QFileInfo
// reads size and time lazily, which after the run would be the new file's.
struct BglSnapshot {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QDateTime statusChanged;  // moves at every write, even one that keeps the time stamp
    QByteArray digest;

    static BglSnapshot take(const QString& folder, const QString& name) {
        const QFileInfoList found = QDir(folder).entryInfoList({name}, QDir::Files, QDir::Time);
        if (found.isEmpty()) return {};
        QFile file(found.first().filePath());
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (file.open(QIODevice::ReadOnly)) hash.addData(&file);
        const QFileInfo& info = found.first();
        return {info.filePath(), info.size(), info.lastModified(), info.metadataChangeTime(),
                hash.result()};
    }
    bool exists() const { return !path.isEmpty(); }
    bool operator==(const BglSnapshot&) const = default;
};
}  // namespace

void MainWindow::mnucompilelwmsource_Click() { compileSource(true); }
void MainWindow::mnucompilevtpsource_Click() { compileSource(false); }
void MainWindow::mnupreferences_Click() { showPreferences(QString()); }

void MainWindow::showPreferences(const QString& note) {
    if (!preferences_) preferences_ = new PreferencesDialog(*services_, this);
    preferences_->edit(note);
}

void MainWindow::compileSource(bool lwm) {
    const CompilerSettings settings = CompilerSettings::read(services_->settings());
    if (!QFileInfo(settings.compiler).isFile()) {
        showPreferences(
            settings.compiler.isEmpty()
                ? QStringLiteral("Compiling needs the SDK's compiler, BGLC.exe. Choose it here, "
                                 "then choose Compile again.")
                : QStringLiteral("The compiler %1 is not there. Choose it here, then choose "
                                 "Compile again.")
                      .arg(settings.compiler));
        return;
    }
    if (!createSource(lwm)) return;
    const QString folder = workingFolder();
    const std::string source = lwm ? "LWMSource.asm" : "VTPSource.asm";
    const qm4::CompilerCommand command = qm4::compilerCommand(
        settings.compiler.toStdString(), settings.runner.toStdString(), source);
    const QString bglName = qs(qm4::bglFileName(source));
    const BglSnapshot before = BglSnapshot::take(folder, bglName);
    CompilerRun run = runCompiler(this, command, folder, settings.limitSeconds, qs(source));
    const BglSnapshot bgl = BglSnapshot::take(folder, bglName);
    qm4::CompilerOutcome outcome{run.end, run.exitCode, std::nullopt};
    if (bgl.exists() && bgl != before)
        outcome.written = qm4::BglFile{
            QFileInfo(bgl.path).fileName().toStdString(), bgl.size,
            bgl.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString()};
    const qm4::CompileVerdict verdict = qm4::compileVerdict(source, outcome, settings.limitSeconds);
    const QString summary = qs(verdict.summary) + counterNote(lwm);
    showCompilerOutput(summary + QStringLiteral("\n\nCommand: ") +
                       qs(qm4::commandLineText(command)) + QStringLiteral("\nFolder: ") + folder +
                       QStringLiteral("\n\n") + run.output);
    statusBar()->showMessage(summary);
    if (!verdict.compiled) {
        if (run.end != qm4::CompilerEnd::Cancelled)
            services_->showMessage(
                this, QMessageBox::Warning, kTitle,
                summary + QStringLiteral(" The window Compiler Output shows what it wrote."));
        return;
    }
    if (!settings.sceneryFolder.isEmpty())
        copyToScenery(bgl.path, settings.sceneryFolder, lwm, summary);
}

// Under the name the author confirms; an older file goes only after a
// question.
void MainWindow::copyToScenery(const QString& bgl, const QString& sceneryFolder, bool lwm,
                               const QString& report) {
    const QString confirmed = services_->inputText(
        this, kTitle,
        QStringLiteral("Copy %1 into the scenery folder %2 as:")
            .arg(QFileInfo(bgl).fileName(), QDir::toNativeSeparators(sceneryFolder)),
        qs(qm4::proposedCopyName(state_.txtprojectname, lwm)));
    const QString notCopied =
        report + QStringLiteral(" It was not copied into the scenery folder.");
    if (confirmed.trimmed().isEmpty()) {
        statusBar()->showMessage(notCopied);
        return;
    }
    const std::string target = qm4::joinPath(QDir::toNativeSeparators(sceneryFolder).toStdString(),
                                             qm4::copyFileName(confirmed.toStdString()));
    if (QFileInfo::exists(qs(target)) &&
        services_->ask(this, kTitle,
                       QStringLiteral("%1 is already there. Replace it?").arg(qs(target)),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        statusBar()->showMessage(notCopied);
        return;
    }
    const auto bytes = qm4::readFileBytes(bgl.toStdString(), kMaxBglBytes);
    const qm4::Status copied =
        bytes ? qm4::writeFileAtomically(target, *bytes) : qm4::Status(bytes.error());
    if (!copied) {
        showError(QStringLiteral("%1 could not be copied into the scenery folder.")
                      .arg(QFileInfo(bgl).fileName()),
                  copied.error().message);
        statusBar()->showMessage(notCopied);
        return;
    }
    statusBar()->showMessage(report + QStringLiteral(" Copied to %1.").arg(qs(target)));
}

void MainWindow::showCompilerOutput(const QString& text) {
    if (!compilerOutput_) compilerOutput_ = new CompilerOutputWindow(this);
    compilerOutput_->showText(text);
}
