// The batch's command line, its checks on the input, the features read
// once, the areas handed out to the jobs, the progress bar and batch.csv.
#include "geo/batch.h"

#include <unistd.h>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "geo/batch_area.h"
#include "geo/batch_input.h"
#include "geo/heartbeat.h"
#include "model/numbers.h"
#include "project/project_file.h"
#include "textio/text_file.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "Usage: quillmap4-geo batch FILE (--region SOUTH,WEST,NORTH,EAST | --areas LIST) --out DIR\n"
    "                           [options]\n"
    "For every area that a feature of FILE meets, and each piece of the feature there, a\n"
    "folder DIR/CELLX_CELLY_AREAX_AREAY (then _2, _3 for further pieces) with the project\n"
    "(NAME.dat and NAME.points), LWMSource.asm and VTPSource.asm, and DIR/batch.csv.\n"
    "  --layer NAME         only this layer (a name or a number from 0)\n"
    "  --where SQL          only the features this attribute filter takes\n"
    "  --region S,W,N,E     the region in degrees; every area it touches\n"
    "  --areas LIST         a file of areas, one a line: CELLX,CELLY,AREAX,AREAY\n"
    "  --out DIR            the output folder, made when missing\n"
    "  --template FILE.dat  the project fields from this project file\n"
    "  --name TEXT          the project name (default: the template's, else the folder's)\n"
    "  --author TEXT  --comments TEXT  --land | --water  --altitude N  --line | --poly\n"
    "  --land-class TEXT  --vector-type TEXT  --vtp-layer TEXT  --width N\n"
    "                       fields of the form, over the template's\n"
    "  --tolerance PIXELS   simplification (default 0); more for a piece over 255 points\n"
    "  --jobs N             areas in parallel (default: the cores)\n"
    "  --shard I/N          only the I-th of N shares of the areas (1 <= I <= N)\n"
    "  --force              redo areas written before (default: skip them)\n"
    "  --yes                allow a region wider than 180 or higher than 90 degrees\n"
    "  --compile            run the compiler on each source, as the window does, with\n"
    "  --compiler PATH  --runner TEXT  --compile-limit SECONDS\n"
    "                       over the window's settings\n";

struct UsageError {
    std::string message;
};

struct Options {
    std::string file, layer, where, areasFile, out, templateFile, region;
    std::map<std::string, std::string> fields;  // --author and the like
    std::optional<double> tolerance;
    int jobs = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    int shard = 0, shards = 1;
    bool force = false, yes = false, compile = false;
    std::optional<std::string> compiler, runner;
    std::optional<int> limit;
};

std::vector<double> numbersIn(const std::string& text, const std::string& option,
                              std::size_t count) {
    std::vector<double> numbers;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');) {
        const auto n = strictNumber(part);
        if (!n || !std::isfinite(*n)) break;
        numbers.push_back(*n);
    }
    if (numbers.size() != count || text.ends_with(','))
        throw UsageError{option + " takes " + std::to_string(count) +
                         " numbers separated by commas, not \"" + text + "\"."};
    return numbers;
}

int wholeNumber(const std::string& text, const std::string& option, int low, int high) {
    const auto n = strictNumber(text);
    if (!n || *n != std::floor(*n) || *n < low || *n > high)
        throw UsageError{option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"."};
    return static_cast<int>(*n);
}

Options parse(const std::vector<std::string>& args) {
    Options o;
    const std::set<std::string> fields = {"--name",      "--author",     "--comments",
                                          "--altitude",  "--land-class", "--vector-type",
                                          "--vtp-layer", "--width"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value."};
            return args[++i];
        };
        if (fields.count(a))
            o.fields[a] = value();
        else if (a == "--land" || a == "--water" || a == "--line" || a == "--poly")
            o.fields[a] = "";
        else if (a == "--layer")
            o.layer = value();
        else if (a == "--where")
            o.where = value();
        else if (a == "--region")
            o.region = value();
        else if (a == "--areas")
            o.areasFile = value();
        else if (a == "--out")
            o.out = value();
        else if (a == "--template")
            o.templateFile = value();
        else if (a == "--tolerance") {
            const auto t = strictNumber(value());
            if (!t || !(*t >= 0 && *t <= 50))
                throw UsageError{"--tolerance takes pixels from 0 to 50."};
            o.tolerance = *t;
        } else if (a == "--jobs")
            o.jobs = wholeNumber(value(), a, 1, 256);
        else if (a == "--shard") {
            const std::string v = value();
            const auto slash = v.find('/');
            if (slash == std::string::npos) throw UsageError{"--shard takes I/N, as 2/3."};
            o.shards = wholeNumber(v.substr(slash + 1), "--shard's N", 1, 100000);
            o.shard = wholeNumber(v.substr(0, slash), "--shard's I", 1, o.shards) - 1;
        } else if (a == "--force")
            o.force = true;
        else if (a == "--yes")
            o.yes = true;
        else if (a == "--compile")
            o.compile = true;
        else if (a == "--compiler")
            o.compiler = value();
        else if (a == "--runner")
            o.runner = value();
        else if (a == "--compile-limit")
            o.limit = wholeNumber(value(), a, 1, 3600);
        else if (!a.starts_with("--") && o.file.empty())
            o.file = a;
        else
            throw UsageError{"unexpected \"" + a + "\"."};
    }
    if (o.fields.count("--land") && o.fields.count("--water"))
        throw UsageError{"--land or --water, not both."};
    if (o.fields.count("--line") && o.fields.count("--poly"))
        throw UsageError{"--line or --poly, not both."};
    if (o.file.empty()) throw UsageError{"batch needs the vector FILE."};
    if (o.region.empty() == o.areasFile.empty())
        throw UsageError{"batch needs either --region or --areas."};
    if (o.out.empty()) throw UsageError{"batch needs --out DIR."};
    return o;
}

// The areas to make: a range of the grid, and which areas of it.
struct Region {
    GridRange range;
    AreaList listed;  // for --areas; empty: the whole range
};

Expected<Region> regionOf(const Options& o) {
    Region r;
    if (!o.region.empty()) {
        const auto n = numbersIn(o.region, "--region", 4);
        const double south = n[0], west = n[1], north = n[2], east = n[3];
        if (south < -90 || north > 90 || west < -180 || east > 180)
            return Error{
                "The region " + o.region +
                " reaches beyond the globe (latitudes -90 to 90, longitudes -180 to 180)."};
        if (!(north > south && east > west))
            return Error{"The region " + o.region +
                         " is empty: give SOUTH,WEST,NORTH,EAST with north above south and east "
                         "beyond west."};
        if ((east - west > 180 || north - south > 90) && !o.yes)
            return Error{"The region " + o.region +
                         " spans more than a hemisphere; add --yes to make every area in it."};
        r.range.x0 = static_cast<int>(std::floor((west + 180) / kAreaWidth));
        r.range.x1 = std::min(24576, static_cast<int>(std::ceil((east + 180) / kAreaWidth)));
        r.range.y0 = static_cast<int>(std::floor((90 - north) / kAreaHeight));
        r.range.y1 = std::min(16384, static_cast<int>(std::ceil((90 - south) / kAreaHeight)));
        return r;
    }
    const auto text = readFileBytes(o.areasFile, 64 << 20);
    if (!text) return text.error();
    int lineNumber = 0;
    for (std::string_view line : splitLines(*text)) {
        ++lineNumber;
        std::string numbers(line.substr(0, line.find('#')));
        for (char& c : numbers)
            if (c == ',' || c == '_' || c == ';' || c == '\t') c = ' ';
        std::istringstream in(numbers);
        int n[4];
        std::string rest;
        if (!(in >> std::ws) || in.eof()) continue;
        if (!(in >> n[0] >> n[1] >> n[2] >> n[3]) || (in >> rest) || n[0] < 0 || n[0] > 767 ||
            n[1] < 0 || n[1] > 511 || n[2] < 0 || n[2] > 31 || n[3] < 0 || n[3] > 31)
            return Error{
                "Line " + std::to_string(lineNumber) + " of \"" + o.areasFile +
                "\" is no area: give CELLX,CELLY,AREAX,AREAY, cells 0-767 and 0-511, areas 0-31."};
        r.listed.insert({n[0] * 32 + n[2], n[1] * 32 + n[3]});
    }
    if (r.listed.empty()) return Error{"\"" + o.areasFile + "\" lists no area."};
    r.range = {24576, 16384, 0, 0};
    for (const auto& [x, y] : r.listed) {
        r.range.x0 = std::min(r.range.x0, x), r.range.x1 = std::max(r.range.x1, x + 1);
        r.range.y0 = std::min(r.range.y0, y), r.range.y1 = std::max(r.range.y1, y + 1);
    }
    return r;
}

Expected<AreaSettings> settingsOf(const Options& o) {
    AreaSettings settings;
    settings.outFolder = o.out;
    settings.force = o.force;
    settings.tolerance = o.tolerance.value_or(0);
    ProjectState& s = settings.form;
    if (!o.templateFile.empty()) {
        const auto bytes = readFileBytes(o.templateFile, 1 << 20);
        if (!bytes) return bytes.error();
        const auto content = parseProjectFile(*bytes);
        if (!content) return Error{"\"" + o.templateFile + "\": " + content.error().message};
        applyProjectFile(s, *content);
        settings.projectName = s.txtprojectname;
    }
    for (const auto& [option, value] : o.fields) {
        if (option == "--name") settings.projectName = value;
        if (option == "--author") s.txtauthorname = value;
        if (option == "--comments") s.txtcomments = value;
        if (option == "--altitude") s.txtaltitude = value;
        if (option == "--land-class") s.cbolandclass = value;
        if (option == "--vector-type") s.cbovtptype = value;
        if (option == "--vtp-layer") s.cbolayer = value;
        if (option == "--width") s.txtvtplinewidth = value;
        if (option == "--land" || option == "--water")
            s.Option2 = !(s.Option1 = option == "--land");
        if (option == "--line" || option == "--poly") s.Option3 = !(s.Option4 = option == "--line");
    }
    if (o.compile) {
        CompilerSettings compiler;
        if (const auto ini = readFileBytes(windowSettingsPath(), 1 << 20))
            readCompilerSettings(*ini, compiler);
        if (o.compiler) compiler.compiler = *o.compiler;
        if (o.runner) compiler.runner = *o.runner;
        if (o.limit) compiler.limitSeconds = *o.limit;
        if (compiler.compiler.empty())
            return Error{
                "--compile needs a compiler: choose it in the window's Preferences or give "
                "--compiler."};
        settings.compile = compiler;
    }
    return settings;
}

// ext2/3/4 put a new folder in the block group of the folder that holds
// it, and every file in the group of its folder, so the thousands of area
// folders would crowd one group. Without a journal ext4 also will not
// reuse, for some minutes, an inode freed there, and steps over each one
// for every file it makes: after an earlier run's folders were removed,
// making a file then costs 0.2 to 0.3 ms instead of 0.02 ms. Marked as the
// top of a folder tree (as chattr +T does), the output folder has its
// subfolders spread over the groups as the file system root has. Other
// file systems refuse the mark, which costs nothing.
void spreadSubfolders(const std::string& folder) {
#ifdef __linux__
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && !(flags & FS_TOPDIR_FL)) {
        flags |= FS_TOPDIR_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
#else
    (void)folder;
#endif
}

Status checkOutFolder(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        return Error{"Cannot make the output folder \"" + folder +
                     "\": " + (ec ? ec.message() : "it is a file") + "."};
    spreadSubfolders(folder);
    const std::string probe = joinPath(folder, ".quillmap4-probe");
    const Status written = writeFileAtomically(probe, "");
    fs::remove(probe, ec);
    if (!written)
        return Error{"Cannot write in the output folder \"" + folder +
                     "\": " + written.error().message};
    return okStatus();
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string summaryText(std::vector<SummaryRow> rows) {
    std::sort(rows.begin(), rows.end(), [](const SummaryRow& a, const SummaryRow& b) {
        return std::tie(a.area, a.piece) < std::tie(b.area, b.piece);
    });
    std::string text = "area,piece,feature,points,tolerance,files,outcome\n";
    for (const SummaryRow& r : rows) {
        text += csvField(r.area) + "," + (r.piece ? std::to_string(r.piece) : "") + "," +
                csvField(r.feature) + "," +
                (r.piece ? std::to_string(r.points) + "," + decimalText(r.tolerance) : ",") + "," +
                csvField(r.files) + "," + csvField(r.outcome) + "\n";
    }
    return text;
}

std::string clock(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

// Redraws one line on the terminal four times a second until stopped.
class ProgressBar {
  public:
    ProgressBar(std::ostream& err, const std::atomic<long long>& done, long long total,
                const std::atomic<long long>& written)
        : err_(err), done_(done), total_(total), written_(written) {
        if (::isatty(STDERR_FILENO) && err.rdbuf() == std::cerr.rdbuf())
            thread_ = std::thread([this] { run(); });
    }
    ~ProgressBar() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        wake_.notify_all();
        thread_.join();
        draw();
        err_ << '\n';
    }

  private:
    void run() {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return stopped_; }))
            draw();
    }
    void draw() {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const double part =
            total_ > 0 ? static_cast<double>(done_) / static_cast<double>(total_) : 1;
        const int filled = static_cast<int>(part * 30);
        const double rate = static_cast<double>(done_) / std::max(seconds, 1e-3);
        err_ << "\r[" << std::string(filled, '#') << std::string(30 - filled, ' ') << "] " << done_
             << "/" << total_ << " areas, " << written_ << " written, " << std::lround(rate)
             << " areas/s, " << (part > 0 ? clock(seconds * (1 - part) / part) : std::string("?"))
             << " left  " << std::flush;
    }

    std::ostream& err_;
    const std::atomic<long long>& done_;
    long long total_;
    const std::atomic<long long>& written_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopped_ = false;
    std::thread thread_;
};

int run(const Options& o, std::ostream& out, std::ostream& err) {
    const auto region = regionOf(o);
    if (!region) {
        err << "quillmap4-geo batch: " << region.error().message << '\n';
        return 1;
    }
    const auto settings = settingsOf(o);
    if (!settings) {
        err << "quillmap4-geo batch: " << settings.error().message << '\n';
        return 1;
    }
    if (const Status ready = checkOutFolder(o.out); !ready) {
        err << "quillmap4-geo batch: " << ready.error().message << '\n';
        return 1;
    }
    const auto features =
        readBatchInput({o.file, o.layer, o.where}, region->range, region->listed, err);
    if (!features) {
        err << "quillmap4-geo batch: " << features.error().message << '\n';
        return 1;
    }
    // One sync of the file system at the end instead of one per file.
    setSyncEachFile(false);
    std::mutex rowsMutex;
    std::vector<SummaryRow> rows;
    std::atomic<long long> done{0}, written{0};
    SplitWork work;
    work.done = &done;
    work.wantedWithin = [&](const GridRange& range) { return listedWithin(region->listed, range); };
    work.wanted = [&](GridArea a) {
        return (region->listed.empty() || region->listed.count({a.x, a.y})) &&
               shardOf(a.x, a.y, o.shards) == o.shard;
    };
    work.area = [&](GridArea a, std::vector<NearArea>& near) {
        std::vector<SummaryRow> made = writeArea(*settings, a, near, *features);
        if (!made.empty() && !made.front().failed && made.front().piece != 0) ++written;
        std::lock_guard lock(rowsMutex);
        rows.insert(rows.end(), made.begin(), made.end());
    };
    {
        const ProgressBar bar(err, done, region->range.count(), written);
        // What the jobs wrote goes to the disk while they go on, so that the
        // one sync at the end, which no job can share, finds little left.
        const Heartbeat flusher(std::chrono::milliseconds(500), [&] { syncFileSystem(o.out); });
        splitOverAreas(*features, region->range, o.jobs, work);
    }
    const std::string summary =
        joinPath(o.out, o.shards == 1 ? "batch.csv"
                                      : "batch-shard-" + std::to_string(o.shard + 1) + "-of-" +
                                            std::to_string(o.shards) + ".csv");
    const Status summarised = writeFileAtomically(summary, summaryText(rows));
    const Status synced = syncFileSystem(o.out);
    setSyncEachFile(true);
    std::size_t pieces = 0, skipped = 0, failures = 0;
    for (const SummaryRow& r : rows) {
        pieces += r.piece != 0 && !r.failed;
        skipped += r.outcome.starts_with("skipped");
        failures += r.failed;
    }
    out << written << " areas written (" << pieces << " pieces), " << skipped
        << " skipped as written before, " << failures << " failed; " << features->size()
        << " features read. Summary: " << summary << '\n';
    if (!summarised || !synced) {
        err << "quillmap4-geo batch: "
            << (!summarised ? summarised.error().message : synced.error().message) << '\n';
        return 1;
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int shardOf(int areaX, int areaY, int shards) {
    std::uint64_t z = static_cast<std::uint64_t>(areaY) * 24576 +
                      static_cast<std::uint64_t>(areaX) + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<int>((z ^ (z >> 31)) % static_cast<std::uint64_t>(shards));
}

int runBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    try {
        if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
            out << kUsage;
            return 0;
        }
        return run(parse(arguments), out, err);
    } catch (const UsageError& e) {
        err << "quillmap4-geo batch: " << e.message << '\n' << kUsage;
        return 2;
    }
}

}  // namespace qm4::geo
