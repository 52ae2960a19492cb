// Starting the GIS helper, one request at a time, and what its faults look
// like to the author.
#include "ui/geo_helper.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

#include "model/area_grid.h"

QJsonObject areaJson(const qm4::ProjectState& s) { return edgesJson(qm4::areaEdges(s)); }

QJsonObject edgesJson(const qm4::AreaEdges& edges) {
    return {{QStringLiteral("north"), edges.north},
            {QStringLiteral("south"), edges.south},
            {QStringLiteral("west"), edges.west},
            {QStringLiteral("east"), edges.east}};
}

GeoHelper::GeoHelper(std::function<QString()> program, std::function<int()> patienceMs,
                     QObject* parent)
    : QObject(parent), program_(std::move(program)), patienceMs_(std::move(patienceMs)) {}

GeoHelper::~GeoHelper() {
    if (!process_) return;
    // End of input ends the helper; one that does not go is stopped.
    process_->closeWriteChannel();
    if (!process_->waitForFinished(1000)) process_->kill();
    process_->waitForFinished(1000);
}

void GeoHelper::launch() {
    process_ = std::make_unique<QProcess>();
    // GDAL's own messages go where the window's go; a full error pipe would
    // stop the helper.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start(program_(), {QStringLiteral("serve")});
}

void GeoHelper::prepare() {
    if (!process_ || process_->state() == QProcess::NotRunning) launch();
}

bool GeoHelper::start(QString& why) {
    if (process_ && process_->state() == QProcess::Running) return true;
    if (!process_ || process_->state() == QProcess::NotRunning) launch();
    if (process_->waitForStarted(10000)) return true;
    why = tr("The GIS helper %1 could not be started: %2.")
              .arg(process_->program(), process_->errorString());
    process_.reset();
    return false;
}

qm4::Error GeoHelper::fault(const QString& what) {
    if (process_) {
        process_->kill();
        process_->waitForFinished(1000);
        process_.reset();
    }
    return qm4::Error{(what + tr(" Nothing was changed; the next GIS command starts the helper "
                                 "again."))
                          .toStdString()};
}

qm4::Expected<QJsonObject> GeoHelper::request(QJsonObject request, const Progress& progress) {
    // A second request would read the first one's reply, take it for
    // garbage and stop the helper under the first one's feet.
    if (busy_)
        return qm4::Error{
            tr("The GIS helper is busy with another command; nothing was changed.").toStdString()};
    busy_ = true;
    const auto idle = qScopeGuard([this] { busy_ = false; });
    QString why;
    if (!start(why)) return qm4::Error{why.toStdString()};
    const qint64 id = nextId_++;
    request.insert(QStringLiteral("id"), id);
    process_->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');

    QEventLoop loop;
    QTimer silence;
    silence.setSingleShot(true);
    const int patience = patienceMs_();
    silence.setInterval(patience);
    QProcess* process = process_.get();
    connect(process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
    connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&silence, &QTimer::timeout, &loop, &QEventLoop::quit);
    silence.start();
    // Cancel is looked at now and then, not only when the helper reports.
    QTimer poll;
    poll.setInterval(200);
    connect(&poll, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (progress) poll.start();
    double part = 0;
    for (;;) {
        while (process->canReadLine()) {
            const QByteArray line = process->readLine().trimmed();
            const QJsonObject reply = QJsonDocument::fromJson(line).object();
            if (reply.value(QStringLiteral("id")).toInteger(-1) != id)
                return fault(tr("The GIS helper answered with something that is no reply "
                                "(\"%1\") and was stopped.")
                                 .arg(QString::fromUtf8(line.left(80))));
            if (reply.contains(QStringLiteral("ok"))) return reply;
            silence.start();  // progress is a sign of life
            part = reply.value(QStringLiteral("progress")).toDouble();
        }
        if (progress && !progress(part)) {
            fault(QString());
            return qm4::Error{"Cancelled."};
        }
        if (process->state() != QProcess::Running)
            return fault(tr("The GIS helper ended unexpectedly (%1).")
                             .arg(process->exitStatus() == QProcess::CrashExit
                                      ? tr("it crashed")
                                      : tr("exit code %1").arg(process->exitCode())));
        if (!silence.isActive())
            return fault(tr("The GIS helper did not answer within %1 %2 and was stopped.")
                             .arg(patience / 1000.0)
                             .arg(patience == 1000 ? tr("second") : tr("seconds")));
        loop.exec();
    }
}
