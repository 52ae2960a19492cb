// Creating, viewing and compiling the sources. Compile writes the source as
// Create Source does, runs the SDK's compiler on it in the working folder,
// shows the verdict and the compiler's output, and copies the .bgl into the
// scenery folder when one is set.
#include "ui/source_commands.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QWidget>

#include "capture/list_editing.h"
#include "source/compile_command.h"
#include "source/source_writers.h"
#include "source/view_source.h"
#include "textio/text_file.h"
#include "ui/compiler.h"
#include "ui/form_widgets.h"
#include "ui/platform_services.h"
#include "ui/preferences_dialog.h"
#include "ui/project_document.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

namespace {

constexpr std::size_t kMaxBglBytes = std::size_t{1} << 30;

// The captions of the fields the compiler needs, as the form shows them.
const std::map<std::string, QString>& fieldCaptions() {
    static const std::map<std::string, QString> captions = {
        {"txtcellx", QStringLiteral("Cell")},
        {"txtcelly", QStringLiteral("Cell")},
        {"txtareax", QStringLiteral("Area")},
        {"txtareay", QStringLiteral("Area")},
        {"txtaltitude", QStringLiteral("Altitude Adjustment")},
        {"cbovtptype", QStringLiteral("Select or type Road/Line/Shoreline or Poly")},
        {"txtvtplinewidth", QStringLiteral("Road/Line/shoreline Width (only)")},
        {"cbolayer", QStringLiteral("Select Line/Poly Layer")}};
    return captions;
}

}  // namespace

QString compilerNeedsText(const std::vector<std::string>& fields) {
    QStringList captions;
    for (const std::string& name : fields)
        if (const QString caption = fieldCaptions().at(name); !captions.contains(caption))
            captions << caption;
    return SourceCommands::tr("The compiler needs these fields, which are empty or not numbers: ") +
           captions.join(QStringLiteral(", ")) + QLatin1Char('.');
}

namespace {

const char* counterName(bool lwm) { return lwm ? "txtlwmnumber" : "txtvtpnumber"; }

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

#ifndef Q_OS_WIN
QStringList qsList(const std::vector<std::string>& values) {
    QStringList list;
    for (const std::string& value : values) list << qs(value);
    return list;
}
#endif

}  // namespace

SourceCommands::SourceCommands(PlatformServices& services, ProjectDocument& document,
                               WorkingFolder& folder, QWidget& window)
    : QObject(&window), services_(services), document_(document), folder_(folder), window_(window) {
    for (QAction* sign : window.findChildren<QAction*>())
        if (sign->objectName().startsWith(QStringLiteral("warn")))
            warnings_[sign->objectName().mid(4).toStdString()] = sign;
    connect(&document_, &ProjectDocument::fieldsChanged, this, &SourceCommands::hideFilledWarnings);
}

void SourceCommands::showError(const QString& what, const std::string& cause) {
    services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                          what + QStringLiteral("\n\n") + qs(cause));
}

bool SourceCommands::create(bool lwm) {
    const qm4::ProjectState& s = document_.state();
    const std::string folder = folder_.ensure().toStdString();
    const auto written = lwm ? qm4::createlwm(s, folder) : qm4::createvtp(s, folder);
    const std::string path = lwm ? qm4::LwmSourcePath(folder) : qm4::VtpSourcePath(folder);
    if (!written) {
        showError(tr("%1 could not be written.")
                      .arg(lwm ? QStringLiteral("LWMSource.asm") : QStringLiteral("VTPSource.asm")),
                  written.error().message);
        return false;
    }
    QString report = tr("Wrote %1 (%2 lines).").arg(qs(path)).arg(*written);
    const std::vector<std::string> missing = qm4::fieldsTheCompilerNeeds(s, lwm);
    for (const std::string& name : missing) showWarningSign(warnings_.at(name));
    if (!missing.empty()) report += QLatin1Char(' ') + compilerNeedsText(missing);
    report += counterNote(lwm);
    document_.report(report);
    return true;
}

// " LWM Lines/Points says 11; the list holds 10 points." after a report, with
// the warning sign on the counter, when the source declares another number of
// points than it holds.
QString SourceCommands::counterNote(bool lwm) {
    const auto mismatch = qm4::counterMismatch(document_.state(), lwm);
    if (!mismatch) return QString();
    showWarningSign(warnings_.at(counterName(lwm)));
    return QLatin1Char(' ') + qs(*mismatch) + QLatin1Char('.');
}

// A warning sign goes once its field is filled, or its counter agrees with
// its list.
void SourceCommands::hideFilledWarnings() {
    const qm4::ProjectState& s = document_.state();
    std::vector<std::string> missing = qm4::fieldsTheCompilerNeeds(s, true);
    for (const std::string& name : qm4::fieldsTheCompilerNeeds(s, false)) missing.push_back(name);
    for (const bool lwm : {true, false}) {
        // Counting a long list's points at every mouse move would cost; a
        // counter is checked only while its sign shows.
        if (warnings_.at(counterName(lwm))->isVisible() && qm4::counterMismatch(s, lwm))
            missing.push_back(counterName(lwm));
    }
    for (const auto& [name, warning] : warnings_)
        if (std::find(missing.begin(), missing.end(), name) == missing.end())
            warning->setVisible(false);
}

void SourceCommands::view(bool lwm) {
    const std::string folder = folder_.path().toStdString();
    const std::string path = lwm ? qm4::LwmSourcePath(folder) : qm4::VtpSourcePath(folder);
    if (!qm4::isRegularFile(path)) {
        services_.showMessage(
            &window_, QMessageBox::Warning, kTitle,
            QString::fromLatin1(lwm ? qm4::kLwmMissingMessage : qm4::kVtpMissingMessage));
        return;
    }
#ifdef Q_OS_WIN
    QStringList command = QProcess::splitCommand(qs(qm4::windowsEditorCommandLine(
        services_.environmentVariable(QStringLiteral("windir")).toStdString(), path)));
    const QString program = command.takeFirst();
    const bool started = services_.startDetached(program, command);
#else
    const qm4::EditorCommand command = qm4::linuxEditorCommand(path);
    const bool started = services_.startDetached(qs(command.program), qsList(command.arguments));
#endif
    if (!started)
        services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                              tr("The text editor could not be started to show %1.").arg(qs(path)));
}

void SourceCommands::showPreferences(const QString& note) {
    if (!preferences_) preferences_ = new PreferencesDialog(services_, &window_);
    preferences_->edit(note);
}

void SourceCommands::compile(bool lwm) {
    const CompilerSettings settings = CompilerSettings::read(services_.settings());
    if (!QFileInfo(settings.compiler).isFile()) {
        showPreferences(settings.compiler.isEmpty()
                            ? tr("Compiling needs the SDK's compiler, BGLC.exe. Choose it here, "
                                 "then choose Compile again.")
                            : tr("The compiler %1 is not there. Choose it here, then choose "
                                 "Compile again.")
                                  .arg(settings.compiler));
        return;
    }
    if (!create(lwm)) return;
    const QString folder = folder_.path();
    const std::string source = lwm ? "LWMSource.asm" : "VTPSource.asm";
    const qm4::CompilerCommand command = qm4::compilerCommand(
        settings.compiler.toStdString(), settings.runner.toStdString(), source);
    const QString bglName = qs(qm4::bglFileName(source));
    const BglSnapshot before = BglSnapshot::take(folder, bglName);
    CompilerRun run = runCompiler(&window_, command, folder, settings.limitSeconds, qs(source));
    const BglSnapshot bgl = BglSnapshot::take(folder, bglName);
    qm4::CompilerOutcome outcome{run.end, run.exitCode, std::nullopt};
    if (bgl.exists() && bgl != before)
        outcome.written = qm4::BglFile{
            QFileInfo(bgl.path).fileName().toStdString(), bgl.size,
            bgl.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString()};
    const qm4::CompileVerdict verdict = qm4::compileVerdict(source, outcome, settings.limitSeconds);
    const QString summary = qs(verdict.summary) + counterNote(lwm);
    if (!compilerOutput_) compilerOutput_ = new CompilerOutputWindow(&window_);
    compilerOutput_->showText(summary + QStringLiteral("\n\nCommand: ") +
                              qs(qm4::commandLineText(command)) + QStringLiteral("\nFolder: ") +
                              folder + QStringLiteral("\n\n") + run.output);
    document_.report(summary);
    if (!verdict.compiled) {
        if (run.end != qm4::CompilerEnd::Cancelled)
            services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                                  summary + tr(" The window Compiler Output shows what it wrote."));
        return;
    }
    if (!settings.sceneryFolder.isEmpty())
        copyToScenery(bgl.path, settings.sceneryFolder, lwm, summary);
}

// Under the name the author confirms; an older file goes only after a
// question.
void SourceCommands::copyToScenery(const QString& bgl, const QString& sceneryFolder, bool lwm,
                                   const QString& report) {
    const QString confirmed = services_.inputText(
        &window_, kTitle,
        tr("Copy %1 into the scenery folder %2 as:")
            .arg(QFileInfo(bgl).fileName(), QDir::toNativeSeparators(sceneryFolder)),
        qs(qm4::proposedCopyName(document_.state().txtprojectname, lwm)));
    const QString notCopied = report + tr(" It was not copied into the scenery folder.");
    if (confirmed.trimmed().isEmpty()) return document_.report(notCopied);
    const std::string target = qm4::joinPath(QDir::toNativeSeparators(sceneryFolder).toStdString(),
                                             qm4::copyFileName(confirmed.toStdString()));
    if (QFileInfo::exists(qs(target)) &&
        services_.ask(&window_, kTitle, tr("%1 is already there. Replace it?").arg(qs(target)),
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return document_.report(notCopied);
    const auto bytes = qm4::readFileBytes(bgl.toStdString(), kMaxBglBytes);
    const qm4::Status copied =
        bytes ? qm4::writeFileAtomically(target, *bytes) : qm4::Status(bytes.error());
    if (!copied) {
        showError(
            tr("%1 could not be copied into the scenery folder.").arg(QFileInfo(bgl).fileName()),
            copied.error().message);
        return document_.report(notCopied);
    }
    document_.report(report + tr(" Copied to %1.").arg(qs(target)));
}

void SourceCommands::closeWindows() {
    if (compilerOutput_) compilerOutput_->close();
}
