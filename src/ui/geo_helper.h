// The GIS helper: quillmap4-geo, the program that does all the work with
// GDAL, started on the first GIS command and kept for the session, so the
// window neither loads GDAL nor goes down with a driver that fails on an
// author's file. Requests and replies are JSON lines (see docs/gis-helper.md).
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "model/area_grid.h"
#include "model/expected.h"
#include "model/project_state.h"

class QProcess;

class GeoHelper : public QObject {
  public:
    // program: the helper's path, asked at each start; patienceMs: how long
    // it may stay silent before it counts as hung, asked at each request.
    GeoHelper(std::function<QString()> program, std::function<int()> patienceMs, QObject* parent);
    ~GeoHelper() override;

    // Starts the helper, when it is not running, without waiting for it: a
    // command calls this before it asks the author for a file, so that the
    // helper is ready by the time the first request comes.
    void prepare();

    // Called with the part done, 0 to 1, as the helper reports it; false
    // cancels the request, which stops the helper.
    using Progress = std::function<bool(double)>;

    // Sends the request and waits for its reply while the window's events
    // go on. The reply may say ok false with the helper's reason. A helper
    // that cannot start, ends, stays silent past the patience, or answers
    // with something that is no reply is stopped, and the request fails
    // with a message that says so; the next request starts a fresh helper.
    // A cancelled request fails with "Cancelled.". One request runs at a
    // time: another asked for while one waits (from a timer, say) fails at
    // once and leaves the one under way alone.
    qm4::Expected<QJsonObject> request(QJsonObject request, const Progress& progress = {});
    // Whether a request waits for its reply.
    bool busy() const { return busy_; }

  private:
    qm4::Error fault(const QString& what);
    bool start(QString& why);
    void launch();

    std::function<QString()> program_;
    std::function<int()> patienceMs_;
    std::unique_ptr<QProcess> process_;
    qint64 nextId_ = 1;
    bool busy_ = false;
};

// The area that the cell and area boxes name, as the helper's requests give it.
QJsonObject areaJson(const qm4::ProjectState& s);
// Any box on the globe, the same way.
QJsonObject edgesJson(const qm4::AreaEdges& edges);
