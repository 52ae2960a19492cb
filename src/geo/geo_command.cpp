// The helper's command line: its verbs and their options, and the serve
// loop that answers one request line after another.
#include "geo/geo_command.h"

#include <cpl_error.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <charconv>
#include <istream>
#include <ostream>

#include "geo/batch.h"
#include "geo/geo_requests.h"
#include "geo/ogr_support.h"
#include "geo/shape_import.h"
#include "model/calculate.h"
#include "model/position_text.h"

namespace qm4::geo {
namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  quillmap4-geo --help | --version\n"
    "  quillmap4-geo features FILE (--area CELLX,CELLY,AREAX,AREAY | --position LAT,LON)\n"
    "      the features of FILE that meet the area, one a line: layer, id, name, geometry\n"
    "      type, points inside, tab-separated; then the notes\n"
    "  quillmap4-geo serve\n"
    "      answers JSON requests, one a line, on standard input (see the README)\n"
    "  quillmap4-geo batch FILE (--region SOUTH,WEST,NORTH,EAST | --areas LIST) --out DIR\n"
    "      [options]  projects and sources for every area the shapes meet;\n"
    "      quillmap4-geo batch --help lists its options\n";

struct UsageError {
    std::string message;
};

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

int features(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string file, areaText, positionText;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const bool valued = i + 1 < args.size();
        if (args[i] == "--area" && valued)
            areaText = args[++i];
        else if (args[i] == "--position" && valued)
            positionText = args[++i];
        else if (file.empty() && !args[i].starts_with("--"))
            file = args[i];
        else
            throw UsageError{"features: unexpected \"" + args[i] + "\"."};
    }
    if (file.empty() || areaText.empty() == positionText.empty())
        throw UsageError{"features needs a FILE and either --area or --position."};
    const auto area = areaText.empty() ? areaOfPosition(positionText) : areaOfNumbers(areaText);
    if (!area) throw UsageError{area.error().message};
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
    try {
        const std::string verb = arguments.empty() ? "" : arguments[0];
        if (verb == "--help" || verb == "-h") {
            out << kUsage;
            return 0;
        }
        if (verb == "--version") {
            out << "quillmap4-geo " << versionText() << '\n';
            return 0;
        }
        if (verb == "serve" && arguments.size() == 1) return serve(in, out);
        if (verb == "features") return features(arguments, out, err);
        if (verb == "batch") return runBatch({arguments.begin() + 1, arguments.end()}, out, err);
        throw UsageError{verb.empty() ? "Say what to do." : "Unknown command \"" + verb + "\"."};
    } catch (const UsageError& e) {
        err << "quillmap4-geo: " << e.message << '\n' << kUsage;
        return 2;
    }
}

}  // namespace qm4::geo
