// A batch's output read on a thread of its own (a thousand areas take
// tenths of a second: every project is read and hashed), its result taken
// back on the window's thread.
#include "ui/batch_projects.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include "project/batch_output.h"
#include "ui/project_document.h"
#include "ui/window_common.h"

struct BatchProjects::Reading {
    QString folder;
    qm4::BatchOutput output;
    std::vector<qm4::AreaTrace> traces;
    std::unique_ptr<QThread> thread;
};

BatchProjects::BatchProjects(ProjectDocument& document, std::function<bool(const QString&)> open,
                             QObject* parent)
    : QObject(parent), document_(document), open_(std::move(open)) {
    // An open or a save names the project's file anew.
    connect(&document_, &ProjectDocument::captionChanged, this, &BatchProjects::followProject);
}

BatchProjects::~BatchProjects() {
    if (reading_) reading_->thread->wait();
}

void BatchProjects::followProject() {
    const QString path = document_.projectPath();
    const QString folder =
        path.isEmpty() ? QString()
                       : qs(qm4::batchFolderOf(QDir::fromNativeSeparators(path).toStdString()));
    if (!folder.isEmpty()) return read(folder);
    if (folder_.isEmpty()) return;
    folder_.clear();
    areas_ = {};
    traces_.clear();
    emit changed();
}

bool BatchProjects::openNeighbour(int dx, int dy) {
    const auto here = document_.locatedArea();
    const auto next = here ? qm4::neighbourArea(*here, dx, dy) : std::nullopt;
    const qm4::BatchArea* there = next ? areas_.find(*next) : nullptr;
    if (!there || there->project.empty()) return false;
    open_(qs(there->project));
    return true;
}

void BatchProjects::read(const QString& folder) {
    folder_ = folder;
    if (reading_) {
        readAgain_ = true;
        return;
    }
    startReading();
}

void BatchProjects::startReading() {
    readAgain_ = false;
    reading_ = std::make_unique<Reading>();
    reading_->folder = folder_;
    Reading* reading = reading_.get();
    reading_->thread.reset(QThread::create([reading] {
        reading->output = qm4::readBatchOutput(reading->folder.toStdString(),
                                               [reading](const qm4::ProjectState& s) {
                                                   reading->traces.push_back(qm4::areaTrace(s));
                                               });
    }));
    connect(reading_->thread.get(), &QThread::finished, this, &BatchProjects::take);
    reading_->thread->start();
}

void BatchProjects::take() {
    std::unique_ptr<Reading> done = std::move(reading_);
    done->thread->wait();
    // A batch left meanwhile, or one written to since, is read again.
    if (readAgain_ || done->folder != folder_) {
        if (!folder_.isEmpty()) startReading();
        return;
    }
    const qm4::BatchOutput& output = done->output;
    areas_ = output.areas;
    traces_ = std::move(done->traces);
    const QString where = QDir::toNativeSeparators(folder_);
    if (!output.error.empty())
        document_.report(tr("The batch in %1 could not be read: %2").arg(where, qs(output.error)));
    else if (output.unreadRows > 0)
        document_.report(tr("Rows of %1 that could not be read: %2; the map shows the others.")
                             .arg(QDir::toNativeSeparators(folder_ + QStringLiteral("/batch.csv")))
                             .arg(output.unreadRows));
    else if (output.missing > 0)
        document_.report(
            tr("Projects of the batch in %1 that are gone: %2.").arg(where).arg(output.missing));
    emit changed();
}

void BatchProjects::begin(const QString& folder) {
    if (folder == folder_) return;
    folder_ = folder;
    areas_ = {};
    traces_.clear();
    emit changed();
}

void BatchProjects::setArea(const qm4::BatchArea& area) {
    std::vector<qm4::BatchArea> all = areas_.all();
    all.push_back(area);
    areas_ = qm4::BatchAreas(std::move(all));
    emit changed();
}
