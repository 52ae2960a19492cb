// Make Projects for Selection: the helper's batch started with --events, its
// JSON lines read as they come ({"progress":F}, one per finished area), its
// end reported in the status bar, and a failure's reason in a message.
#include "ui/make_projects.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryFile>
#include <algorithm>
#include <iterator>

#include "source/source_writers.h"
#include "ui/batch_projects.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/project_files.h"
#include "ui/source_commands.h"
#include "ui/window_common.h"

namespace {
const QString kImportedKey = QStringLiteral("gis/lastImportedFile");
// As the batch names them; the map shows a skipped area as written.
const char* const kOutcomes[] = {"written", "dropped", "failed", "skipped"};
const qm4::AreaOutcome kShownAs[] = {qm4::AreaOutcome::Written, qm4::AreaOutcome::Dropped,
                                     qm4::AreaOutcome::Failed, qm4::AreaOutcome::Written};
constexpr int kSteps = 1000;  // of the progress bar
}  // namespace

MakeProjects::MakeProjects(PlatformServices& services, ProjectDocument& document,
                           ProjectFiles& files, BatchProjects& batch, QMainWindow& window)
    : QObject(&window),
      services_(services),
      document_(document),
      files_(files),
      batch_(batch),
      window_(window) {
    progress_ = named(new QProgressBar(&window), "prgmakeprojects");
    progress_->setRange(0, kSteps);
    progress_->setMaximumWidth(160);
    cancel_ = named(new QPushButton(tr("Cancel"), &window), "cmdcancelprojects");
    for (QWidget* shown : {static_cast<QWidget*>(progress_), static_cast<QWidget*>(cancel_)}) {
        window.statusBar()->addPermanentWidget(shown);
        shown->hide();
    }
    connect(cancel_, &QPushButton::clicked, this, &MakeProjects::cancel);
}

MakeProjects::~MakeProjects() { stop(); }

void MakeProjects::run(const std::vector<qm4::AreaNumbers>& areas) {
    if (running()) return document_.report(tr("Make Projects is still at work."));
    const auto refuse = [this](const QString& why) {
        services_.showMessage(&window_, QMessageBox::Warning, kTitle, why);
    };
    if (areas.empty())
        return refuse(
            tr("Select the areas first: drag over them on the region map with Shift "
               "held down."));
    // The batch gives each project its area; the other fields come from the form.
    std::vector<std::string> missing;
    for (const bool lwm : {true, false})
        for (const std::string& name : qm4::fieldsTheCompilerNeeds(document_.state(), lwm))
            if (!name.starts_with("txtcell") && !name.starts_with("txtarea") &&
                std::find(missing.begin(), missing.end(), name) == missing.end())
                missing.push_back(name);
    if (!missing.empty())
        return refuse(tr("The projects cannot be made. ") + compilerNeedsText(missing));
    if (!files_.saveFirst()) return;
    const QString project = document_.projectPath();
    QString input = services_.settings().value(kImportedKey).toString();
    if (!QFileInfo(input).isFile())
        input = services_.openFileName(&window_, tr("Make Projects from"), kShapeFilters,
                                       QFileInfo(project).path());
    if (input.isEmpty()) return;
    folder_ = chooseFolder();
    if (folder_.isEmpty()) return;
    areaList_ = std::make_unique<QTemporaryFile>();
    if (!areaList_->open()) return refuse(areaList_->errorString());
    for (const qm4::AreaNumbers& a : areas)
        areaList_->write(QStringLiteral("%1,%2,%3,%4\n")
                             .arg(a.cellX)
                             .arg(a.cellY)
                             .arg(a.areaX)
                             .arg(a.areaY)
                             .toLatin1());
    areaList_->flush();
    QStringList arguments{
        QStringLiteral("batch"), QStringLiteral("--template"), project, QStringLiteral("--areas"),
        areaList_->fileName(),   QStringLiteral("--out"),      folder_};
    if (const QString imagery = qs(document_.state().imagery); !imagery.isEmpty())
        arguments << QStringLiteral("--imagery") << imagery;
    arguments << QStringLiteral("--events") << input;

    std::fill(std::begin(counts_), std::end(counts_), 0);
    cancelled_ = false;
    process_ = new QProcess(this);
    connect(process_, &QProcess::readyReadStandardOutput, this, &MakeProjects::readEvents);
    connect(process_, &QProcess::finished, this, &MakeProjects::finish);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) finish();
    });
    batch_.begin(folder_);
    progress_->setValue(0);
    progress_->show();
    cancel_->show();
    document_.report(tr("Making the projects of %1 areas in %2...")
                         .arg(areas.size())
                         .arg(QDir::toNativeSeparators(folder_)));
    process_->start(services_.geoHelperProgram(), arguments);
}

// The current batch's folder, or a new one beside the project.
QString MakeProjects::chooseFolder() {
    const QFileInfo project(document_.projectPath());
    const QString proposal = !batch_.folder().isEmpty()
                                 ? batch_.folder()
                                 : project.dir().filePath(project.completeBaseName() + "-areas");
    return services_
        .inputText(&window_, kTitle, tr("Make the projects in this folder:"),
                   QDir::toNativeSeparators(proposal))
        .trimmed();
}

void MakeProjects::readEvents() {
    while (process_->canReadLine()) {
        const QByteArray line = process_->readLine().trimmed();
        if (!line.startsWith('{')) continue;
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        if (const QJsonValue part = event.value(QStringLiteral("progress")); part.isDouble())
            progress_->setValue(int(std::clamp(part.toDouble(), 0.0, 1.0) * kSteps));
        const QJsonArray cell = event.value(QStringLiteral("cell")).toArray();
        const QJsonArray at = event.value(QStringLiteral("at")).toArray();
        const QString outcome = event.value(QStringLiteral("outcome")).toString();
        const auto kind =
            std::find(std::begin(kOutcomes), std::end(kOutcomes), outcome) - std::begin(kOutcomes);
        if (cell.size() != 2 || at.size() != 2 || kind == std::ssize(kOutcomes)) continue;
        ++counts_[kind];
        const qm4::AreaNumbers area{cell[0].toInt(), cell[1].toInt(), at[0].toInt(), at[1].toInt()};
        const QString project = event.value(QStringLiteral("project")).toString();
        // An area skipped as written before keeps the project known for it.
        if (project.isEmpty() && kShownAs[kind] == qm4::AreaOutcome::Written &&
            batch_.areas().find(area))
            continue;
        batch_.setArea({area, kShownAs[kind], project.toStdString()});
    }
}

void MakeProjects::finish() {
    readEvents();
    const bool started = process_->error() != QProcess::FailedToStart;
    const bool failed =
        !started || process_->exitStatus() == QProcess::CrashExit || process_->exitCode() != 0;
    QString why = started
                      ? QString::fromLocal8Bit(process_->readAllStandardError()).trimmed()
                      : tr("The GIS helper could not be started: %1").arg(process_->errorString());
    why = why.section(u'\n', -1).trimmed();
    if (why.isEmpty())
        why = tr("The GIS helper ended with exit code %1.").arg(process_->exitCode());
    process_->deleteLater();
    process_ = nullptr;
    areaList_.reset();
    progress_->hide();
    cancel_->hide();
    const QString counts = tr("%1 written, %2 dropped, %3 failed, %4 skipped as written before")
                               .arg(counts_[0])
                               .arg(counts_[1])
                               .arg(counts_[2])
                               .arg(counts_[3]);
    if (cancelled_)
        return document_.report(
            tr("Make Projects was cancelled (%1); run it again to go on where it stopped.")
                .arg(counts));
    document_.report(
        tr("Made the projects in %1: %2.").arg(QDir::toNativeSeparators(folder_), counts));
    // The whole batch, the traces of its projects too, from its summary.
    if (QFileInfo(QDir(folder_).filePath(QStringLiteral("batch.csv"))).isFile())
        batch_.read(folder_);
    if (failed)
        services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                              tr("Some projects could not be made.\n\n") + why);
}

void MakeProjects::cancel() {
    if (!process_) return;
    cancelled_ = true;
    process_->kill();
}

void MakeProjects::stop() {
    if (!process_) return;
    process_->disconnect(this);
    process_->kill();
    process_->waitForFinished(1000);
}
