// The batch's run: the checks before the input is read, the features read
// once, the areas handed out to the jobs under a progress bar, the rows kept
// as each area is done, and batch.csv written at the end.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <set>
#include <thread>

#include "geo/batch.h"
#include "geo/batch_input.h"
#include "geo/batch_setup.h"
#include "geo/command_line.h"
#include "geo/heartbeat.h"
#include "geo/shape_import.h"
#include "model/numbers.h"
#include "textio/text_file.h"

namespace qm4::geo {
namespace {

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

using RowsByArea = std::map<std::string, std::vector<SummaryRow>>;

// The rows kept while the batch runs, beside batch.csv: every area's rows
// appended as a block once the area is done, so that a run stopped at any
// moment leaves what it did for the next run to carry forward.
class RowLog {
  public:
    explicit RowLog(std::string path) : path_(std::move(path)) {}

    // The rows a summary and the log beside it give, the log's last.
    RowsByArea earlier(const std::string& summary, std::ostream& err) const {
        RowsByArea rows;
        for (const std::string& path : {summary, path_}) {
            if (!isRegularFile(path)) continue;
            const auto text = readFileBytes(path, std::size_t{1} << 31);
            const auto read = text ? summaryByArea(*text) : Error{text.error().message};
            if (!read) {
                err << "quillmap4-geo batch: the rows of \"" << path
                    << "\" are not carried forward: " << read.error().message << '\n';
                continue;
            }
            for (const auto& [area, its] : *read) rows[area] = its;
        }
        return rows;
    }

    // Starts the log with the earlier rows, one block an area.
    Status start(const RowsByArea& earlier) {
        std::string text = std::string(kSummaryHeader) + "\n";
        for (const auto& [area, rows] : earlier) text += blockOf(rows);
        if (const Status written = writeFileAtomically(path_, text); !written) return written;
        file_.open(path_, std::ios::binary | std::ios::app);
        return okStatus();
    }

    void append(const std::vector<SummaryRow>& rows) {
        const std::lock_guard lock(mutex_);
        file_ << blockOf(rows) << std::flush;
    }

    // Whether every block went in.
    bool whole() {
        const std::lock_guard lock(mutex_);
        return file_.is_open() && file_.good();
    }

    void remove() {
        file_.close();
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }

  private:
    static std::string blockOf(const std::vector<SummaryRow>& rows) {
        std::string block;
        for (const SummaryRow& row : rows) block += summaryLine(row);
        return block + "\n";
    }

    std::string path_;
    std::ofstream file_;
    std::mutex mutex_;
};

struct Tally {
    long long written = 0, pieces = 0, dropped = 0, skipped = 0, failed = 0;
};

// The first failures on the terminal, so that their cause shows without
// opening the summary.
void reportFailures(std::vector<SummaryRow> rows, const std::string& listed, std::ostream& err) {
    constexpr int kShown = 5;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SummaryRow& a, const SummaryRow& b) { return a.area < b.area; });
    std::set<std::string> areas;
    for (const SummaryRow& row : rows) {
        if (!row.failed() || !areas.insert(row.area).second) continue;
        if (static_cast<int>(areas.size()) <= kShown)
            err << "quillmap4-geo batch: " << row.area << " " << row.outcome << '\n';
    }
    if (static_cast<int>(areas.size()) > kShown)
        err << "quillmap4-geo batch: " << areas.size() - kShown << " more areas failed; " << listed
            << " lists them all.\n";
}

}  // namespace

int shardOf(int areaX, int areaY, int shards) {
    std::uint64_t z = static_cast<std::uint64_t>(areaY) * 24576 +
                      static_cast<std::uint64_t>(areaX) + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<int>((z ^ (z >> 31)) % static_cast<std::uint64_t>(shards));
}

int runBatchWith(const BatchOptions& o, std::ostream& out, std::ostream& err) {
    const auto fail = [&](const std::string& message) {
        err << "quillmap4-geo batch: " << message << '\n';
        return 1;
    };
    const auto region = regionOf(o);
    if (!region) return fail(region.error().message);
    const auto settings = settingsOf(o);
    if (!settings) return fail(settings.error().message);
    if (const auto missing = missingFormOptions(settings->form); !missing.empty()) {
        std::string names;
        for (const std::string& option : missing) names += (names.empty() ? "" : ", ") + option;
        throw usageError("the sources need " + names +
                         ", which neither the command line nor a --template gives.");
    }
    if (const Status usable = checkOutFolder(o.out); !usable) return fail(usable.error().message);
    GridRange box{24576, 16384, 0, 0};
    for (const GridRange& r : region->ranges)
        box = {std::min(box.x0, r.x0), std::min(box.y0, r.y0), std::max(box.x1, r.x1),
               std::max(box.y1, r.y1)};
    const auto features = readBatchInput({o.file, o.layer, o.where}, box, region->listed, err);
    if (!features) return fail(features.error().message);
    if (const Status made = makeOutFolder(o.out); !made) return fail(made.error().message);

    const std::string summary =
        joinPath(o.out, o.shards == 1 ? "batch.csv"
                                      : "batch-shard-" + std::to_string(o.shard + 1) + "-of-" +
                                            std::to_string(o.shards) + ".csv");
    RowLog log(summary + ".partial");
    const RowsByArea earlier = log.earlier(summary, err);
    if (const Status started = log.start(earlier); !started) return fail(started.error().message);
    // From here the log holds the rows; a summary left from before would be stale.
    std::error_code ec;
    std::filesystem::remove(summary, ec);
    // One sync of the file system at the end instead of one per file.
    setSyncEachFile(false);
    std::mutex rowsMutex;
    std::vector<SummaryRow> rows;
    Tally tally;
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
        if (made.empty()) return;
        const bool skipped = made.front().outcome.starts_with("skipped");
        if (const auto before = earlier.find(made.front().area); skipped && before != earlier.end())
            made = before->second;
        log.append(made);
        const std::lock_guard lock(rowsMutex);
        Tally area;
        for (const SummaryRow& row : made) {
            area.pieces += !skipped && row.outcome.starts_with("written");
            area.dropped += !skipped && row.outcome.starts_with("dropped");
            area.failed = area.failed || row.failed();
        }
        tally.written += area.pieces > 0 && !area.failed;
        written += area.pieces > 0 && !area.failed;
        tally.pieces += area.pieces, tally.dropped += area.dropped;
        tally.skipped += skipped, tally.failed += !skipped && area.failed;
        rows.insert(rows.end(), made.begin(), made.end());
    };
    {
        const ProgressBar bar(err, done, region->count(), written);
        // What the jobs wrote goes to the disk while they go on, so that the
        // one sync at the end, which no job can share, finds little left.
        const Heartbeat flusher(std::chrono::milliseconds(500), [&] { syncFileSystem(o.out); });
        for (const GridRange& range : region->ranges)
            splitOverAreas(*features, range, o.jobs, work);
    }
    const bool logged = log.whole();
    const Status summarised = writeFileAtomically(summary, summaryText(rows));
    if (summarised) log.remove();
    const Status synced = syncFileSystem(o.out);
    setSyncEachFile(true);
    const std::string listed = summarised ? summary : summary + ".partial";
    reportFailures(rows, listed, err);
    out << tally.written << " areas written (" << tally.pieces << " pieces"
        << (tally.dropped ? ", " + std::to_string(tally.dropped) + " dropped" : "") << "), "
        << tally.skipped << " skipped as written before, " << tally.failed << " failed; "
        << features->size() << (features->size() == 1 ? " feature" : " features") << " read. "
        << (summarised ? "Summary: " + summary : "No summary was written.") << '\n';
    if (!summarised)
        return fail(summarised.error().message + " The rows of this run " +
                    (logged ? "are in \"" + listed + "\", which the next run carries forward."
                            : "could not all be kept either."));
    if (!synced) return fail(synced.error().message);
    return tally.failed == 0 ? 0 : 1;
}

}  // namespace qm4::geo
