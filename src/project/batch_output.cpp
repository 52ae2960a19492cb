// Reading a batch's output: batch.csv, tolerant of a damaged file, and each
// written piece's project, its digest compared with the one the batch wrote.
#include "project/batch_output.h"

#include <filesystem>
#include <map>
#include <optional>

#include "project/batch_summary.h"
#include "project/points_file.h"
#include "project/project_file.h"
#include "textio/text_file.h"

namespace qm4 {
namespace {

namespace fs = std::filesystem;
using AreaRows = std::map<std::string, std::vector<SummaryRow>>;

constexpr std::size_t kMostProjectBytes = 256u << 20;

// "123_120_05_28": cell 123, 120, area 5, 28; nothing for any other text.
std::optional<AreaNumbers> areaNamed(const std::string& name) {
    int n[4] = {};
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t end = i < 3 ? name.find('_', at) : name.size();
        if (end == std::string::npos || end == at || end - at > 3) return std::nullopt;
        for (std::size_t c = at; c < end; ++c) {
            if (name[c] < '0' || name[c] > '9') return std::nullopt;
            n[i] = n[i] * 10 + (name[c] - '0');
        }
        at = end + 1;
    }
    if (n[0] > 767 || n[1] > 511 || n[2] > 31 || n[3] > 31) return std::nullopt;
    return AreaNumbers{n[0], n[1], n[2], n[3]};
}

std::optional<AreaOutcome> outcomeOf(const std::string& outcome) {
    const std::string word = outcome.substr(0, outcome.find_first_of(": ,"));
    if (word == "written" || word == "skipped") return AreaOutcome::Written;
    if (word == "dropped") return AreaOutcome::Dropped;
    if (word == "failed") return AreaOutcome::Failed;
    return std::nullopt;
}

// The project and points files a written piece's row names, in the output
// folder. A row that names any other folder than the piece's own (a summary
// edited to reach elsewhere) gives none.
std::optional<std::pair<std::string, std::string>> pieceFiles(const std::string& out,
                                                              const SummaryRow& row) {
    const std::size_t slash = row.files.find("/ ");
    const std::string folder = row.files.substr(0, slash);
    const std::string own = row.piece == 1 ? row.area : row.area + "_" + std::to_string(row.piece);
    if (slash == std::string::npos || folder != own) return std::nullopt;
    std::string project, points;
    for (std::size_t at = slash + 2; at < row.files.size();) {
        const std::size_t end = std::min(row.files.find(' ', at), row.files.size());
        const std::string name = row.files.substr(at, end - at);
        if (name.find_first_of("/\\") == std::string::npos && name != "..") {
            if (hasExtension(name, ".dat")) project = name;
            if (hasExtension(name, ".points")) points = name;
        }
        at = end + 1;
    }
    if (project.empty()) return std::nullopt;
    const fs::path base = fs::path(out) / folder;
    return std::pair((base / project).string(), points.empty() ? "" : (base / points).string());
}

// The summary's rows; a summary that does not read whole is read a line at
// a time after its header, each line that does not read counted.
AreaRows summaryRows(const std::string& text, BatchOutput& output) {
    auto whole = summaryByArea(text);
    if (whole) return std::move(*whole);
    const std::vector<std::string_view> lines = splitLines(text);
    const std::string header(lines.empty() ? std::string_view() : lines.front());
    if (const auto alone = summaryByArea(header); !alone) {
        output.error = alone.error().message;
        return {};
    }
    AreaRows rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        auto one = summaryByArea(header + "\n" + std::string(lines[i]));
        if (!one) ++output.unreadRows;
        for (auto& [area, its] : one ? *one : AreaRows())
            rows[area].insert(rows[area].end(), its.begin(), its.end());
    }
    return rows;
}

// Whether the piece is as the batch wrote it; its project shown to
// eachProject as it reads now.
bool pieceKept(const std::pair<std::string, std::string>& files, const SummaryRow& row,
               const std::function<void(const ProjectState&)>& eachProject, BatchOutput& output) {
    const auto project = readFileBytes(files.first, kMostProjectBytes);
    const auto points = files.second.empty() ? Expected<std::string>(std::string())
                                             : readFileBytes(files.second, kMostProjectBytes);
    if (!project || !points) {
        ++output.missing;
        return false;
    }
    if (eachProject) {
        const auto fields = parseProjectFile(*project);
        const auto lists = parsePointsFile(*points);
        ProjectState s;
        if (fields) applyProjectFile(s, *fields);
        if (lists) applyPoints(s, *lists);
        if (fields) eachProject(s);
    }
    return row.digest.empty() || savedDigest(*project, *points) == row.digest;
}

}  // namespace

std::string batchFolderOf(const std::string& projectPath) {
    const fs::path out = fs::path(projectPath).parent_path().parent_path();
    if (out.empty() || !isRegularFile((out / "batch.csv").string())) return {};
    return out.string();
}

BatchOutput readBatchOutput(const std::string& folder,
                            const std::function<void(const ProjectState&)>& eachProject) {
    BatchOutput output;
    const auto text = readFileBytes((fs::path(folder) / "batch.csv").string(), kMostProjectBytes);
    if (!text) {
        output.error = text.error().message;
        return output;
    }
    std::vector<BatchArea> areas;
    for (const auto& [name, rows] : summaryRows(*text, output)) {
        const auto numbers = areaNamed(name);
        bool failed = false, written = false, changed = false, known = false;
        BatchArea area;
        for (const SummaryRow& row : rows) {
            const auto outcome = outcomeOf(row.outcome);
            if (!numbers || !outcome) {
                ++output.unreadRows;
                continue;
            }
            known = true;
            failed = failed || outcome == AreaOutcome::Failed;
            if (outcome != AreaOutcome::Written) continue;
            written = true;
            // A piece skipped as written before may come without its files.
            const auto files = pieceFiles(folder, row);
            const bool skipped = row.outcome.starts_with("skipped");
            if (!files && !skipped) ++output.missing;
            if (!files) {
                changed = changed || !skipped;
                continue;
            }
            changed = !pieceKept(*files, row, eachProject, output) || changed;
            if (row.piece == 1 && isRegularFile(files->first)) area.project = files->first;
        }
        if (!known) continue;
        area.area = *numbers;
        area.outcome = failed    ? AreaOutcome::Failed
                       : changed ? AreaOutcome::Changed
                       : written ? AreaOutcome::Written
                                 : AreaOutcome::Dropped;
        areas.push_back(std::move(area));
    }
    output.areas = BatchAreas(std::move(areas));
    return output;
}

}  // namespace qm4
