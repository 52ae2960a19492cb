// Benchmarks of the real main window at scale: a mouse press and a mouse
// move sent to Picture1, with both lists holding 0, 1,000 and 32,000 lines;
// a frame of the region map over a cell with 1,000 areas coloured and their
// traces; and a step of a drag on the map while its GIS helper is busy.
// Each event is followed by the event processing it causes (list layout and
// painting of the shown window), so the time is what the user waits for.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <map>
#include <memory>

#include "map_batch.h"
#include "project/points_file.h"
#include "ui/main_window.h"
#include "ui/platform_services.h"
#include "ui/region_map.h"
#include "ui/region_view.h"

namespace {

// Presses between two trims of the lists back to their benchmark size.
constexpr int kPressesPerBatch = 64;

// A desktop that answers nothing: no dialog may appear while measuring, and
// nothing is written outside a temporary folder.
class SilentDesktop : public DesktopServices {
  public:
    void showMessage(QWidget*, QMessageBox::Icon, const QString&, const QString&) override {}
    QString inputText(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QMessageBox::StandardButton ask(QWidget*, const QString&, const QString&,
                                    QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton) override {
        return QMessageBox::Discard;
    }
    QString openFileName(QWidget*, const QString&, const QList<FileFilter>&,
                         const QString&) override {
        return {};
    }
    QString saveFileName(QWidget*, const QString&, const FileFilter&, const QString&) override {
        return {};
    }
    QString existingFolder(QWidget*, const QString&, const QString&) override { return {}; }
    bool startDetached(const QString&, const QStringList&) override { return false; }
    bool openDocument(const QString&) override { return true; }
    QString programFolder() const override { return folder_.path(); }
    QString geoHelperProgram() const override { return helper; }
    QString helper = QUILLMAP4_GEO_PROGRAM;
    QString documentsFolder() const override { return folder_.path(); }
    QString recoveryFolder() const override { return folder_.path() + "/recovery"; }
    QStringList dataFolders() const override { return {}; }
    QSettings& settings() override { return settings_; }
    RegistryReader& registry() override { return registry_; }

  private:
    QTemporaryDir folder_;
    QSettings settings_{folder_.filePath("settings.ini"), QSettings::IniFormat};
    NoRegistry registry_;
};

template <class T>
T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no child named %s", name);
    return found;
}

// A shown window on its "Draw Data Points" tab, in Poly mode so that every
// press adds exactly one line to each list.
class DrawingWindow {
  public:
    explicit DrawingWindow(int lines) : window_(std::make_unique<SilentDesktop>()) {
        picture_ = child<QWidget>(&window_, "Picture1");
        lwm_ = child<QListWidget>(&window_, "lstLWM");
        vtp_ = child<QListWidget>(&window_, "lstVTP");
        removeLwm_ = child<QPushButton>(&window_, "cmdlwmclearlistitem");
        removeVtp_ = child<QPushButton>(&window_, "cmdvtpclearitem");
        child<QRadioButton>(&window_, "Option3")->setChecked(true);
        auto* tabs = child<QTabWidget>(&window_, "SSTab1");
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(picture_)) tabs->setCurrentIndex(i);
        }
        window_.show();
        QApplication::processEvents();
        for (int i = 0; i < lines; ++i) press(QPointF(i % 256, 100));
        QApplication::processEvents();
        lines_ = lines;
        if (lwm_->count() != lines || vtp_->count() != lines) qFatal("the lists did not fill");
    }

    void press(QPointF at) {
        QMouseEvent event(QEvent::MouseButtonPress, at, picture_->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(picture_, &event);
    }

    void move(QPointF at) {
        QMouseEvent event(QEvent::MouseMove, at, picture_->mapToGlobal(at), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(picture_, &event);
    }

    // Removes the lines added since the window was filled, through the
    // window's own Remove buttons.
    void trim() {
        for (auto [list, remove] : {std::pair{lwm_, removeLwm_}, std::pair{vtp_, removeVtp_}}) {
            while (list->count() > lines_) {
                list->setCurrentRow(list->count() - 1);
                remove->click();
            }
        }
        QApplication::processEvents();
    }

    int lines() const { return lwm_->count(); }

  private:
    MainWindow window_;
    QWidget* picture_ = nullptr;
    QListWidget* lwm_ = nullptr;
    QListWidget* vtp_ = nullptr;
    QPushButton* removeLwm_ = nullptr;
    QPushButton* removeVtp_ = nullptr;
    int lines_ = 0;
};

// Filling a window with 32,000 presses takes a while, so each size is built
// once and kept for every run of the benchmarks.
std::map<int, std::unique_ptr<DrawingWindow>>& windowCache() {
    static std::map<int, std::unique_ptr<DrawingWindow>> windows;
    return windows;
}

DrawingWindow& windowWith(int lines) {
    auto& window = windowCache()[lines];
    if (!window) window = std::make_unique<DrawingWindow>(lines);
    return *window;
}

void BM_WindowPress(benchmark::State& state) {
    DrawingWindow& window = windowWith(static_cast<int>(state.range(0)));
    int pressed = 0;
    for (auto _ : state) {
        window.press(QPointF(100, 150));
        QApplication::processEvents();
        if (++pressed == kPressesPerBatch) {
            state.PauseTiming();
            window.trim();
            pressed = 0;
            state.ResumeTiming();
        }
    }
    window.trim();
    state.counters["lines"] = window.lines();
}
BENCHMARK(BM_WindowPress)->Arg(0)->Arg(1000)->Arg(32000)->Unit(benchmark::kMicrosecond);

void BM_WindowMove(benchmark::State& state) {
    DrawingWindow& window = windowWith(static_cast<int>(state.range(0)));
    int x = 0;
    for (auto _ : state) {
        window.move(QPointF(x, 150));
        QApplication::processEvents();
        x = (x + 1) % 256;
    }
    state.counters["lines"] = window.lines();
}
BENCHMARK(BM_WindowMove)->Arg(0)->Arg(1000)->Arg(32000)->Unit(benchmark::kMicrosecond);

// One frame of the map, 800 x 800 pixels, over cell 123, 120: a whole cell
// (25 pixels an area) or four areas across (200), with the batch (shores or
// scribbles), imagery tiles under all the view shows and a coastline of
// 4,000 points. A steady frame (a hover, the helper's answer) finds the
// batch's tiles drawn; when zooming, each frame is at another scale from
// the last, as at each notch of the wheel, and draws them all anew.
void BM_MapFrame(benchmark::State& state) {
    RegionView view;
    view.resize(800, 800);
    view.show();
    QApplication::processEvents();
    view.setView({{3952, 3856}, double(state.range(1)), 0, 0});
    auto [areas, traces] = cellBatch(static_cast<int>(state.range(0)), state.range(2) == 1);
    view.setBatch(std::move(areas), std::move(traces));
    RegionLayers& layers = view.layers();
    layers.currentArea = qm4::AreaNumbers{123, 120, 5, 28};
    QImage ground(qm4::kTilePixels, qm4::kTilePixels, QImage::Format_RGB32);
    for (int y = 0; y < ground.height(); ++y)
        for (int x = 0; x < ground.width(); ++x) ground.setPixel(x, y, qRgb(x / 2, y / 2, 90));
    for (const qm4::MapTile& tile : qm4::tilesFor(view.view()))
        layers.imagery.push_back({ground, qm4::tilePicture(tile)});
    layers.outlines.emplace_back();
    for (int k = 0; k < 4000; ++k)
        layers.outlines.back().push_back({3936 + k * 0.008, 3856 + 8 * std::sin(k / 100.0)});
    const bool zooming = state.range(3) == 1;
    qm4::MapView other = view.view();
    other.scale *= 1.4142135623730951;  // a notch of the wheel
    for (auto _ : state) {
        if (zooming) {
            const qm4::MapView next = other;
            other = view.view();
            view.setView(next);
        }
        view.repaint();
    }
    state.counters["areas"] = static_cast<double>(layers.outcomes.all().size());
}
BENCHMARK(BM_MapFrame)
    ->ArgNames({"points", "scale", "scribbles", "zooming"})
    ->Args({50, 25, 0, 0})
    ->Args({250, 25, 0, 0})
    ->Args({250, 200, 0, 0})
    ->Args({250, 25, 1, 0})
    ->Args({50, 25, 0, 1})
    ->Args({250, 25, 0, 1})
    ->Args({250, 200, 0, 1})
    ->Args({250, 25, 1, 1})
    ->Unit(benchmark::kMillisecond);

// A step of a drag on the map (the event, the requests for the new view, the
// frame), with the project's imagery to cut and the batch above, while the
// map's GIS helper takes requests and never answers.
void BM_MapDragWhileTheHelperIsBusy(benchmark::State& state) {
    QTemporaryDir folder;
    const QString silent = folder.filePath("silent-helper.sh");
    QFile script(silent);
    if (!script.open(QIODevice::WriteOnly)) qFatal("cannot write the helper");
    QTextStream(&script) << "#!/bin/sh\nexec cat > /dev/null\n";
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    qm4::ProjectState s;
    std::tie(s.txtcellx, s.txtcelly, s.txtareax, s.txtareay) = std::tuple("123", "120", "5", "28");
    s.imagery = folder.filePath("imagery.tif").toStdString();
    const QString project = folder.filePath("Bay.dat");
    // With its picture, so that the window's own cut does not hold the
    // silent helper: only the map's requests wait on it.
    const QString picture = folder.filePath("Bay.bmp");
    QImage(256, 256, QImage::Format_RGB32).save(picture);
    if (!qm4::saveProject(project.toStdString(), s, picture.toStdString()))
        qFatal("cannot write the project");

    auto desktop = std::make_unique<SilentDesktop>();
    desktop->helper = silent;
    MainWindow window(std::move(desktop));
    window.show();
    window.openProject(project);
    child<QAction>(&window, "mnuregionmap")->trigger();
    auto [areas, traces] = cellBatch(250, false);
    window.findChild<RegionMap*>()->showBatch(std::move(areas), std::move(traces));
    QWidget* map = child<QWidget>(&window, "frmRegion");
    map->window()->resize(map->window()->size() + QSize(800, 800) - map->size());
    QApplication::processEvents();
    const auto mouse = [map](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, map->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(map, &event);
    };
    mouse(QEvent::MouseButtonPress, {400, 400}, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        // Back and forth over a cell's width, so that new tiles keep coming into view.
        const double x = 400 + 12 * ((step / 32) % 2 ? 32 - step % 32 : step % 32);
        mouse(QEvent::MouseMove, {x, 400}, Qt::LeftButton);
        QApplication::processEvents();
        ++step;
    }
    mouse(QEvent::MouseButtonRelease, {400, 400}, Qt::NoButton);
}
BENCHMARK(BM_MapDragWhileTheHelperIsBusy)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windowCache().clear();  // the windows go before the application object
    return 0;
}
