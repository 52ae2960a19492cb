// Benchmarks of the real main window at scale: a mouse press and a mouse
// move sent to Picture1, with both lists holding 0, 1,000 and 32,000 lines.
// Each event is followed by the event processing it causes (list layout and
// painting of the shown window), so the time is what the user waits for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "ui/main_window.h"
#include "ui/platform_services.h"

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
