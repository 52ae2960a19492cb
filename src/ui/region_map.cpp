// The region map's controller: its window, the layers it feeds and the
// requests it makes as the view moves.
#include "ui/region_map.h"

#include <QDockWidget>
#include <QJsonArray>
#include <QMainWindow>
#include <QScreen>
#include <QStatusBar>
#include <cmath>

#include "model/calculate.h"
#include "ui/geo_helper.h"
#include "ui/map_helper.h"
#include "ui/map_imagery.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/region_view.h"
#include "ui/window_common.h"

namespace {

const QString kScaleKey = QStringLiteral("map/scale");

bool located(const qm4::ProjectState& s) {
    return !s.txtcellx.empty() && !s.txtcelly.empty() && !s.txtareax.empty() && !s.txtareay.empty();
}

// Outlines simplified for one scale still serve within this factor of it.
constexpr double kOutlineScaleSpread = 1.5;

}  // namespace

RegionMap::RegionMap(PlatformServices& services, ProjectDocument& document, Moves moves,
                     QMainWindow& window)
    : QObject(&window),
      services_(services),
      document_(document),
      moves_(std::move(moves)),
      window_(window) {
    helper_ = new MapHelper(
        [this] { return services_.geoHelperProgram(); },
        [this] {
            return services_.settings().value(QStringLiteral("gis/timeLimitSeconds"), 60).toInt() *
                   1000;
        },
        this);
    imagery_ = new MapImagery(*helper_, this);
    dock_ = named(new QDockWidget(tr("Region Map"), &window), "dockRegion");
    view_ = new RegionView(dock_);
    dock_->setWidget(view_);
    window.addDockWidget(Qt::RightDockWidgetArea, dock_);
    // Its own window beside the form, as far as the screen has room.
    dock_->setFloating(true);
    const QRect screen = window.screen()->availableGeometry();
    QRect place(QPoint(window.frameGeometry().right() + 8, window.frameGeometry().top()),
                dock_->sizeHint());
    place.moveRight(std::min(place.right(), screen.right()));
    dock_->setGeometry(place);

    // The map opens on the current area, or where Calculate would lead.
    qm4::ProjectState here = document_.state();
    if (!located(here)) qm4::calculate(here);
    qm4::MapView start;
    start.scale = services_.settings().value(kScaleKey, 0).toDouble();
    view_->setView(start);
    view_->centreOn(qm4::areaNumbers(here));

    traceDue_.setSingleShot(true);
    connect(&traceDue_, &QTimer::timeout, this, [this] {
        const qm4::ProjectState& s = document_.state();
        view_->layers().projectTrace = located(s) ? std::optional(qm4::areaTrace(s)) : std::nullopt;
        view_->update();
    });
    connect(&document_, &ProjectDocument::fieldsChanged, this, &RegionMap::followDocument);
    connect(&document_, &ProjectDocument::listsReset, this, &RegionMap::followDocument);
    connect(&document_, &ProjectDocument::linesSpliced, this, [this] { traceDue_.start(); });
    connect(view_, &RegionView::viewChanged, this, &RegionMap::followView);
    connect(view_, &RegionView::areaChosen, this, &RegionMap::goTo);
    connect(view_, &RegionView::hovered, this, &RegionMap::report);
    connect(imagery_, &MapImagery::arrived, this, [this] {
        view_->layers().imagery = imagery_->pictures(view_->view());
        view_->update();
    });
    connect(helper_, &MapHelper::failed, this, &RegionMap::report);
    followDocument();
}

void RegionMap::report(const QString& text) {
    text.isEmpty() ? window_.statusBar()->clearMessage() : window_.statusBar()->showMessage(text);
}

void RegionMap::followDocument() {
    const qm4::ProjectState& s = document_.state();
    const auto area = located(s) ? std::optional(qm4::areaNumbers(s)) : std::nullopt;
    if (area != view_->layers().currentArea) {
        view_->layers().currentArea = area;
        if (area && !view_->showsWhole(*area)) view_->centreOn(*area);
    }
    if (qs(s.imagery) != raster_) {
        raster_ = qs(s.imagery);
        imagery_->setRaster(raster_);
        followView();
    }
    traceDue_.start();
    view_->update();
}

void RegionMap::followView() {
    // A closed map asks for nothing; it follows the view again as it opens.
    if (!view_->isVisible()) return;
    const qm4::MapView& view = view_->view();
    // Whatever was asked for a view that has gone and is not on its way yet
    // is dropped; what this view needs goes first.
    helper_->dropQueued();
    imagery_->follow(view);
    view_->layers().imagery = imagery_->pictures(view);
    askOutlines();
    if (view.scale != services_.settings().value(kScaleKey).toDouble())
        services_.settings().setValue(kScaleKey, view.scale);
}

void RegionMap::setOutlineFile(const QString& path) {
    outlineFile_ = path;
    outlineScale_ = 0;
    outlinesFailed_ = false;
    view_->layers().outlines.clear();
    view_->update();
    askOutlines();
}

bool RegionMap::outlinesServe(const qm4::MapView& view) const {
    return outlineScale_ > 0 && qm4::boxHolds(outlineBox_, view) &&
           std::fabs(std::log(view.scale / outlineScale_)) < std::log(kOutlineScaleSpread);
}

void RegionMap::askOutlines() {
    const qm4::MapView& view = view_->view();
    if (outlineFile_.isEmpty() || outlinesAsked_ || outlinesFailed_ || !view_->isVisible() ||
        outlinesServe(view))
        return;
    outlineBox_ = qm4::outlineBox(view);
    outlineScale_ = view.scale;
    outlinesAsked_ = true;
    helper_->send({{QStringLiteral("op"), QStringLiteral("outlines")},
                   {QStringLiteral("file"), outlineFile_},
                   {QStringLiteral("area"), edgesJson(outlineBox_)},
                   {QStringLiteral("pixel"), qm4::pixelDegrees(view)}},
                  [this, file = outlineFile_](const QJsonObject& reply) {
                      outlinesAsked_ = false;
                      if (file == outlineFile_) return takeOutlines(reply);
                      outlineScale_ = 0;  // the answer of a file no longer drawn
                      askOutlines();
                  });
}

void RegionMap::takeOutlines(const QJsonObject& reply) {
    if (reply.value(QStringLiteral("dropped")).toBool()) {
        outlineScale_ = 0;  // the view that follows asks again
        return;
    }
    if (!reply.value(QStringLiteral("ok")).toBool()) {
        outlinesFailed_ = true;
        return report(tr("The outlines of %1 could not be drawn: %2")
                          .arg(outlineFile_, reply.value(QStringLiteral("error")).toString()));
    }
    // An answer for a view that has gone is dropped, and the view asks anew.
    if (!outlinesServe(view_->view())) {
        outlineScale_ = 0;
        return askOutlines();
    }
    std::vector<std::vector<qm4::MapPoint>> lines;
    for (const QJsonValue& line : reply.value(QStringLiteral("lines")).toArray()) {
        std::vector<qm4::MapPoint> places;
        for (const QJsonValue& place : line.toArray())
            places.push_back(qm4::mapPointOf({place[0].toDouble(), place[1].toDouble()}));
        if (!places.empty()) lines.push_back(std::move(places));
    }
    view_->layers().outlines = std::move(lines);
    view_->update();
}

void RegionMap::showBatch(qm4::BatchAreas areas, std::vector<qm4::AreaTrace> traces) {
    view_->setBatch(std::move(areas), std::move(traces));
}

std::vector<qm4::AreaNumbers> RegionMap::selectedAreas() const {
    const auto& range = view_->layers().selection;
    return range ? qm4::areasIn(*range) : std::vector<qm4::AreaNumbers>();
}

void RegionMap::goTo(const qm4::AreaNumbers& area) {
    if (view_->layers().currentArea == area) return;
    // Where a batch wrote a project for the area, that project is the work
    // there; elsewhere the open project moves, as Go North moves it.
    const qm4::BatchArea* batch = view_->layers().outcomes.find(area);
    if (batch && !batch->project.empty()) return moves_.openProject(qs(batch->project));
    moves_.goToArea(area);
}
