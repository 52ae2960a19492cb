// The region map's own GIS helper: a quillmap4-geo serve process of its
// own, driven by signals alone, so that the map's imagery and outlines are
// made in the background while the author pans and zooms, and the window's
// GIS commands never wait behind them. Requests go one at a time; those
// not sent yet can be dropped when the view they were for has gone.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

class QProcess;

class MapHelper : public QObject {
    Q_OBJECT
  public:
    // Called once with the request's final reply; {"ok":false,"error":...}
    // when the helper failed, {"ok":false,"dropped":true} when it was dropped
    // before it was sent.
    using Answer = std::function<void(const QJsonObject& reply)>;

    // program: the helper's path, asked at each start; patienceMs: how long
    // it may stay silent on a request before it counts as hung.
    MapHelper(std::function<QString()> program, std::function<int()> patienceMs, QObject* parent);
    ~MapHelper() override;

    void send(QJsonObject request, Answer answer);
    // Forgets the requests not sent yet; the one the helper works on is
    // still answered.
    void dropQueued();

  signals:
    // The helper could not start, ended, hung or answered nonsense; every
    // request it held was answered with the reason, and the next request
    // starts a fresh helper.
    void failed(const QString& why);

  private:
    struct Pending {
        QJsonObject request;
        Answer answer;
    };

    void sendNext();
    void readReplies();
    void fail(const QString& why);

    std::function<QString()> program_;
    std::function<int()> patienceMs_;
    std::unique_ptr<QProcess> process_;
    std::deque<Pending> queue_;
    std::unique_ptr<Pending> working_;  // written to the helper, not answered yet
    qint64 nextId_ = 1;
    QTimer silence_;
};
