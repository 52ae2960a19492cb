// An area's pieces simplified until they fit a source, pressed, and written.
#include "geo/batch_area.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "capture/shape_presses.h"
#include "geo/area_pieces.h"
#include "model/calculate.h"
#include "model/numbers.h"
#include "model/position_text.h"
#include "project/points_file.h"
#include "project/project_file.h"
#include "source/source_writers.h"
#include "textio/text_file.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;

// Past this a piece is no shape any more.
constexpr double kMostTolerance = 256;

struct PieceWork {
    std::size_t feature = 0;
    ProjectState pressed;
    std::size_t points = 0;
    std::size_t before = 0;  // points at the asked tolerance
    double tolerance = 0;
    std::string error;
};

// The part pressed on the area's form, simplified harder (half as much
// again each step) until both sources can count its points.
PieceWork fitted(const AreaSettings& settings, const ProjectState& form, const OGRGeometry& part,
                 bool polygon) {
    PieceWork work;
    for (double t = settings.tolerance;; t = t < 0.25 ? 0.25 : t * 1.5) {
        const auto pixels = picturePixels(simplifiedPiece(part, t), polygon);
        if (t == settings.tolerance) work.before = pixels.size();
        if (pixels.empty()) {
            work.error = "nothing is left of the piece at tolerance " + decimalText(t);
            return work;
        }
        if (pixels.size() <= kMostSourcePoints) {
            work.pressed = form;
            std::string failure;
            pressPixels(work.pressed, pixels, [&](const FillXYError& e) { failure = e.message; });
            if (!failure.empty()) {
                work.error = failure.substr(failure.find('\n') + 1);
                return work;
            }
            if (countersFit(work.pressed)) {
                work.points = pixels.size();
                work.tolerance = t;
                return work;
            }
        }
        if (t > kMostTolerance) {
            work.error = "it cannot be simplified to fit a source";
            return work;
        }
    }
}

// The project (and its points file) and both sources, the bytes Save and
// Create Source write, each made straight in the piece's fresh folder: the
// folder's rename puts all four in place at once. The compiler on each
// source when asked.
Expected<std::string> writePiece(const AreaSettings& settings, const ProjectState& s,
                                 const std::string& folder, bool& compileFailed,
                                 std::string& compiled) {
    const std::string project = ProjectFilePath(folder, s);
    const std::string fields = projectFileText(s);
    if (const Status fits = checkProjectLines(fields); !fits) return fits.error();
    auto lwm = lwmSourceText(s);
    if (!lwm) return lwm.error();
    auto vtp = vtpSourceText(s);
    if (!vtp) return vtp.error();
    encodeWindows1252InPlace(lwm.value());
    encodeWindows1252InPlace(vtp.value());
    const std::pair<std::string, std::string> written[] = {
        {companionPath(project), pointsFileText(pointsOf(s, ""))},
        {project, toWindows1252(fields)},
        {LwmSourcePath(folder), std::move(lwm.value())},
        {VtpSourcePath(folder), std::move(vtp.value())}};
    for (const auto& [path, bytes] : written)
        if (const Status made = writeNewFile(path, bytes); !made) return made.error();
    std::string files = fs::path(project).filename().string() + " " +
                        fs::path(companionPath(project)).filename().string() +
                        " LWMSource.asm VTPSource.asm";
    if (settings.compile) {
        for (const char* source : {"LWMSource.asm", "VTPSource.asm"}) {
            const CompileVerdict verdict =
                compileInFolder(*settings.compile, folder, source, "compile.log");
            compiled += (compiled.empty() ? "" : " ") + verdict.summary;
            compileFailed = compileFailed || !verdict.compiled;
            if (verdict.compiled) files += " " + bglFileName(source);
        }
        files += " compile.log";
    }
    return files;
}

// Puts the finished folder in place: one rename when the name is free, as
// it is unless --force redoes the area; otherwise in place of the earlier
// folder of that name.
Status moveIntoPlace(const fs::path& partial, const fs::path& target) {
    std::error_code ec;
    fs::rename(partial, target, ec);
    if (!ec) return okStatus();
    ec.clear();
    const fs::path old = target.parent_path() / ("." + target.filename().string() + ".old");
    fs::remove_all(old, ec);
    if (fs::exists(target, ec)) fs::rename(target, old, ec);
    if (!ec) fs::rename(partial, target, ec);
    if (ec)
        return Error{"Could not put \"" + target.string() + "\" in place: " + ec.message() + "."};
    fs::remove_all(old, ec);
    return okStatus();
}

// A fresh, empty folder in place of whatever a stopped run left there.
Status makeFreshFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::create_directory(folder, ec)) return okStatus();
    fs::remove_all(folder, ec);
    if (!ec && fs::create_directory(folder, ec)) return okStatus();
    return Error{"Could not make \"" + folder.string() +
                 "\": " + (ec ? ec.message() : std::string("it is in use")) + "."};
}

std::string pieceFolder(const std::string& name, std::size_t piece) {
    return piece == 1 ? name : name + "_" + std::to_string(piece);
}

}  // namespace

std::string areaFolderName(GridArea area) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d_%03d_%02d_%02d", area.x / 32, area.y / 32, area.x % 32,
                  area.y % 32);
    return name;
}

Expected<ProjectState> formAtArea(const ProjectState& form, GridArea area) {
    const AreaEdges edges = gridAreaEdges(area);
    ProjectState s = form;
    writePosition(s, {(edges.north + edges.south) / 2, (edges.west + edges.east) / 2});
    calculate(s);
    if (s.txtcellx != std::to_string(area.x / 32) || s.txtcelly != std::to_string(area.y / 32) ||
        s.txtareax != std::to_string(area.x % 32) || s.txtareay != std::to_string(area.y % 32))
        return Error{"the position " + s.txtlatdeg + " " + s.txtlatmin + ", " + s.txtlongdeg + " " +
                     s.txtlongmin + " calculates to another area"};
    return s;
}

std::vector<SummaryRow> writeArea(const AreaSettings& settings, GridArea area,
                                  std::vector<NearArea>& near,
                                  const std::vector<BatchFeature>& features) {
    const std::string name = areaFolderName(area);
    const fs::path out(settings.outFolder);
    std::error_code ec;
    if (!settings.force && fs::is_directory(out / name, ec))
        return {{name, 0, "", 0, 0, name, "skipped: written before", false}};
    const auto form = formAtArea(settings.form, area);
    if (!form) return {{name, 0, "", 0, 0, "", "failed: " + form.error().message, true}};

    std::vector<PieceWork> pieces;
    std::vector<SummaryRow> rows;
    for (NearArea& item : near) {
        const AreaParts parts = partsInArea(*item.shape, gridAreaEdges(area), item.whole);
        item.shape.reset();
        for (const Geometry& part : parts.parts) {
            PieceWork work = fitted(settings, *form, *part, parts.polygon);
            work.feature = item.feature;
            pieces.push_back(std::move(work));
        }
    }
    // Pieces of an earlier, unfinished run that this one would not replace.
    for (std::size_t k = std::max<std::size_t>(2, pieces.size() + 1);
         fs::exists(out / pieceFolder(name, k), ec); ++k)
        fs::remove_all(out / pieceFolder(name, k), ec);

    bool failed = false;
    // The first folder last: its presence says the area is whole.
    for (std::size_t k = pieces.size(); k >= 1; --k) {
        PieceWork& work = pieces[k - 1];
        const BatchFeature& feature = features[work.feature];
        const std::string folder = pieceFolder(name, k);
        SummaryRow row{name,
                       static_cast<int>(k),
                       feature.layerName + ":" + std::to_string(feature.fid) +
                           (feature.name.empty() ? "" : " " + feature.name),
                       work.points,
                       work.tolerance,
                       "",
                       "written",
                       false};
        if (work.points != work.before && work.error.empty())
            row.outcome += ", simplified from " + std::to_string(work.before) + " to " +
                           std::to_string(work.points) + " points at tolerance " +
                           decimalText(work.tolerance);
        const fs::path partial = out / ("." + folder + ".partial");
        bool compileFailed = false;
        std::string compiled;
        Expected<std::string> files = Error{work.error};
        if (work.error.empty()) {
            if (const Status made = makeFreshFolder(partial); !made) {
                files = made.error();
            } else {
                ProjectState& s = work.pressed;
                s.txtprojectname = settings.projectName.empty() ? folder : settings.projectName;
                files = writePiece(settings, s, partial.string(), compileFailed, compiled);
            }
        }
        if (files) {
            if (const Status placed = moveIntoPlace(partial, out / folder); !placed)
                files = placed.error();
        }
        if (!files) {
            fs::remove_all(partial, ec);
            row.outcome = "failed: " + files.error().message;
            row.failed = failed = true;
        } else {
            row.files = folder + "/ " + *files;
            if (settings.compile) row.outcome += "; " + compiled;
            row.failed = compileFailed;
        }
        rows.push_back(std::move(row));
        if (failed) break;
    }
    if (failed) {
        // No half area stays: the pieces written before the failure go too.
        for (std::size_t k = 1; k <= pieces.size(); ++k)
            fs::remove_all(out / pieceFolder(name, k), ec);
        for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
            rows[r].outcome = "removed: piece " + std::to_string(rows.back().piece) + " failed";
            rows[r].files.clear();
            rows[r].failed = true;
        }
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

}  // namespace qm4::geo
