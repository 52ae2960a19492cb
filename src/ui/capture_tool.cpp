// The capture tool's mouse handling and the trace it keeps.
#include "ui/capture_tool.h"

#include "capture/point_lines.h"
#include "model/area_grid.h"
#include "model/numbers.h"
#include "ui/project_document.h"
#include "ui/window_common.h"

CaptureTool::CaptureTool(ProjectDocument& document, PictureView& picture)
    : QObject(&picture), document_(document), picture_(picture) {
    picture_.setTool(this);
    connect(&document_, &ProjectDocument::linesSpliced, this,
            [this](int list, int at, int removed, const QStringList& inserted) {
                picture_.spliceTrace(list == LwmList ? PictureView::Lwm : PictureView::Vtp, at,
                                     removed, tracePoints(list, inserted));
            });
    connect(&document_, &ProjectDocument::listsReset, this, &CaptureTool::showTrace);
    connect(&document_, &ProjectDocument::fieldsChanged, this, &CaptureTool::followArea);
    connect(&document_, &ProjectDocument::selectionChanged, this, [this](int list, int row) {
        picture_.setTraceSelection(list == LwmList ? PictureView::Lwm : PictureView::Vtp, row);
    });
    // Points of another area stay where they were traced on its picture,
    // dimmed over this one's.
    connect(&document_, &ProjectDocument::tracedElsewhereChanged, this,
            [this](std::optional<qm4::AreaNumbers> area) {
                elsewhere_ = area;
                picture_.setTraceDimmed(area.has_value());
                followArea();
            });
    showTrace();
}

void CaptureTool::mouseMoved(QPointF position, QSizeF clientSize) {
    document_.move(position, clientSize);
    // The pixel and VTP coordinates under the mouse, and the place on the
    // globe they stand for.
    const qm4::ProjectState& s = document_.state();
    const double x = qm4::leadingNumber(s.lblx), y = qm4::leadingNumber(s.lbly);
    const qm4::LatLon place = qm4::pixelToLatLon(qm4::areaEdges(s), x, y);
    document_.report(tr("LWM %1, %2    VTP %3, %4    %5  %6")
                         .arg(x)
                         .arg(y)
                         .arg(qm4::leadingNumber(s.lblvtp2x))
                         .arg(qm4::leadingNumber(s.lblvtp2y))
                         .arg(qs(qm4::degreesMinutesText(place.lat, true)),
                              qs(qm4::degreesMinutesText(place.lon, false))));
}

void CaptureTool::mousePressed(QPointF position, QSizeF clientSize) {
    document_.press(position, clientSize);
}

void CaptureTool::mouseLeft() { document_.report(QString()); }

// The trace points of list lines, VTP lines in the picture of the area the
// trace is drawn in.
std::vector<PictureView::Point> CaptureTool::tracePoints(int list, const QStringList& lines) const {
    std::vector<PictureView::Point> points;
    points.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) {
        const std::string text = line.toStdString();
        const auto point = list == LwmList
                               ? qm4::lwmPointOf(text)
                               : qm4::vtpPointOf(text, traceArea_.areaX, traceArea_.areaY);
        points.push_back(point ? std::optional(QPoint(point->x, point->y)) : std::nullopt);
    }
    return points;
}

qm4::AreaNumbers CaptureTool::areaOfTrace() const {
    return elsewhere_ ? *elsewhere_ : qm4::areaNumbers(document_.state());
}

void CaptureTool::showTrace() {
    traceArea_ = areaOfTrace();
    const qm4::ProjectState& s = document_.state();
    for (const auto& [list, lines] :
         {std::pair{LwmList, &s.lstLWM.lines}, {VtpList, &s.lstVTP.lines}}) {
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(lines->size()));
        for (const std::string& line : *lines) texts << qs(line);
        picture_.setTrace(list == LwmList ? PictureView::Lwm : PictureView::Vtp,
                          tracePoints(list, texts));
    }
    picture_.setTraceClosed(PictureView::Vtp, qm4::VtpLinePoly(s) == 0);
}

// The VTP trace follows the area it is drawn in, and closes in Poly mode.
void CaptureTool::followArea() {
    picture_.setTraceClosed(PictureView::Vtp, qm4::VtpLinePoly(document_.state()) == 0);
    if (areaOfTrace() == traceArea_) return;
    showTrace();
}
