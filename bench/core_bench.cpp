// Benchmarks of the core at scale: a capture press and a mouse move over
// lists of 0, 1,000 and 32,000 lines, both source texts and files at 32,767
// list lines against one plain write of the same bytes, and a project save
// and open.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "capture/capture.h"
#include "model/expected.h"
#include "project/points_file.h"
#include "source/source_writers.h"
#include "textio/text_file.h"

namespace {

constexpr std::size_t kLongestList = 32767;

// The presses between two truncations of the lists: few enough that the list
// size stays what the benchmark says, many enough that the pause costs little.
constexpr std::size_t kPressesPerBatch = 64;

const qm4::FillXYErrorHandler kNoErrors = [](const qm4::FillXYError&) { std::abort(); };

// A polygon under way: a located area and both lists holding `lines`
// captured points.
qm4::ProjectState drawingProject(std::size_t lines) {
    qm4::ProjectState s;
    s.txtprojectname = "Harbour";
    s.txtauthorname = "A. Builder";
    s.txtcomments = "Quay roads";
    s.txtlatdeg = "47";
    s.txtlatmin = "30.00";
    s.txtlongdeg = "-122";
    s.txtlongmin = "15.50";
    s.txtcellx = "123";
    s.txtcelly = "120";
    s.txtareax = "5";
    s.txtareay = "28";
    s.txtaltitude = "0";
    s.Option1 = true;
    s.Option2 = false;
    s.Option3 = true;  // Poly: every press adds one line to each list, whatever came before
    s.Option4 = false;
    s.cbovtptype = "\"1135\"  ;asphalt / 1 lane";
    s.cbolayer = "4";
    s.txtvtplinewidth = "12";
    for (std::size_t i = 0; i < lines; ++i) {
        const std::string x = std::to_string(i % 256);
        s.lstLWM.lines.push_back("LWMPoint  " + x + ",  20");
        s.lstVTP.lines.push_back("VTPPointXY2  " + std::to_string(5355 + i % 256) + ",  11220");
    }
    // The largest counts the writers take.
    s.txtlwmnumber = "255";
    s.txtvtpnumber = "255";
    return s;
}

void BM_Press(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    qm4::ProjectState s = drawingProject(lines);
    std::size_t pressed = 0;
    for (auto _ : state) {
        const qm4::PressResult result =
            qm4::Picture1_MouseDown(s, 100.0f, 150.0f, qm4::ClientSize{}, kNoErrors);
        benchmark::DoNotOptimize(result);
        if (++pressed == kPressesPerBatch) {
            state.PauseTiming();
            s.lstLWM.lines.resize(lines);
            s.lstVTP.lines.resize(lines);
            pressed = 0;
            state.ResumeTiming();
        }
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_Press)->Arg(0)->Arg(1000)->Arg(32000);

void BM_Move(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    qm4::ProjectState s = drawingProject(lines);
    float x = 0;
    for (auto _ : state) {
        qm4::Picture1_MouseMove(s, x, 150.0f, qm4::ClientSize{}, kNoErrors);
        x = x < 255 ? x + 1 : 0;
        benchmark::DoNotOptimize(s.lblx);
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_Move)->Arg(0)->Arg(1000)->Arg(32000);

void BM_LwmSourceText(benchmark::State& state) {
    const qm4::ProjectState s = drawingProject(kLongestList);
    for (auto _ : state) benchmark::DoNotOptimize(qm4::lwmSourceText(s));
}
BENCHMARK(BM_LwmSourceText)->Unit(benchmark::kMillisecond);

void BM_VtpSourceText(benchmark::State& state) {
    const qm4::ProjectState s = drawingProject(kLongestList);
    for (auto _ : state) benchmark::DoNotOptimize(qm4::vtpSourceText(s));
}
BENCHMARK(BM_VtpSourceText)->Unit(benchmark::kMillisecond);

// A folder of this process's own under the system's temporary folder; each
// benchmark that writes removes it when it ends.
std::filesystem::path benchFolder() {
    const auto path =
        std::filesystem::temp_directory_path() / ("quillmap4-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
}

template <class T>
void requireOk(const qm4::Expected<T>& status, benchmark::State& state) {
    if (!status) state.SkipWithError(status.error().message.c_str());
}

// The same bytes written the plainest durable way: one write into the file
// itself, its data flushed, the folder synced. The program's write adds the
// temporary file, its permissions and the rename.
void plainDurableWrite(const std::filesystem::path& file, const std::string& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::fdatasync(fd);
    ::close(fd);
    const int folder = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(folder);
    ::close(folder);
}

// The program's write, then the same bytes written by plainDurableWrite into
// the same folder. The benchmark's time is the program's write; "plain_ms" is
// the plain write and "ratio" the quotient over the whole run, so both come
// from the same moments and disk state. With text, the program's write
// builds the source text too, as Create Source does; without, it writes the
// finished bytes through writeFileAtomically.
void againstPlainWrite(benchmark::State& state, bool lwm, bool withText) {
    const std::filesystem::path folder = benchFolder();
    const qm4::ProjectState s = drawingProject(kLongestList);
    const auto text = lwm ? qm4::lwmSourceText(s) : qm4::vtpSourceText(s);
    if (!text) {
        state.SkipWithError(text.error().message.c_str());
        return;
    }
    const std::string bytes = qm4::toWindows1252(*text);
    const std::filesystem::path plainPath = folder / "plain.asm";
    const std::string path = (folder / "LWMSource.asm").string();
    using Clock = std::chrono::steady_clock;
    Clock::duration program{}, plain{};
    for (auto _ : state) {
        const auto start = Clock::now();
        if (withText)
            requireOk(lwm ? qm4::createlwm(s, folder.string()) : qm4::createvtp(s, folder.string()),
                      state);
        else
            requireOk(qm4::writeFileAtomically(path, bytes), state);
        const auto written = Clock::now();
        plainDurableWrite(plainPath, bytes);
        const auto end = Clock::now();
        program += written - start;
        plain += end - written;
        state.SetIterationTime(std::chrono::duration<double>(written - start).count());
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["plain_ms"] =
        std::chrono::duration<double, std::milli>(plain).count() / iterations;
    state.counters["ratio"] = std::chrono::duration<double>(program).count() /
                              std::chrono::duration<double>(plain).count();
    std::filesystem::remove_all(folder);
}

void BM_DurableWriteAgainstPlainWrite(benchmark::State& state) {
    againstPlainWrite(state, true, false);
}
BENCHMARK(BM_DurableWriteAgainstPlainWrite)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CreatelwmAgainstPlainWrite(benchmark::State& state) {
    againstPlainWrite(state, true, true);
}
BENCHMARK(BM_CreatelwmAgainstPlainWrite)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CreatevtpAgainstPlainWrite(benchmark::State& state) {
    againstPlainWrite(state, false, true);
}
BENCHMARK(BM_CreatevtpAgainstPlainWrite)->UseManualTime()->Unit(benchmark::kMillisecond);

// A project with both lists at the longest, saved as project and points
// files, and opened again.
void BM_SaveProject(benchmark::State& state) {
    const std::filesystem::path folder = benchFolder();
    const qm4::ProjectState s = drawingProject(static_cast<std::size_t>(state.range(0)));
    const std::string path = (folder / "Harbour.dat").string();
    for (auto _ : state) requireOk(qm4::saveProject(path, s, "/pictures/area.bmp"), state);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveProject)->Arg(0)->Arg(kLongestList)->Unit(benchmark::kMillisecond);

void BM_OpenProject(benchmark::State& state) {
    const std::filesystem::path folder = benchFolder();
    const std::string path = (folder / "Harbour.dat").string();
    requireOk(qm4::saveProject(path, drawingProject(static_cast<std::size_t>(state.range(0))),
                               "/pictures/area.bmp"),
              state);
    qm4::ProjectState s;
    for (auto _ : state) benchmark::DoNotOptimize(qm4::openProject(path, s));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_OpenProject)->Arg(0)->Arg(kLongestList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
