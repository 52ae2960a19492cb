// The batch's event lines, written whole under a lock and flushed one by one.
#include "geo/batch_events.h"

#include <algorithm>
#include <ostream>

#include "geo/batch_area.h"
#include "geo/geo_requests.h"
#include "project/project_file.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;

// The project file in the folder, absolute; "" for none (no folder: every
// piece of the area was dropped, or it failed before any was written). The
// batch puts one project in each folder.
std::string projectIn(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (hasExtension(it->path().filename().string(), ".dat") && it->is_regular_file(ec))
            return fs::absolute(it->path()).lexically_normal().string();
    return "";
}

}  // namespace

void BatchEvents::progress(double part) {
    const std::lock_guard lock(mutex_);
    progressLine(part);
}

std::unique_ptr<Heartbeat> BatchEvents::paced(std::function<double()> part) {
    progress(part());
    return std::make_unique<Heartbeat>(std::chrono::milliseconds(500),
                                       [this, part] { progress(part()); });
}

void BatchEvents::area(GridArea area, const std::vector<SummaryRow>& rows, const fs::path& out,
                       double part) {
    const std::string name = areaFolderName(area);
    const std::string& outcome =
        std::min_element(rows.begin(), rows.end(), beforeInSummary)->outcome;
    const std::string project = projectIn(out / name);
    const std::lock_guard lock(mutex_);
    line("{\"area\":" + jsonString(name) + ",\"cell\":[" + std::to_string(area.x / 32) + "," +
         std::to_string(area.y / 32) + "],\"at\":[" + std::to_string(area.x % 32) + "," +
         std::to_string(area.y % 32) +
         "],\"outcome\":" + jsonString(outcome.substr(0, outcome.find_first_of(",:; "))) +
         ",\"project\":" + jsonString(project) + "}");
    if (part >= shown_ + 0.01) progressLine(part);
}

void BatchEvents::progressLine(double part) {
    shown_ = part;
    line("{\"progress\":" + jsonNumber(part) + "}");
}

void BatchEvents::line(const std::string& text) { out_ << text << '\n' << std::flush; }

}  // namespace qm4::geo
