// An area's pieces simplified until they fit a source, pressed as Import
// Shape presses them, and written.
#include "geo/batch_area.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "capture/shape_presses.h"
#include "geo/area_pieces.h"
#include "geo/batch_folders.h"
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

// A part's imports at the tolerance where all of them fit a source, each
// pressed on the area's form.
struct FittedPart {
    PartImports imports;
    std::vector<ProjectState> pressed;
    std::size_t before = 0;  // the part's own points at the asked tolerance
    double tolerance = 0;
    std::string error;  // it cannot be written
};

std::size_t ownPoints(const PartImports& part) {
    if (part.imports.empty()) return 0;
    const ImportPresses& own = part.imports.front();
    return std::max(own.lwm.size(), own.vtp.size());
}

// Simplified harder (half as much again each step) until both sources can
// count the points of every import.
FittedPart fitted(const AreaSettings& settings, const ProjectState& form, const OGRGeometry& part,
                  PieceKind kind) {
    FittedPart fit;
    for (double t = settings.tolerance;; t = t < 0.25 ? 0.25 : t * 1.5) {
        fit.imports = partImports(simplifiedPiece(part, t), kind, VtpLinePoly(form) == 1);
        fit.tolerance = t;
        if (t == settings.tolerance) fit.before = ownPoints(fit.imports);
        if (!fit.imports.dropped.empty()) return fit;
        fit.pressed.clear();
        bool fits = true;
        for (const ImportPresses& import : fit.imports.imports) {
            fits = std::max(import.lwm.size(), import.vtp.size()) <= kMostSourcePoints;
            if (!fits) break;
            ProjectState& s = fit.pressed.emplace_back(form);
            std::string failure;
            pressImport(s, import, [&](const FillXYError& e) { failure = e.message; });
            if (!failure.empty()) {
                fit.error = failure.substr(failure.find('\n') + 1);
                return fit;
            }
            fits = countersFit(s);
            if (!fits) break;
        }
        if (fits) return fit;
        if (t > kMostTolerance) {
            fit.error = "it cannot be simplified to fit a source.";
            return fit;
        }
    }
}

struct Written {
    std::string files;
    std::string digest;
    std::string compiled;  // the compiler's verdicts
    bool compileFailed = false;
};

// The project (and its points file) and each source that has points, the
// bytes Save and Create Source write, made straight in the piece's fresh
// folder: the folder's rename puts them in place at once. The compiler on
// each source when asked.
Expected<Written> writePiece(const AreaSettings& settings, const ProjectState& s,
                             const std::string& folder) {
    const std::string project = ProjectFilePath(folder, s);
    const std::string fields = projectFileText(s);
    if (const Status fits = checkProjectLines(fields); !fits) return fits.error();
    Written done;
    const std::string projectBytes = toWindows1252(fields);
    const std::string pointsBytes = pointsFileText(pointsOf(s, ""));
    done.digest = savedDigest(projectBytes, pointsBytes);
    std::vector<std::pair<std::string, std::string>> written = {
        {companionPath(project), pointsBytes}, {project, projectBytes}};
    std::vector<std::string> sources;
    for (const bool lwm : {true, false}) {
        if ((lwm ? s.lstLWM : s.lstVTP).lines.empty()) continue;
        auto text = lwm ? lwmSourceText(s) : vtpSourceText(s);
        if (!text) return text.error();
        encodeWindows1252InPlace(text.value());
        written.emplace_back(lwm ? LwmSourcePath(folder) : VtpSourcePath(folder),
                             std::move(text.value()));
        sources.push_back(lwm ? "LWMSource.asm" : "VTPSource.asm");
    }
    for (const auto& [path, bytes] : written)
        if (const Status made = writeNewFile(path, bytes); !made) return made.error();
    done.files = fs::path(project).filename().string() + " " +
                 fs::path(companionPath(project)).filename().string();
    for (const std::string& source : sources) done.files += " " + source;
    if (!settings.compile) return done;
    for (const std::string& source : sources) {
        const CompileVerdict verdict =
            compileInFolder(*settings.compile, folder, source, "compile.log");
        done.compiled += (done.compiled.empty() ? "" : " ") + verdict.summary;
        done.compileFailed = done.compileFailed || !verdict.compiled;
        if (verdict.compiled) done.files += " " + bglFileName(source);
    }
    done.files += " compile.log";
    return done;
}

// A piece to write: its project pressed, and its row so far.
struct Planned {
    ProjectState project;
    SummaryRow row;
};

std::string maskName(const ProjectState& s) { return LwmMask(s) == 1 ? "Land" : "Water"; }

std::string featureText(const BatchFeature& feature) {
    return feature.layerName + ":" + std::to_string(feature.fid) +
           (feature.name.empty() ? "" : " " + feature.name);
}

// The pieces of one feature in the area, numbered after those planned so
// far; its dropped parts as rows. False with the failing row when a part
// cannot be written.
bool planFeature(const AreaSettings& settings, const ProjectState& form, GridArea area,
                 NearArea& item, const BatchFeature& feature, std::vector<Planned>& planned,
                 std::vector<SummaryRow>& rows) {
    const AreaParts parts = partsInArea(*item.shape, gridAreaEdges(area), item.whole);
    item.shape.reset();
    std::vector<FittedPart> fits;
    std::vector<PartImports> imports;
    SummaryRow start;
    start.area = areaFolderName(area);
    start.feature = featureText(feature);
    for (std::size_t k = 0; k < parts.parts.size(); ++k) {
        fits.push_back(fitted(settings, form, *parts.parts[k], partKind(parts, k)));
        imports.push_back(std::move(fits.back().imports));
        if (!fits.back().error.empty()) {
            rows.push_back(start);
            rows.back().kind = pieceKindName(partKind(parts, k));
            rows.back().outcome = "failed: " + fits.back().error;
            return false;
        }
    }
    const std::size_t offset = planned.size();
    const std::vector<ImportPlace> places = orderImports(imports, parts.holeOf);
    for (const ImportPlace& place : places) {
        const FittedPart& fit = fits[place.part];
        const ImportPresses& import = imports[place.part].imports[place.index];
        Planned& piece = planned.emplace_back(Planned{fit.pressed[place.index], start});
        // A hole, and the shoreline runs around it, take the other mask.
        if (partKind(parts, place.part) == PieceKind::Hole)
            piece.project.Option2 = !(piece.project.Option1 = !piece.project.Option1);
        SummaryRow& row = piece.row;
        row.mask = maskName(piece.project);
        row.piece = static_cast<int>(planned.size());
        row.kind = pieceKindName(import.kind);
        row.of = import.of ? static_cast<int>(import.of + offset) : 0;
        row.points = std::max(import.lwm.size(), import.vtp.size());
        row.tolerance = fit.tolerance;
        row.outcome = "written";
        if (place.index == 0 && fit.before != row.points)
            row.outcome += ", simplified from " + std::to_string(fit.before) + " to " +
                           std::to_string(row.points) + " points at tolerance " +
                           decimalText(fit.tolerance);
    }
    for (std::size_t k = 0; k < parts.parts.size(); ++k) {
        if (imports[k].dropped.empty()) continue;
        SummaryRow& row = rows.emplace_back(start);
        row.kind = pieceKindName(partKind(parts, k));
        row.tolerance = fits[k].tolerance;
        row.outcome = "dropped: " + imports[k].dropped;
        row.mask =
            (LwmMask(form) == 1) != (partKind(parts, k) == PieceKind::Hole) ? "Land" : "Water";
        const auto ring = std::find_if(places.begin(), places.end(), [&](const ImportPlace& p) {
            return p.index == 0 && p.part + 1 == parts.holeOf[k];
        });
        if (ring != places.end()) row.of = static_cast<int>(offset + (ring - places.begin()) + 1);
    }
    return true;
}

// Every row of the area marked failed, the cause on the failing one.
std::vector<SummaryRow> failedArea(std::vector<Planned>& planned, std::vector<SummaryRow> rows,
                                   const std::string& failing, bool kept) {
    for (Planned& piece : planned) {
        piece.row.files.clear();
        piece.row.digest.clear();
        if (!piece.row.failed())
            piece.row.outcome = "failed: not written, as " + failing + " failed.";
        rows.push_back(std::move(piece.row));
    }
    if (kept)
        for (SummaryRow& row : rows)
            if (row.failed()) row.outcome += " The area's earlier folders were kept.";
    return rows;
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
    const bool whole = fs::is_directory(out / name, ec);
    SummaryRow asWhole;
    asWhole.area = name;
    if (!settings.force && whole) {
        asWhole.files = name;
        asWhole.outcome = "skipped: written before";
        return {asWhole};
    }
    const auto form = formAtArea(settings.form, area);
    if (!form) {
        asWhole.outcome = "failed: " + form.error().message;
        return {asWhole};
    }

    std::vector<Planned> planned;
    std::vector<SummaryRow> rows;
    // No folder of a failed redo stays; nor, where the area was not whole,
    // what an earlier stopped run left of it.
    const auto fail = [&](const std::string& failing) {
        removeLeftovers(out, name);
        if (!whole) removeAreaFolders(out, name);
        return failedArea(planned, rows, failing, whole);
    };
    for (NearArea& item : near)
        if (!planFeature(settings, *form, area, item, features[item.feature], planned, rows))
            return fail("a piece of " + rows.back().feature);

    removeLeftovers(out, name);
    bool compileFailed = false;
    for (Planned& piece : planned) {
        const std::size_t k = static_cast<std::size_t>(piece.row.piece);
        const std::string folder = pieceFolder(name, k);
        const fs::path partial = partialFolder(out, name, k);
        ProjectState& s = piece.project;
        s.txtprojectname = settings.projectName.empty() ? folder : settings.projectName;
        Expected<Written> written = Error{""};
        if (const Status made = makeFreshFolder(partial); !made)
            written = made.error();
        else
            written = writePiece(settings, s, partial.string());
        if (!written) {
            piece.row.outcome = "failed: " + written.error().message;
            return fail("piece " + std::to_string(k));
        }
        piece.row.files = folder + "/ " + written->files;
        piece.row.digest = written->digest;
        if (settings.compile)
            piece.row.outcome = written->compileFailed
                                    ? "failed: " + written->compiled
                                    : piece.row.outcome + "; " + written->compiled;
        compileFailed = compileFailed || written->compileFailed;
    }
    // A redo the compiler fails keeps the earlier folders; an area made for
    // the first time keeps its own, with the compiler's log.
    if (compileFailed && whole) return fail("the compiler");
    if (const Status placed = placeArea(out, name, planned.size()); !placed) {
        planned.front().row.outcome = "failed: " + placed.error().message;
        return fail("putting the folders in place");
    }
    for (Planned& piece : planned) rows.push_back(std::move(piece.row));
    return rows;
}

}  // namespace qm4::geo
