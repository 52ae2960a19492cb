// The main window and its About box driven through their controls with a
// fake desktop. Each row of data/main_window.rows follows events to the core
// and back to what the window shows; what the core computes is proved in
// tests/core.
#include <tuple>

#include <QJsonDocument>
#include <csignal>

#include "capture/list_editing.h"
#include "geo/imagery.h"
#include "geo/shape_import.h"
#include "gui_test.h"
#include "ui/import_dialog.h"

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void eventsReachTheCoreAndShowTheResult_data() {
        addRows(QFINDTESTDATA("data/main_window.rows"));
    }

    void eventsReachTheCoreAndShowTheResult() {
        QFETCH(QString, steps);
        QFETCH(QString, checks);
        check(steps, checks);
    }

    // Every text box selects its text as a click gives it the focus; a combo
    // box does not.
    void clickSelectsTheWholeText() {
        Window w;
        for (const auto& [name, shown] : w.snapshot()) {
            if (!name.startsWith("txt") && !name.startsWith("cbo")) continue;
            auto* box = w.main.findChild<QComboBox*>(name);
            auto* comments = w.main.findChild<QPlainTextEdit*>(name);
            QWidget* target = box        ? box->lineEdit()
                              : comments ? comments->viewport()
                                         : w.main.findChild<QWidget*>(name);
            w.showTabOf(target);
            w.run({name + "=12.5"});
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
            QCoreApplication::processEvents();
            QCOMPARE(comments ? comments->textCursor().selectedText()
                              : target->property("selectedText").toString(),
                     box ? "" : "12.5");
        }
    }

    void tabFollowsTheReadingOrderOfEachTab() {
        Window w;
        for (const char* chain :
             {"txtprojectname txtauthorname txtcomments txtlatdeg txtlatmin txtlongdeg txtlongmin "
              "cmdcalculate",
              "cbolandclass Option4 Option3 cbovtptype txtvtplinewidth cbolayer txtaltitude "
              "Option1 Option2",
              "cmdload txtcellx txtcelly txtareax txtareay txtlwmnumber lstLWM cmdlwmclearlistitem "
              "cmdclearlwmlist cmdlwm chklwmnodata txtvtpnumber lstVTP cmdvtpclearitem "
              "cmdclearvtplist cmdvtp chkvtpnodata"}) {
            const QStringList names = QString::fromLatin1(chain).split(u' ');
            QStringList visited;
            QWidget* at = w.main.findChild<QWidget*>(names[0]);
            for (int step = 0; step < 500 && visited.size() < names.size(); ++step) {
                if (names.contains(at->objectName())) visited << at->objectName();
                at = at->nextInFocusChain();
            }
            QCOMPARE(visited, names);
        }
    }

    // The form's font falls back to Comic Neue; the combo boxes offer their
    // vocabulary; the picture is 256 pixels square.
    void formTakesItsFontVocabularyAndSize() {
        Window w;
        if (!QFontDatabase::hasFamily("Comic Sans MS"))
            QCOMPARE(QFontInfo(w.main.findChild<QWidget*>("txtlatdeg")->font()).family(),
                     "Comic Neue");
        for (const auto& [name, table] : {std::pair{"cbolandclass", "land_classes"},
                                          {"cbovtptype", "vtp_types"},
                                          {"cbolayer", "layers"}}) {
            QFile file(QFINDTESTDATA("../core/data/vocabulary/" + QString(table) + ".txt"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QStringList offered;
            auto* box = w.main.findChild<QComboBox*>(name);
            for (int i = 0; i < box->count(); ++i) offered << box->itemText(i);
            QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
            lines.removeLast();  // after the last line's end
            QCOMPARE(offered, lines);
        }
        QCOMPARE(w.main.findChild<QWidget*>("Picture1")->size(), QSize(256, 256));
    }

    // Every kind of list step undoes to exactly what the window showed and
    // held before it, and redoes to exactly what it showed after it.
    void undoAndRedoRestoreEveryStep() {
        Window w;
        w.run({"txtvtplinewidth=9", "press 10,20", "press 30,40", "txtlwmnumber=62"});
        for (const char* step :
             {"press 50,60", "Option3|txtvtpnumber=31>press 70,80",
              "click lstLWM 1>cmdlwmclearlistitem",
              "click lstVTP 2>reply ; x|double-click lstVTP 2", "cmdclearvtplist",
              "reply ; end>double-click lstLWM -1", "cmdclearlwmlist",
              "Option4|press 80,80|txtvtpnumber=0>press 90,90",
              "txtcellx=1|txtcelly=2|txtareax=3|txtareay=4|press 7,7|reply Yes|mnugoeast>press "
              "5,5"}) {
            // What stands before ">" prepares the step.
            const QString prepare = QString(step).section(u'>', 0, -2);
            w.run(prepare.isEmpty() ? QStringList() : prepare.split(u'|'));
            const View before = w.snapshot();
            w.run(QString(step).section(u'>', -1).split(u'|'));
            const View after = w.snapshot();
            QVERIFY(w.main.findChild<QAction*>("mnuundo")->text().startsWith("&Undo "));
            for (const auto& [action, wanted] :
                 {std::pair{"mnuundo", &before}, {"mnuredo", &after}}) {
                w.run({action});
                QStringList differ = Window::changed(*wanted, w.snapshot());
                differ.removeAll("desktop");
                QVERIFY2(differ.isEmpty(),
                         qPrintable(QString(step) + " " + action + ": " + differ.join(' ')));
            }
        }
    }

    // The trace drawn on the picture follows the lists through presses, the
    // no-data boxes, undo, clearing, zoom, Show Trace, Line and Poly and a
    // move away from the area traced in: a segment is lit in its list's
    // colour halfway between two points, nowhere else, and dimmed away.
    void traceFollowsTheLists() {
        Window w;
        auto* picture = w.main.findChild<PictureView*>("Picture1");
        // 'L' LWM colour, 'V' VTP, 'l' and 'v' the same dimmed, '-'
        const auto lit = [&](int x, int y) -> QChar {
            const QColor c = picture->grab().toImage().pixelColor(
                QPoint(x, y) * picture->zoom() + QPoint(1, 1) * (picture->zoom() / 2));
            const auto band = [](int value) { return value < 100 ? 0 : value < 200 ? 1 : 2; };
            if (band(c.red()) == 2 && c.green() > 150 && band(c.blue()) < 2)
                return band(c.blue()) ? 'l' : 'L';
            if (band(c.red()) < 2 && c.green() > 150 && band(c.blue()) == 2)
                return band(c.red()) ? 'v' : 'V';
            return '-';
        };
        const auto probe = [&] {
            return QString(lit(40, 20)) + lit(60, 40) + lit(40, 40) + lit(60, 200) + lit(150, 100);
        };
        w.run({"txtcellx=1", "txtcelly=2", "txtareax=3", "txtareay=4", "chkvtpnodata",
               "press 20,20", "press 60,20", "press 60,60", "chkvtpnodata", "chklwmnodata",
               "press 20,200", "press 100,200"});
        QCOMPARE(probe(), "LLLV-");  // the mask closes back to its first point
        w.run({"mnuundo"});
        QCOMPARE(probe(), "LLL--");
        w.run({"mnuredo", "mnuzoomin", "mnuzoomin"});
        QCOMPARE(probe(), "LLLV-");
        w.run({"mnushowtrace"});
        QCOMPARE(probe(), "-----");
        w.run({"mnushowtrace", "cmdclearlwmlist"});
        QCOMPARE(probe(), "---V-");
        w.run({"mnuzoomactual", "press 100,240"});
        const QImage line = picture->grab().toImage();
        w.run({"Option3"});  // Poly closes the VTP trace
        QVERIFY(picture->grab().toImage() != line);
        w.run({"Option4"});
        QCOMPARE(picture->grab().toImage(), line);
        w.run({"reply Yes", "mnugoeast"});
        QCOMPARE(probe(), "---v-");
        w.run({"mnugowest"});
        QCOMPARE(probe(), "---V-");
    }

    // An imported polygon gives exactly the lines that presses on its pixels
    // give, in both modes and with either Send NO Data box, as one step to
    // undo; in Line mode the ring goes to the LWM list and its shoreline, the
    // run off the area's edge, to the VTP list, as if pressed with the other
    // list's box ticked. An exported trace imports back to the same lines; a
    // shape with more points than a source takes changes nothing.
    void importedShapesAreThePressesAtTheirPixels() {
        const QString sample = QUILLMAP4_SAMPLES "/harbour.geojson";
        const QStringList area{"txtcellx=123", "txtcelly=120", "txtareax=5", "txtareay=28"};
        qm4::ProjectState located;
        located.txtcellx = "123", located.txtcelly = "120", located.txtareax = "5",
        located.txtareay = "28";
        const auto shape =
            qm4::geo::featureShape(sample.toStdString(), 0, 0, qm4::areaEdges(located), 0);
        const qm4::ImportPresses piece =
            qm4::partImports(shape->pieces.at(0), qm4::PieceKind::Ring, true).imports.at(0);
        QVERIFY(piece.vtp.front().x == 0 && piece.vtp.back().x == 0);  // the west edge is none
        const auto presses = [](const std::vector<qm4::PicturePixel>& pixels) {
            QStringList steps;
            for (const qm4::PicturePixel& p : pixels)
                steps << QStringLiteral("press %1,%2").arg(p.x).arg(p.y);
            return steps.join(u'|');
        };
        const QString ring = presses(piece.lwm), run = presses(piece.vtp);
        for (const auto& [setup, byHand, mask] :
             {std::tuple{
                  "Option4",
                  "chkvtpnodata|" + ring + "|chkvtpnodata|chklwmnodata|" + run + "|chklwmnodata",
                  "Water"},
              {"Option1|Option3", ring, "Land"},
              {"chklwmnodata", "chkvtpnodata|" + ring + "|chkvtpnodata|" + run, "Water"},
              {"Option3|chkvtpnodata", ring, "Water"}}) {
            Window imported, pressed;
            imported.run(area + QString(setup).split(u'|') +
                         QStringList{"reply " + sample, "import 0 0", "mnuimportshape"});
            pressed.run(area + QString(setup).split(u'|') + byHand.split(u'|'));
            const View got = imported.snapshot(), wanted = pressed.snapshot();
            for (const char* name :
                 {"lstLWM", "lstVTP", "txtlwmnumber", "txtvtpnumber", "lblx", "lblvtp2y", "state"})
                QCOMPARE(QString(name) + "=" + got.at(name), QString(name) + "=" + wanted.at(name));
            const QString trace = "reply " + pressed.dir.filePath("t.geojson");
            pressed.run({trace, "mnuexporttrace"});
            QVERIFY(Window::read(pressed.dir.path(), QStringLiteral("\"mask\": \"%1\"").arg(mask),
                                 "t.geojson"));
            pressed.run(
                {"cmdclearlwmlist", "cmdclearvtplist", trace, "import 0 0", "mnuimportshape"});
            QCOMPARE(pressed.snapshot().at("state"), wanted.at("state"));
            imported.run({"mnuundo"});
            QCOMPARE(imported.snapshot().at("lstLWM"), "");
        }
        Window w;
        QString line = R"({"type": "LineString", "coordinates": [)";
        for (int i = 0; i < 300; ++i) {
            const qm4::LatLon p =
                qm4::pixelToLatLon(qm4::areaEdges(located), 10 + i % 200, 10 + i / 2);
            line += QStringLiteral("%1[%2, %3]")
                        .arg(i ? ", " : "")
                        .arg(p.lon, 0, 'f', 9)
                        .arg(p.lat, 0, 'f', 9);
        }
        w.run(area + QStringList{"file many.geojson " + line + "]}"});
        const View before = w.snapshot();
        w.run({"reply " + w.dir.filePath("many.geojson"), "import 0 0", "mnuimportshape"});
        QVERIFY(
            w.snapshot().at("desktop").endsWith("It has 300 points after simplification; a "
                                                "source takes at most 255. Simplify it more."));
        QCOMPARE(Window::changed(before, w.snapshot()), QStringList{"desktop"});
    }

    // The dialog lists a polygon's holes in the helper's reply as pieces
    // with the mask they need, and says when the area lies wholly inside the
    // polygon and what was too small to trace.
    void importDialogNamesHolesAndTheWholeArea() {
        const GisShape square = gisShapeOf(
            QJsonDocument::fromJson(R"({"polygon":true,"pieces":[[[0,0],[255,0],[255,255],[0,255]],
                [[40,40],[80,40],[80,90]],[[90,90],[90.4,90.2]]],"holeOf":[0,1,1]})")
                .object());
        ImportShapeDialog dialog(
            {{0, "coast", 7, "Mainland", "MultiPolygon", 0}}, {},
            [&](const GisFeature&, double) -> qm4::Expected<GisShape> { return square; }, QImage(),
            true, true, nullptr);
        auto* pieces = dialog.findChild<QComboBox*>("cbopiece");
        QCOMPARE(pieces->itemText(1), "2: hole in piece 1, 4 points; it needs the Water mask");
        QCOMPARE(dialog.findChild<QLabel*>("lblpointcount")->text(),
                 "The area lies wholly inside \"Mainland\": its piece is the whole area, with no "
                 "shoreline. 1 piece too small to trace is left out. After clipping and "
                 "simplifying, the import presses 4 LWM and 0 VTP points: the LWM short form "
                 "holds 62 (fits), the VTP 31 (fits).");
        pieces->setCurrentIndex(1);
        emit pieces->activated(1);
        QCOMPARE(dialog.chosen().kind, qm4::PieceKind::Hole);
        QCOMPARE(dialog.chosen().vtp.size(), 4u);  // the lake's shore, closed
    }

    // The picture cut from imagery is the GIS library's cut of the area, kept
    // beside the project; it follows the author to the next area, comes
    // sharper when zoomed, and the project remembers its imagery.
    void imageryFollowsTheAuthor() {
        const QString imagery = QUILLMAP4_SAMPLES "/harbour.tif";
        Window w;
        const auto cutOf = [&](const char* cell, int size) {
            qm4::ProjectState s;
            std::tie(s.txtcellx, s.txtcelly, s.txtareax, s.txtareay) =
                std::tuple{"123", "120", cell, "28"};
            const QString file = w.home.filePath(QStringLiteral("cut%1.png").arg(size));
            if (!qm4::geo::cutImagery(imagery.toStdString(), qm4::areaEdges(s), size,
                                      file.toStdString()))
                return QImage();
            return QImage(file).convertToFormat(QImage::Format_RGB32);
        };
        auto* picture = w.main.findChild<PictureView*>("Picture1");
        w.run({"txtcellx=123", "txtcelly=120", "txtareax=5", "txtareay=28", "reply " + imagery,
               "mnuloadimagery"});
        QCOMPARE(picture->picture().convertToFormat(QImage::Format_RGB32), cutOf("5", 256));
        QVERIFY(QFile::exists(w.dir.filePath("Untitled_123_120_05_28.bmp")));
        w.run({"mnuzoomin"});
        QCOMPARE(picture->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(0, 0, 8, 8),
                 cutOf("5", 512).copy(0, 0, 8, 8));
        w.run({"mnugoeast"});
        QTRY_VERIFY(QFile::exists(w.dir.filePath("Untitled_123_120_06_28.bmp")));
        QCOMPARE(picture->picture().convertToFormat(QImage::Format_RGB32), cutOf("6", 256));
        w.run({"txtprojectname=Bay", "reply " + w.dir.filePath("Bay"), "mnusaveproject"});
        QVERIFY(Window::read(w.dir.path(), "Imagery=" + imagery, "Bay.points"));
        // A picture loaded by hand ends the imagery: the next move keeps it.
        w.run({"picture own.bmp 64x48", "reply " + w.dir.filePath("own.bmp"), "cmdload",
               "mnugonorth"});
        QTest::qWait(600);
        QCOMPARE(picture->picture().size(), QSize(64, 48));
    }

    // An area the batch makes is what the window makes of the same piece: a
    // ring the area's edge cuts, in Line mode its shoreline alone the VTP
    // line, and a lake in land, which the dialog says needs the Water mask.
    // Go to Position on the area's centre, Import Shape, Save Project and
    // Create Source give the same four files, byte for byte.
    void batchMakesWhatTheWindowMakes() {
        Window w;
        qm4::ProjectState boxes;
        std::tie(boxes.txtcellx, boxes.txtcelly, boxes.txtareax, boxes.txtareay) =
            std::tuple{"123", "120", "5", "28"};
        QString lake = R"({"type":"Polygon","coordinates":[)";
        for (const auto& ring :
             {std::vector<QPointF>{{20, 20}, {235, 20}, {235, 235}, {20, 20}},
              std::vector<QPointF>{{150, 80}, {150, 150}, {180, 80}, {150, 80}}}) {
            lake += lake.endsWith(u'[') ? "[" : ",[";
            for (const QPointF& p : ring) {
                const qm4::LatLon at = qm4::pixelToLatLon(qm4::areaEdges(boxes), p.x(), p.y());
                lake += QStringLiteral("%1[%2,%3]")
                            .arg(lake.endsWith(u'[') ? "" : ",")
                            .arg(at.lon, 0, 'g', 17)
                            .arg(at.lat, 0, 'g', 17);
            }
            lake += "]";
        }
        w.run({"file lake.geojson " + lake + "]}"});
        QFile areas(w.home.filePath("areas.txt"));
        QVERIFY(areas.open(QIODevice::WriteOnly));
        areas.write("123,120,5,28\n");
        areas.close();
        const qm4::LatLon place = qm4::areaCentre({123, 120, 5, 28});
        for (const auto& [file, mode, piece, folder] :
             {std::tuple{QString(QUILLMAP4_SAMPLES "/harbour.geojson"), "line", "0",
                         "123_120_05_28"},
              {w.dir.filePath("lake.geojson"), "poly", "1", "123_120_05_28_2"}}) {
            const QString out = w.home.filePath(folder);
            QProcess batch;
            batch.start(QUILLMAP4_GEO_PROGRAM,
                        {"batch", file, "--areas", areas.fileName(), "--out", out, "--land",
                         "--altitude", "12", "--" + QString(mode), "--vector-type",
                         "\"1030\"   ;harbor", "--width", "12", "--vtp-layer", "4", "--jobs", "1"});
            QVERIFY(batch.waitForFinished(60000) && batch.exitCode() == 0);
            w.run({"Option1", "txtaltitude=12", mode == QString("line") ? "Option4" : "Option3",
                   "cbovtptype=\"1030\"   ;harbor", "txtvtplinewidth=12", "cbolayer=4",
                   "txtprojectname=" + QString(folder),
                   QStringLiteral("reply %1, %2")
                       .arg(place.lat, 0, 'g', 17)
                       .arg(place.lon, 0, 'g', 17),
                   "mnugotoposition", "reply " + file, "import 0 0 " + QString(piece),
                   "mnuimportshape", piece == QString("1") ? "Option2" : "Option1",
                   "reply " + w.dir.filePath(folder), "mnusaveproject", "cmdlwm", "cmdvtp",
                   "cmdclearlwmlist", "cmdclearvtplist"});
            for (const QString& name : {QString(folder) + ".dat", QString(folder) + ".points",
                                        QString("LWMSource.asm"), QString("VTPSource.asm")}) {
                QFile made(QDir(out).filePath(QString(folder) + "/" + name));
                QFile written(w.dir.filePath(name));
                QVERIFY2(made.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly),
                         qPrintable(name));
                QCOMPARE(written.readAll(), made.readAll());
            }
        }
    }

    // The real program, killed after a series of presses, leaves its work for
    // the next start, which restores exactly what a window that made the
    // same presses holds; a window closed normally leaves nothing behind.
    void killedProgramComesBackOnTheNextStart() {
        const QString steps =
            "txtprojectname=Crash|Option1=true|txtareax=3|press 10,20|press 30,40";
        Window crashed, direct;
        QFile script(crashed.home.filePath("presses.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "set txtprojectname Crash\nclick Option1\nset txtareax 3\npress 10 20\n"
            "press 30 40\nwait 60000\n");
        script.close();
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", crashed.home.path());
        env.insert("XDG_STATE_HOME", crashed.home.path());
        program.setProcessEnvironment(env);
        program.start(QUILLMAP4_PROGRAM, {"--script", script.fileName()});
        const QString folder = crashed.home.filePath("quillmap4");
        // The recovery file itself, not its temporary file on the way: a kill
        // before the rename would leave nothing to restore.
        QTRY_VERIFY_WITH_TIMEOUT(Window::read(folder, "LWMLines=2", "recovery-*.txt"), 60000);
        ::kill(pid_t(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished());
        crashed.fake.recovery = folder;
        crashed.run({"reply Yes"});
        QVERIFY(crashed.main.offerRecovery());
        direct.run(steps.split(u'|'));
        const View restored = crashed.snapshot(), made = direct.snapshot();
        for (const auto& [name, shown] : made)
            if (QRegularExpression(
                    "^(state|frmmain|(txt|lbl(?!workingfolder)|cbo|Option|chk|lst).*)$")
                    .match(name)
                    .hasMatch())
                QCOMPARE(name + "=" + restored.at(name), name + "=" + shown);
        QVERIFY(!crashed.main.offerRecovery());
        crashed.main.close();
        QCOMPARE(QDir(folder).entryList({"*.txt"}), QStringList());
    }

    // While the new area's picture is being cut (here by a helper that
    // takes its time), the recovery file holds the new area with the imagery
    // and without the old area's picture, a state the window shows and a
    // restore cuts the picture for.
    void recoveryNeverPairsAnAreaWithAnotherAreasPicture() {
        Window w;
        w.run({"file geo #!/bin/bash\ncoproc real { exec " QUILLMAP4_GEO_PROGRAM
               " serve; }\nwhile IFS= read -r line; do\n  [ -n \"$late\" ] && sleep 3\n  "
               "late=1\n  echo \"$line\" >&${real[1]}\n  IFS= read -r reply <&${real[0]}\n  "
               "echo \"$reply\"\ndone",
               "executable geo", "helper " + w.dir.filePath("geo"), "txtcellx=123", "txtcelly=120",
               "txtareax=5", "txtareay=28", "reply " QUILLMAP4_SAMPLES "/harbour.tif",
               "mnuloadimagery", "mnugoeast"});
        QTRY_VERIFY_WITH_TIMEOUT(Window::read(w.fake.recovery, "txtareax=6", "recovery-*.txt"),
                                 2500);
        QVERIFY(Window::read(w.fake.recovery,
                             "Picture=\r\nImagery=" QUILLMAP4_SAMPLES "/harbour.tif",
                             "recovery-*.txt"));
    }

    // A long message ends in "..." before the working folder; zooming out
    // gives the room a zoom took back to the lists.
    void statusAndPaneGiveWay() {
        Window w;
        w.main.resize(1600, 1000);
        w.run({"Alt+D", "mnuzoomin", "mnuzoomin", "mnuzoomin", "mnuzoomactual"});
        QVERIFY(w.main.findChild<QSplitter*>("drawsplitter")->sizes().at(0) < 300);
        w.main.resize(700, 450);
        w.main.statusBar()->showMessage(QString(300, u'W'));
        const QImage bar = w.main.statusBar()->grab().toImage();
        const int folder = w.main.findChild<QLabel*>("lblworkingfolder")->x();
        for (int x = folder - 5; x < folder; ++x)
            for (int y = 0; y < bar.height(); ++y)
                QVERIFY2(qGray(bar.pixel(x, y)) > 128, qPrintable(QString::number(x)));
    }

    // A session script that cannot be read ends the program with status 2.
    void unreadableScriptFailsTheStart() {
        QTemporaryDir home;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_STATE_HOME", home.path());
        program.setProcessEnvironment(env);
        program.start(QUILLMAP4_PROGRAM, {"--script", home.filePath("missing.txt")});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().contains("cannot read the script"));
    }

    // The recent list holds each project once, however its path was written,
    // and tells two projects of the same name apart by their folders.
    void recentProjectsOnceEachAndToldApart() {
        Window w;
        w.run({"file a/x x", "file b/x x", "txtprojectname=Bay", "reply " + w.dir.filePath("a/Bay"),
               "mnusaveproject", "reply " + w.dir.filePath("b/Bay"), "mnusaveproject",
               "reply " + w.dir.filePath("b/../a/Bay.dat"), "mnuopenproject"});
        QStringList shown;
        for (const char* name : {"mnurecent1", "mnurecent2", "mnurecent3"})
            if (auto* entry = w.main.findChild<QAction*>(name); entry->isVisible())
                shown << entry->text();
        QCOMPARE(shown, QStringList({"&1 Bay.dat  (" + w.dir.filePath("a") + ")",
                                     "&2 Bay.dat  (" + w.dir.filePath("b") + ")"}));
    }

    // The recovery file follows a change within about a second, not at once.
    void recoveryFileFollowsAChange() {
        Window w;
        w.run({"txtprojectname=Quay"});
        QVERIFY(!Window::read(w.fake.recovery, "Quay", "recovery-*.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(Window::read(w.fake.recovery, "Quay", "recovery-*.txt"), 2500);
    }

    // Fit to Window shows the largest whole zoom that the window has room for,
    // follows the window as it is resized, and ends with a zoom by hand.
    void fitToWindowFollowsTheWindow() {
        Window w;
        auto* picture = w.main.findChild<PictureView*>("Picture1");
        auto* fit = w.main.findChild<QAction*>("mnuzoomfit");
        QVERIFY(!fit->isChecked());  // a fresh profile starts at 1x
        w.run({"Alt+D"});
        for (const auto& [size, zoom] :
             {std::pair{QSize(1600, 1000), 3}, {QSize(900, 600), 1}, {QSize(1300, 860), 2}}) {
            w.main.resize(size);
            if (!fit->isChecked()) fit->trigger();
            QTRY_COMPARE(picture->zoom(), zoom);
            // The picture shows whole, without scroll bars.
            QWidget* shown = w.main.findChild<QScrollArea*>("picturescroll")->viewport();
            QTRY_VERIFY(shown->width() >= 256 * zoom && shown->height() >= 256 * zoom);
        }
        w.run({"mnuzoomin"});
        QVERIFY(!fit->isChecked());
        QCOMPARE(picture->zoom(), 3);
        QCOMPARE(w.fake.ini.value("view/fitToWindow").toBool(), false);
    }

    // A first start opens the window just large enough to show every tab
    // whole (no larger than the screen); the window comes back as large as it
    // was closed; building it leaves the application's font as it was.
    void windowOpensWholeAndComesBackAsLeft() {
        const QFont before = QApplication::font();
        Window w;
        QCOMPARE(QApplication::font(), before);
        const QSize screen = w.main.screen()->availableGeometry().size();
        QCOMPARE(w.main.size(), w.main.sizeHint().boundedTo(screen * 0.95));
        w.main.resize(w.main.sizeHint());
        auto* tabs = w.main.findChild<QTabWidget*>("SSTab1");
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QApplication::processEvents();
            auto* page = qobject_cast<QScrollArea*>(tabs->widget(tab));
            const QSize shown = page->viewport()->size(), whole = page->widget()->sizeHint();
            QVERIFY2(shown.width() >= whole.width() && shown.height() >= whole.height(),
                     qPrintable(QStringLiteral("tab %1: %2x%3 shown of %4x%5")
                                    .arg(tab)
                                    .arg(shown.width())
                                    .arg(shown.height())
                                    .arg(whole.width())
                                    .arg(whole.height())));
        }
        w.main.resize(700, 450);
        QVERIFY(w.main.close());
        w.fake.ini.sync();
        MainWindow again(std::make_unique<FakeServices>(w.fake.home, w.dir.path()));
        QCOMPARE(again.size(), QSize(700, 450));
    }

    // The insert box wraps its long prompt to fit a small screen; the window
    // opens no larger than the screen, never shrinks below a usable size and
    // never squeezes the picture or the coordinate texts.
    void windowAndBoxesFitTheScreen() {
        int boxWidth = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            boxWidth = box->frameGeometry().width();
            box->reject();
        });
        DesktopServices().inputText(nullptr, "Quillmap4", qm4::kInsertPrompt, "");
        QVERIFY2(boxWidth > 0 && boxWidth <= 1024, qPrintable(QString::number(boxWidth)));
        // Every answer to a question has its access key.
        QStringList answers;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            for (QAbstractButton* button : box->buttons()) answers << button->text();
            box->reject();
        });
        DesktopServices().ask(nullptr, "Quillmap4", "Save?",
                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                              QMessageBox::Save);
        answers.sort();
        QCOMPARE(answers.join(' '), "&Cancel &Discard &Save");
        Window w;
        const QSize screen = w.main.screen()->availableGeometry().size();
        QVERIFY(w.main.frameGeometry().width() <= screen.width() &&
                w.main.frameGeometry().height() <= screen.height());
        w.main.resize(100, 100);
        QVERIFY(w.main.width() >= 480 && w.main.height() >= 360);
        w.main.resize(640, 480);
        w.run({"move 10,20"});
        QApplication::processEvents();
        const QSize view = w.main.findChild<QScrollArea*>("picturescroll")->viewport()->size();
        QVERIFY2(view.width() >= 256 && view.height() >= 256,
                 qPrintable(QString::number(view.width())));
        for (const char* name : {"lblx", "lbly", "lblvtp2x", "lblvtp2y"}) {
            auto* label = w.main.findChild<QLabel*>(name);
            QVERIFY2(label->contentsRect().height() >= label->fontMetrics().height(), name);
        }
    }

    // A list shows its newest line after a press, unless the author has
    // scrolled away to read.
    void listsFollowTheirNewestLine() {
        Window w;
        auto* list = w.main.findChild<QListWidget*>("lstLWM");
        const auto shown = [&](int row) {
            return list->viewport()->rect().intersects(list->visualItemRect(list->item(row)));
        };
        for (int i = 0; i < 60; ++i) w.run({"press 10," + QString::number(i)});
        QVERIFY(shown(59) && !shown(0));
        list->scrollToTop();
        w.run({"press 20,20"});
        QVERIFY(shown(0) && !shown(60));
    }

    // Access keys bring tabs to the front and press buttons.
    void accessKeysReachTabsAndButtons() {
        Window w;
        w.run({"Alt+D"});
        QCOMPARE(w.main.findChild<QTabWidget*>("SSTab1")->currentIndex(), 2);
        w.run({"Alt+G", "Alt+C"});
        QTRY_COMPARE(w.snapshot()["txtcellx"], "384");  // an access key clicks a moment later
    }

    // Every menu entry of the window can be reached from the menu bar.
    void everyEntryIsInAMenu() {
        Window w;
        QStringList inMenus, missing;
        for (QMenu* menu : w.main.menuBar()->findChildren<QMenu*>())
            for (QAction* entry : menu->actions()) inMenus << entry->objectName();
        for (QAction* entry : w.main.findChildren<QAction*>())
            if (entry->objectName().startsWith("mnu") && !inMenus.contains(entry->objectName()) &&
                entry->objectName() != "mnuspace")
                missing << entry->objectName();
        QCOMPARE(missing, QStringList());
    }

    // The pure decisions of the real desktop services.
    void desktopServicesDecideWithoutStartingAnything() {
        QCOMPARE(qtNameFilter({{"Pictures (*.bmp;*.jpg)", "*.bmp;*.jpg"}, {"Text", "*.txt"}}),
                 "Pictures (*.bmp;*.jpg) (*.bmp *.jpg);;Text (*.txt)");
        const auto opener = documentOpener("/q/Help.htm", true, "/bin/xdg-open");
        QCOMPARE(opener->program + " " + opener->arguments.join(u' '), "/bin/xdg-open /q/Help.htm");
        QVERIFY(!documentOpener("/q/Help.htm", false, "/bin/xdg-open"));
        QVERIFY(!documentOpener("/q/Help.htm", true, ""));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
