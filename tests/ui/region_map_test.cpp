// View > Region Map driven through the window with a fake desktop: the rows
// of data/region_map.rows (opening, zoom, pan, keys, going to an area), the
// imagery and outlines the map's own helper makes, answers that come late,
// and a batch's areas given by hand. The map's geometry is proved in
// tests/core.
#include <algorithm>

#include "geo/imagery.h"
#include "geo/outlines.h"
#include "gui_test.h"
#include "ui/region_map.h"
#include "ui/region_view.h"

namespace {

const QString kImagery = QUILLMAP4_SAMPLES "/harbour.tif";
const QString kShapes = QUILLMAP4_SAMPLES "/harbour.geojson";
const QStringList kHarbour{"reply 47.5, -122.258333", "mnugotoposition"};
const QStringList kWithImagery = kHarbour + QStringList{"reply " + kImagery, "mnuloadimagery"};
const QStringList kWithOutlines =
    kHarbour + QStringList{"reply " + kShapes, "import 0 0", "mnuimportshape"};

RegionView* mapOf(Window& w) { return w.main.findChild<RegionView*>("frmRegion"); }

// The library's outlines for the view, as the map draws them.
std::vector<std::vector<qm4::MapPoint>> outlinesFor(const qm4::MapView& view) {
    const auto lines =
        qm4::geo::outlines(kShapes.toStdString(), qm4::outlineBox(view), qm4::pixelDegrees(view));
    std::vector<std::vector<qm4::MapPoint>> drawn;
    for (const auto& line : *lines) {
        drawn.emplace_back();
        for (const qm4::LatLon& place : line) drawn.back().push_back(qm4::mapPointOf(place));
    }
    return drawn;
}

bool same(const std::vector<std::vector<qm4::MapPoint>>& a,
          const std::vector<std::vector<qm4::MapPoint>>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                          [](auto p, auto q) { return p.x == q.x && p.y == q.y; });
    });
}

// The library's cut of a tile, as the helper writes it.
QImage cutOf(const qm4::MapTile& tile, const QString& file) {
    if (!qm4::geo::cutImagery(kImagery.toStdString(), qm4::tileEdges(tile), qm4::kTilePixels,
                              file.toStdString()))
        return {};
    return QImage(file);
}

// The tile of the view's own resolution that holds the harbour's area.
qm4::MapTile harbourTile(const qm4::MapView& view) {
    const int span = qm4::tileSpan(view.scale);
    return {span, 3941 / span * span, 3868 / span * span};
}

}  // namespace

class RegionMapTest : public QObject {
    Q_OBJECT

  private slots:
    void mapFollowsTheAuthor_data() { addRows(QFINDTESTDATA("data/region_map.rows")); }

    void mapFollowsTheAuthor() {
        QFETCH(QString, steps);
        QFETCH(QString, checks);
        check(steps, checks);
    }

    // The imagery beneath is the library's cut of each tile at the view's
    // own resolution; the outlines are the library's for the view's box and
    // pixel, of the file a shape was last imported from.
    void imageryAndOutlinesAreTheLibrarysForTheView() {
        Window w;
        // The shape is imported with the map open, which then draws its file's outlines.
        w.run(kWithImagery + QStringList{"mnuregionmap", "map size 640x512"} +
              kWithOutlines.mid(2));
        RegionView* map = mapOf(w);
        for (const int notches : {0, 6, 4}) {
            w.run({QStringLiteral("map wheel 320,256 %1").arg(notches)});
            const qm4::MapTile tile = harbourTile(map->view());
            const qm4::MapSquare square = qm4::tilePicture(tile);
            QImage drawn;
            const auto found = [&] {
                for (const MapPicture& p : map->layers().imagery)
                    if (p.square.side == square.side && p.square.corner.x == square.corner.x &&
                        p.square.corner.y == square.corner.y)
                        drawn = p.image;
                return !drawn.isNull();
            };
            QTRY_VERIFY_WITH_TIMEOUT(found(), 20000);
            QCOMPARE(drawn, cutOf(tile, w.home.filePath("cut.bmp")));
            // The view's own tiles lie over those that stood in for them.
            QCOMPARE(map->layers().imagery.back().square.side, square.side);
            QTRY_VERIFY(same(map->layers().outlines, outlinesFor(map->view())));
        }
        QCOMPARE(w.fake.ini.value("gis/lastImportedFile").toString(), kShapes);
        QCOMPARE(w.fake.ini.value("map/scale").toDouble(), map->view().scale);
        // A tile cut once comes back at once, from memory or from disk.
        w.run({"map wheel 320,256 -10"});
        const qm4::MapSquare whole = qm4::tilePicture(harbourTile(map->view()));
        QCOMPARE(map->layers().imagery.back().square.side, whole.side);
        QCOMPARE(map->layers().imagery.back().image,
                 cutOf(harbourTile(map->view()), w.home.filePath("cut.bmp")));
    }

    // A stand-in helper holds each answer until told: the map zooms at once
    // all the same, the answer for the view it left is dropped, and the new
    // view's answers are drawn; so for outlines, and for the outlines of a
    // file that cannot be read when another one replaces it meanwhile.
    void lateAnswersForAnOldViewAreDropped() {
        for (const QString scenario : {"imagery", "outlines", "another file"}) {
            const bool imagery = scenario == "imagery", replaced = scenario == "another file";
            Window w;
            w.run(imagery    ? kWithImagery
                  : replaced ? kHarbour + QStringList{"setting gis/lastImportedFile /none.json"}
                             : kWithOutlines);
            const QString folder = w.home.path();
            QFile standIn(folder + "/stand-in.sh");
            QVERIFY(standIn.open(QIODevice::WriteOnly));
            standIn.write(
                QStringLiteral("#!/bin/sh\nwhile IFS= read -r line; do\n"
                               "  echo got >> '%1/log'\n"
                               "  until [ -e '%1/free' ] || [ -e '%1/go' ]; do sleep 0.02; done\n"
                               "  rm -f '%1/go'\n"
                               "  printf '%s\\n' \"$line\" | '%2' serve\n"
                               "done\n")
                    .arg(folder, QUILLMAP4_GEO_PROGRAM)
                    .toUtf8());
            standIn.close();
            standIn.setPermissions(standIn.permissions() | QFile::ExeOwner);
            w.fake.geoHelper = standIn.fileName();
            const auto asked = [&] {
                QFile log(folder + "/log");
                return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
            };
            w.run({"mnuregionmap", "map size 640x512"});
            QTRY_COMPARE(asked(), 1);
            RegionView* map = mapOf(w);
            const double before = map->view().scale;
            if (replaced) {
                w.main.findChild<RegionMap*>()->setOutlineFile(kShapes);
            } else {
                w.run({"map wheel 320,256 6"});
                QCOMPARE(map->view().scale, before * 8);
            }
            QFile(folder + "/go").open(QIODevice::WriteOnly);
            QTRY_COMPARE(asked(), 2);
            QVERIFY(map->layers().imagery.empty() && map->layers().outlines.empty());
            QFile(folder + "/free").open(QIODevice::WriteOnly);
            if (imagery) {
                const qm4::MapSquare wanted = qm4::tilePicture(harbourTile(map->view()));
                QTRY_VERIFY_WITH_TIMEOUT(!map->layers().imagery.empty(), 20000);
                for (const MapPicture& p : map->layers().imagery)
                    QCOMPARE(p.square.side, wanted.side);
                // Those of the old view not sent yet never were.
                QTRY_COMPARE(asked(), 1 + qm4::tilesFor(map->view()).size());
            } else {
                QTRY_VERIFY_WITH_TIMEOUT(same(map->layers().outlines, outlinesFor(map->view())),
                                         20000);
                QCOMPARE(asked(), 2);
            }
            // A closed map asks for nothing, wherever the author goes.
            const auto sent = asked();
            w.run({"mnuregionmap", "reply 48, -122", "mnugotoposition"});
            QTest::qWait(1000);
            QCOMPARE(asked(), sent);
        }
    }

    // A batch given by hand: its areas washed in their outcome's colour, a
    // project's trace drawn in its area, and a double-click on an area the
    // batch wrote a project for opens that project; elsewhere the window
    // moves there.
    void batchAreasShowTheirOutcomeAndOpenTheirProjects() {
        Window w;
        QString project;
        for (const char* line :
             {"Bay",   "A. Builder", "",  "47", "30.00", "-122",  "15.50", "", "",
              "123",   "120",        "6", "28", "",      "",      "",      "", "",
              "False", "True",       "",  "",   "",      "False", "True",  ""})
            project += QString(line) + "\r\n";
        w.run(kHarbour + QStringList{"file batch/Bay.dat " + project, "chkvtpnodata",
                                     "press 20,160", "press 230,160", "mnuregionmap",
                                     "map size 640x512", "map wheel 320,256 6"});
        qm4::ProjectState traced;
        traced.txtcellx = "123", traced.txtcelly = "120", traced.txtareax = "5",
        traced.txtareay = "28";
        traced.lstLWM.lines = {"LWMPoint  20,  50", "LWMPoint  230,  50", "LWMPoint  20,  90"};
        w.main.findChild<RegionMap*>()->showBatch(
            qm4::BatchAreas({{{123, 120, 4, 28}, qm4::AreaOutcome::Failed, ""},
                             {{123, 120, 5, 28}, qm4::AreaOutcome::Written, ""},
                             {{123, 120, 6, 28},
                              qm4::AreaOutcome::Changed,
                              w.dir.filePath("batch/Bay.dat").toStdString()}}),
            {qm4::areaTrace(traced)});
        RegionView* map = mapOf(w);
        // The open project's mask, from pixel row 160 of its area.
        QTRY_VERIFY(map->layers().projectTrace);
        const QImage shown = map->grab().toImage();
        const auto washed = [](std::optional<qm4::AreaOutcome> outcome) {
            QImage pixel(1, 1, QImage::Format_RGB32);
            QPainter painter(&pixel);
            // One pixel in the middle of a cell, where no line is drawn.
            const qm4::MapView one{{16.5, 16.5}, 1, 1, 1};
            RegionLayers layers;
            if (outcome) layers.outcomes = qm4::BatchAreas({{{0, 0, 16, 16}, *outcome, ""}});
            BatchTiles tiles;
            paintRegion(painter, one, layers, tiles);
            return pixel.pixel(0, 0);
        };
        // At 128 pixels an area: the middles of areas 4, 5 and 6 of row 28,
        // and of area 5 of the row below; the batch's mask at pixel row 50 and
        // where it closes at column 20, and the project's at row 160.
        QCOMPARE(shown.pixel(192, 256), washed(qm4::AreaOutcome::Failed));
        QCOMPARE(shown.pixel(320, 256), washed(qm4::AreaOutcome::Written));
        QCOMPARE(shown.pixel(448, 256), washed(qm4::AreaOutcome::Changed));
        QCOMPARE(shown.pixel(320, 384), washed(std::nullopt));
        for (const QPoint at : {QPoint(320, 217), QPoint(266, 227), QPoint(320, 272)}) {
            const QColor trace = shown.pixelColor(at);
            QVERIFY2(trace.red() > 200 && trace.green() > 150 && trace.blue() < 100,
                     qPrintable(trace.name()));
        }
        w.run({"reply Yes", "map double 192,256"});
        QCOMPARE(w.snapshot().at("txtareax"), "4");
        w.run({"reply Discard", "map double 448,256"});
        QCOMPARE(w.snapshot().at("frmmain"), " Quillmap4  -  Bay");
        // Closing the map's window unticks its entry.
        map->window()->close();
        QVERIFY(!w.main.findChild<QAction*>("mnuregionmap")->isChecked());
    }

    // A helper that crashes, answers nonsense, hangs or cannot start, and a
    // file whose outlines cannot be read: the status bar says so, the map
    // goes on, and its next request starts a fresh helper.
    void helperFaultsAreReportedAndTheMapGoesOn() {
        for (const auto& [script, said] :
             {std::pair{"read line; exit 3",
                        "The map's GIS helper ended unexpectedly (exit code 3)."},
              {"read line; echo nonsense; sleep 5",
               "The map's GIS helper answered with something that is no reply (\"nonsense\") "
               "and was stopped."},
              {"read line; sleep 30",
               "The map's GIS helper did not answer within the time limit (1 s) and was "
               "stopped."},
              {"", "The map's GIS helper %1/none could not be started: "},
              {"outlines",
               "The outlines of %1/none.geojson could not be drawn: Could not read "
               "\"%1/none.geojson\": no such file or directory."}}) {
            Window w;
            w.run(kWithImagery + QStringList{"setting gis/timeLimitSeconds 1"});
            const QString folder = w.dir.path(), message = QString(said).arg(folder);
            QFile stand(folder + "/helper.sh");
            QVERIFY(stand.open(QIODevice::WriteOnly));
            stand.write(("#!/bin/sh\necho started >> " + folder + "/log\n" + script).toUtf8());
            stand.close();
            stand.setPermissions(stand.permissions() | QFile::ExeOwner);
            w.fake.geoHelper = QString(script) == "outlines" ? QUILLMAP4_GEO_PROGRAM
                               : *script                     ? stand.fileName()
                                                             : folder + "/none";
            if (QString(script) == "outlines")
                w.fake.ini.setValue("gis/lastImportedFile", folder + "/none.geojson");
            w.run({"mnuregionmap", "map size 640x512"});
            // The window's own work may put its word in the status bar after the map's.
            const auto reported = [&] {
                return std::any_of(w.statusShown.begin(), w.statusShown.end(),
                                   [&](const QString& text) { return text.startsWith(message); });
            };
            QTRY_VERIFY_WITH_TIMEOUT(reported(), 10000);
            if (!*script) continue;
            w.run({"map wheel 320,256 6"});
            if (*script != 'o') {
                QTRY_VERIFY(Window::read(folder, "started\nstarted", "log"));
                continue;
            }
            // Outlines that cannot be read are not asked for again.
            QTest::qWait(1000);
            QVERIFY(!w.snapshot().at("status").startsWith(message));
        }
    }

    // Each layer is painted where its places lie on the view, across the
    // antimeridian too: the colour found at a probe.
    void layersArePaintedWhereTheyLie() {
        QImage red(64, 64, QImage::Format_RGB32);
        red.fill(Qt::red);
        QImage wash(1, 1, QImage::Format_RGB32);
        wash.fill(QColor(196, 200, 204));
        QPainter(&wash).fillRect(0, 0, 1, 1, outcomeColour(qm4::AreaOutcome::Failed));
        const std::map<QString, QColor> colours{{"ground", QColor(196, 200, 204)},
                                                {"failed", wash.pixelColor(0, 0)},
                                                {"red", Qt::red},
                                                {"outline", QColor(255, 90, 40)},
                                                {"current area", QColor(255, 40, 200)},
                                                {"mask", QColor(255, 214, 0)},
                                                {"cell line", QColor(243, 243, 244)},
                                                {"area line", QColor(212, 215, 217)}};
        // Name, the middle x of a view of 200 x 200 pixels at 20 an area whose
        // middle y is 40, the layer given, where to look, and what is there.
        struct Probe {
            const char* name;
            double middleX;
            const char* layer;
            QPoint at;
            const char* colour;
        };
        const Probe probes[] = {
            {"nothing but the ground", 40, "", {150, 150}, "ground"},
            {"imagery on its square", 40, "imagery 36", {61, 61}, "red"},
            {"beside the imagery", 40, "imagery 36", {150, 150}, "ground"},
            {"imagery across the antimeridian", 1, "imagery 24572", {10, 61}, "red"},
            {"an outline", 40, "outline", {150, 65}, "outline"},
            {"a cell's edge", 33, "", {80, 150}, "cell line"},
            {"an area's edge", 33, "", {120, 150}, "area line"},
            {"the current area's edge", 40, "current", {60, 70}, "current area"},
            {"a batch's area across the antimeridian", 1, "failed", {70, 110}, "failed"},
            {"a batch's trace, thinned", 40, "trace", {70, 70}, "mask"}};
        const auto give = [&](RegionLayers& l, const QString& layer) {
            qm4::AreaTrace trace{qm4::areaOf(38, 38), {}, {}, false};
            for (int x = 0; x < 256; ++x) trace.lwm.push_back({x, 128});
            if (layer.startsWith("imagery"))
                l.imagery = {{red, {{layer.mid(8).toDouble(), 36}, 4}}};
            if (layer == "outline") l.outlines = {{{35, 38.275}, {45, 38.275}}};
            if (layer == "current") l.currentArea = qm4::areaOf(38, 38);
            if (layer == "failed")
                l.outcomes =
                    qm4::BatchAreas({{qm4::areaOf(24575, 40), qm4::AreaOutcome::Failed, ""}});
            if (layer == "trace") l.batchTraces = {trace};
        };
        for (const Probe& probe : probes) {
            RegionLayers layers;
            give(layers, probe.layer);
            QImage image(200, 200, QImage::Format_RGB32);
            QPainter painter(&image);
            // Painted twice: a batch is drawn straight, then from its tiles.
            BatchTiles tiles;
            for (int twice = 0; twice < 2; ++twice)
                paintRegion(painter, {{probe.middleX, 40}, 20, 200, 200}, layers, tiles);
            painter.end();
            const QColor found = image.pixelColor(probe.at);
            const auto nearest =
                std::min_element(colours.begin(), colours.end(), [&](auto& a, auto& b) {
                    const auto distance = [&](const QColor& c) {
                        return std::abs(c.red() - found.red()) +
                               std::abs(c.green() - found.green()) +
                               std::abs(c.blue() - found.blue());
                    };
                    return distance(a.second) < distance(b.second);
                });
            QCOMPARE(QString(probe.name) + ": " + nearest->first,
                     QString(probe.name) + ": " + probe.colour);
        }
    }
};

QTEST_MAIN(RegionMapTest)
#include "region_map_test.moc"
