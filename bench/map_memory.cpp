// Memory probe for scripts/measure_map_memory.sh: the main window with a
// project in the harbour's area open, its picture cut from the sample
// imagery and a shape imported from the sample shapes; given the argument
// "map", then the region map over a batch of 1,000 areas with their traces
// (250 points a list), zoomed from a whole cell down to two areas and
// dragged about, each step given the time for the map's helper to cut its
// imagery and simplify its outlines. Prints the process's peak resident
// memory (VmHWM of /proc/self/status) in kB.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <cstdio>

#include "map_batch.h"
#include "project/points_file.h"
#include "ui/main_window.h"
#include "ui/platform_services.h"
#include "ui/region_map.h"

namespace {

class ProbeDesktop : public DesktopServices {
  public:
    QString geoHelperProgram() const override { return QUILLMAP4_GEO_PROGRAM; }
};

void settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void send(QWidget* map, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, map->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(map, &event);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool withMap = argc > 1 && QByteArray(argv[1]) == "map";
    QTemporaryDir folder;
    qm4::ProjectState s;
    std::tie(s.txtcellx, s.txtcelly, s.txtareax, s.txtareay) = std::tuple("123", "120", "5", "28");
    s.imagery = QUILLMAP4_SAMPLES "/harbour.tif";
    const QString project = folder.filePath("Harbour.dat");
    if (!qm4::saveProject(project.toStdString(), s, "")) return 1;
    auto desktop = std::make_unique<ProbeDesktop>();
    desktop->settings().setValue("gis/lastImportedFile", QUILLMAP4_SAMPLES "/harbour.geojson");
    MainWindow window(std::move(desktop));
    window.show();
    window.openProject(project);
    settle(2000);  // the picture is cut from the imagery
    if (withMap) {
        window.findChild<QAction*>(QStringLiteral("mnuregionmap"))->trigger();
        auto [areas, traces] = cellBatch(250, false);
        window.findChild<RegionMap*>()->showBatch(std::move(areas), std::move(traces));
        QWidget* map = window.findChild<QWidget*>(QStringLiteral("frmRegion"));
        map->window()->resize(map->window()->size() + QSize(800, 800) - map->size());
        settle(1500);
        for (int step = 0; step < 10; ++step) {
            const QPointF middle(400, 400);
            QWheelEvent wheel(middle, map->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(map, &wheel);
            send(map, QEvent::MouseButtonPress, middle, Qt::LeftButton);
            send(map, QEvent::MouseMove, middle + QPointF(step % 2 ? 150 : -150, 90),
                 Qt::LeftButton);
            send(map, QEvent::MouseButtonRelease, middle, Qt::NoButton);
            settle(1500);
        }
    }
    std::printf("%ld\n", peakKilobytes());
    return 0;
}
