// The batch's command line, read with CLI11: every option with its help,
// the checks each value gets, and one error with a hint to --help for a
// command line that does not hold.
#include <cmath>
#include <thread>

#include "geo/batch.h"
#include "geo/batch_setup.h"
#include "geo/command_line.h"
#include "model/numbers.h"

namespace qm4::geo {
namespace {

// A value that takes a whole number within the bounds.
CLI::Validator wholeNumber(int low, int high) {
    return CLI::Validator(
        [low, high](const std::string& text) -> std::string {
            const auto n = strictNumber(text);
            if (n && *n == std::floor(*n) && *n >= low && *n <= high) return "";
            return "takes a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high) + ", not \"" + text + "\".";
        },
        "N");
}

void addOptions(CLI::App& app, BatchOptions& o) {
    app.add_option("FILE", o.file, "the vector file, in any format GDAL reads")->required();
    app.add_option("--layer", o.layer, "only this layer (a name or a number from 0)");
    app.add_option("--where", o.where, "only the features this attribute filter takes");
    auto* region = app.add_option("--region", o.region,
                                  "SOUTH,WEST,NORTH,EAST in degrees: every area it touches "
                                  "(west beyond east crosses the antimeridian)");
    auto* areas = app.add_option("--areas", o.areasFile,
                                 "a file of areas, one a line: CELLX,CELLY,AREAX,AREAY");
    region->excludes(areas);
    region->check(CLI::Validator(
        [](const std::string& text) -> std::string {
            return regionNumbers(text)
                       ? ""
                       : "takes 4 numbers separated by commas, not \"" + text + "\".";
        },
        "S,W,N,E"));
    app.add_option("--out", o.out, "the output folder, made when missing")->required();
    app.add_option("--template", o.templateFile, "the project fields from this project file");
    const std::pair<const char*, const char*> fields[] = {
        {"--name", "the project name (default: the template's, else the folder's)"},
        {"--author", "the author"},
        {"--comments", "the comments"},
        {"--altitude", "the LWM altitude"},
        {"--land-class", "the land class"},
        {"--vector-type", "the VTP vector type, as the form's box shows it"},
        {"--vtp-layer", "the VTP layer"},
        {"--width", "the VTP line width"}};
    for (const auto& [name, help] : fields)
        app.add_option_function<std::string>(
            name, [&o, option = std::string(name)](const std::string& v) { o.fields[option] = v; },
            std::string(help) + ", over the template's");
    for (const auto& [one, other] : {std::pair{"--land", "--water"}, {"--line", "--poly"}}) {
        auto* first = app.add_flag_callback(
            one, [&o, one = std::string(one)] { o.fields[one] = ""; },
            "a field of the form, over the template's");
        auto* second = app.add_flag_callback(
            other, [&o, other = std::string(other)] { o.fields[other] = ""; },
            "a field of the form, over the template's");
        first->excludes(second);
    }
    app.add_option("--tolerance", o.tolerance,
                   "simplification in pixels, 0 to 50 (default 0); more for a piece over 255 "
                   "points")
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
                const auto t = strictNumber(text);
                return t && *t >= 0 && *t <= 50 ? "" : "takes pixels from 0 to 50.";
            },
            "PIXELS"));
    app.add_option("--jobs", o.jobs, "areas in parallel (default: the cores)")
        ->check(wholeNumber(1, 256));
    app.add_option_function<std::string>(
           "--shard",
           [&o](const std::string& v) {
               const auto slash = v.find('/');
               if (slash == std::string::npos) throw usageError("--shard takes I/N, as 2/3.");
               const std::string n = v.substr(slash + 1), i = v.substr(0, slash);
               if (const std::string error = wholeNumber(1, 100000)(n); !error.empty())
                   throw CLI::ValidationError("--shard's N", error);
               o.shards = static_cast<int>(*strictNumber(n));
               if (const std::string error = wholeNumber(1, o.shards)(i); !error.empty())
                   throw CLI::ValidationError("--shard's I", error);
               o.shard = static_cast<int>(*strictNumber(i)) - 1;
           },
           "only the I-th of N shares of the areas (1 <= I <= N)")
        ->type_name("I/N");
    app.add_flag("--force", o.force, "redo areas written before (default: skip them)");
    app.add_flag("--yes", o.yes, "allow a region wider than 180 or higher than 90 degrees");
    app.add_flag("--compile", o.compile, "run the compiler on each source, as the window does");
    app.add_option_function<std::string>(
        "--compiler", [&o](const std::string& v) { o.compiler = v; },
        "the compiler, over the window's settings");
    app.add_option_function<std::string>(
        "--runner", [&o](const std::string& v) { o.runner = v; },
        "what runs the compiler (wine), over the window's settings");
    app.add_option_function<int>(
           "--compile-limit", [&o](int v) { o.limit = v; },
           "seconds a compiler may run, over the window's settings")
        ->check(wholeNumber(1, 3600));
}

}  // namespace

int runBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    BatchOptions o;
    o.jobs = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    CLI::App app(
        "For every area that a feature of FILE meets, and each piece of the feature there, a "
        "folder OUT/CELLX_CELLY_AREAX_AREAY (then _2, _3 for further pieces) with the project "
        "(NAME.dat and NAME.points), its sources, and OUT/batch.csv.",
        "quillmap4-geo batch");
    app.get_formatter()->column_width(28);
    addOptions(app, o);
    return parseAndRun(app, arguments, out, err, [&] {
        if (o.region.empty() && o.areasFile.empty())
            throw usageError("batch needs either --region or --areas.");
        return runBatchWith(o, out, err);
    });
}

}  // namespace qm4::geo
