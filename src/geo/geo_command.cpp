// The helper's command line, read with CLI11: its commands and their
// options, and the serve loop that answers one request line after another.
#include "geo/geo_command.h"

#include <cpl_error.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <charconv>
#include <istream>
#include <ostream>

#include "geo/batch.h"
#include "geo/command_line.h"
#include "geo/geo_requests.h"
#include "geo/ogr_support.h"
#include "geo/shape_import.h"
#include "model/calculate.h"
#include "model/position_text.h"

namespace qm4::geo {
namespace {

// GDAL's own messages go to standard error, never among the replies.
void toStandardError(CPLErr, CPLErrorNum, const char* message) {
    std::fprintf(stderr, "GDAL: %s\n", message);
}

int serve(std::istream& in, std::ostream& out) {
    CPLPushErrorHandler(toStandardError);
    // Ready before the first request comes, while the window is still asking
    // the author for a file.
    warmUp();
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        answerRequest(line, [&](const std::string& reply) { out << reply << '\n' << std::flush; });
        // What the request left freed goes back to the system while the
        // helper waits: GDAL parses a large GeoJSON through a gigabyte of
        // objects, GEOS checks a coastline through copies of it. Asked only
        // when there is much to give, as the walk over the heap costs a
        // millisecond.
#ifdef __GLIBC__
        if (mallinfo2().fordblks > (std::size_t{64} << 20)) malloc_trim(0);
#endif
    }
    CPLPopErrorHandler();
    return 0;
}

int features(const std::string& file, const std::string& areaText, const std::string& positionText,
             std::ostream& out, std::ostream& err) {
    const auto area = areaText.empty() ? areaOfPosition(positionText) : areaOfNumbers(areaText);
    if (!area)
        throw CLI::ValidationError(areaText.empty() ? "--position" : "--area",
                                   area.error().message);
    const auto list = listFeatures(file, *area, {});
    if (!list) {
        err << list.error().message << '\n';
        return 1;
    }
    for (const FeatureInfo& f : list->features)
        out << f.layerName << '\t' << f.id << '\t' << f.name << '\t' << f.geometryType << '\t'
            << f.pointsInside << '\n';
    for (const std::string& note : list->notes) out << "Note: " << note << '\n';
    return 0;
}

}  // namespace

Expected<AreaEdges> areaOfNumbers(const std::string& text) {
    const Error wrong{"\"" + text +
                      "\" is no area: give CELLX,CELLY,AREAX,AREAY, cells 0-767 and 0-511, "
                      "areas 0-31."};
    int numbers[4] = {};
    const int highest[4] = {767, 511, 31, 31};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int k = 0; k < 4; ++k) {
        const auto [next, failed] = std::from_chars(at, end, numbers[k]);
        if (failed != std::errc() || numbers[k] < 0 || numbers[k] > highest[k]) return wrong;
        at = next;
        if (k < 3 && (at == end || *at++ != ',')) return wrong;
    }
    if (at != end) return wrong;
    ProjectState s;
    s.txtcellx = std::to_string(numbers[0]), s.txtcelly = std::to_string(numbers[1]);
    s.txtareax = std::to_string(numbers[2]), s.txtareay = std::to_string(numbers[3]);
    return areaEdges(s);
}

Expected<AreaEdges> areaOfPosition(const std::string& text) {
    const auto place = parsePosition(text);
    if (!place) return place.error();
    ProjectState s;
    writePosition(s, *place);
    calculate(s);
    return areaEdges(s);
}

int runGeoTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
               std::ostream& err) {
    // The batch reads its own options, listed by "quillmap4-geo batch --help".
    if (!arguments.empty() && arguments[0] == "batch")
        return runBatch({arguments.begin() + 1, arguments.end()}, out, err);
    CLI::App app("The GIS helper of Quillmap4: the one program that loads GDAL.", "quillmap4-geo");
    app.get_formatter()->column_width(28);
    bool version = false;
    app.add_flag("--version", version, "print the version and end");
    std::string file, areaText, positionText;
    CLI::App* listing = app.add_subcommand(
        "features",
        "the features of FILE that meet the area, one a line: layer, id, name, geometry type, "
        "points inside, tab-separated; then the notes");
    listing->add_option("FILE", file, "the vector file")->required();
    auto* area = listing->add_option("--area", areaText, "the area as CELLX,CELLY,AREAX,AREAY");
    auto* position = listing->add_option("--position", positionText, "the area at LAT,LON");
    area->excludes(position);
    CLI::App* serving =
        app.add_subcommand("serve", "answers JSON requests, one a line, on standard input");
    app.add_subcommand("batch",
                       "projects and sources for every area the shapes meet; "
                       "quillmap4-geo batch --help lists its options");
    app.require_subcommand(0, 1);
    return parseAndRun(app, arguments, out, err, [&] {
        if (version) {
            out << "quillmap4-geo " << versionText() << '\n';
            return 0;
        }
        if (serving->parsed()) return serve(in, out);
        if (!listing->parsed()) throw usageError("Say what to do: features, serve or batch.");
        if (areaText.empty() == positionText.empty())
            throw usageError("features needs --area or --position.");
        return features(file, areaText, positionText, out, err);
    });
}

}  // namespace qm4::geo
