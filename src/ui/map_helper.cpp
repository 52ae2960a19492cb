// The map's helper process: a queue of requests, one written at a time as
// the last is answered, and every fault answered to all that wait.
#include "ui/map_helper.h"

#include <QJsonDocument>
#include <QProcess>

MapHelper::MapHelper(std::function<QString()> program, std::function<int()> patienceMs,
                     QObject* parent)
    : QObject(parent), program_(std::move(program)), patienceMs_(std::move(patienceMs)) {
    silence_.setSingleShot(true);
    connect(&silence_, &QTimer::timeout, this, [this] {
        fail(tr("The map's GIS helper did not answer within the time limit (%1 s) and was "
                "stopped.")
                 .arg(silence_.interval() / 1000.0));
    });
}

// Nothing the helper works on is worth waiting for as the window closes.
MapHelper::~MapHelper() {
    if (!process_) return;
    process_->disconnect(this);
    process_->kill();
    process_->waitForFinished(1000);
}

void MapHelper::send(QJsonObject request, Answer answer) {
    queue_.push_back({std::move(request), std::move(answer)});
    sendNext();
}

void MapHelper::dropQueued() {
    std::deque<Pending> dropped = std::move(queue_);
    queue_.clear();
    for (Pending& pending : dropped)
        pending.answer({{QStringLiteral("ok"), false}, {QStringLiteral("dropped"), true}});
}

void MapHelper::sendNext() {
    if (working_ || queue_.empty()) return;
    if (!process_) {
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        connect(process_.get(), &QProcess::readyReadStandardOutput, this, &MapHelper::readReplies);
        connect(process_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                fail(tr("The map's GIS helper %1 could not be started: %2.")
                         .arg(process_->program(), process_->errorString()));
        });
        connect(process_.get(), &QProcess::finished, this,
                [this](int code, QProcess::ExitStatus status) {
                    fail(tr("The map's GIS helper ended unexpectedly (%1).")
                             .arg(status == QProcess::CrashExit ? tr("it crashed")
                                                                : tr("exit code %1").arg(code)));
                });
        process_->start(program_(), {QStringLiteral("serve")});
    }
    // A helper that could not start failed already; one that is starting
    // takes the request as it starts.
    if (!process_) return;
    working_ = std::make_unique<Pending>(std::move(queue_.front()));
    queue_.pop_front();
    working_->request.insert(QStringLiteral("id"), nextId_);
    process_->write(QJsonDocument(working_->request).toJson(QJsonDocument::Compact) + '\n');
    silence_.start(patienceMs_());
}

void MapHelper::readReplies() {
    while (process_ && process_->canReadLine()) {
        const QByteArray line = process_->readLine().trimmed();
        const QJsonObject reply = QJsonDocument::fromJson(line).object();
        if (!working_ || reply.value(QStringLiteral("id")).toInteger(-1) != nextId_)
            return fail(tr("The map's GIS helper answered with something that is no reply "
                           "(\"%1\") and was stopped.")
                            .arg(QString::fromUtf8(line.left(80))));
        if (!reply.contains(QStringLiteral("ok"))) {
            silence_.start();  // progress is a sign of life
            continue;
        }
        silence_.stop();
        ++nextId_;
        const std::unique_ptr<Pending> done = std::move(working_);
        done->answer(reply);
        sendNext();
    }
}

void MapHelper::fail(const QString& why) {
    silence_.stop();
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(1000);
        process_.release()->deleteLater();
    }
    std::deque<Pending> waiting = std::move(queue_);
    queue_.clear();
    if (working_) waiting.push_front(std::move(*working_));
    working_.reset();
    const QJsonObject reply{{QStringLiteral("ok"), false}, {QStringLiteral("error"), why}};
    for (Pending& pending : waiting) pending.answer(reply);
    emit failed(why);
}
