// What a batch is asked to do, as its command line gives it, and what is
// made of that before any area: the areas of the region, the form every
// project starts from, and the output folder.
#pragma once

#include <array>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "geo/batch_area.h"

namespace qm4::geo {

struct BatchOptions {
    std::string file, layer, where, areasFile, out, templateFile, region;
    std::map<std::string, std::string> fields;  // "--author" and the like, by option
    double tolerance = 0;
    int jobs = 1;
    int shard = 0, shards = 1;  // shard from 0
    bool force = false, yes = false, compile = false;
    std::optional<std::string> compiler, runner;
    std::optional<int> limit;
};

// The areas to make: ranges of the grid (two for a region across the
// antimeridian), and which areas of them.
struct Region {
    std::vector<GridRange> ranges;
    std::set<std::pair<int, int>> listed;  // for --areas; empty: the whole ranges
    long long count() const;
};

// SOUTH,WEST,NORTH,EAST as four finite numbers, or nothing.
std::optional<std::array<double, 4>> regionNumbers(const std::string& text);

// The options' region, or their list of areas read from a file or a pipe.
// Fails with the reason, naming the option.
Expected<Region> regionOf(const BatchOptions& o);

// The form from the template and the fields over it, and the compiler's
// settings when asked to compile.
Expected<AreaSettings> settingsOf(const BatchOptions& o);

// The options that would fill the fields the compiler needs and that
// neither the template nor the command line fills, in the form's order:
// the same fields Create Source names.
std::vector<std::string> missingFormOptions(const ProjectState& form);

// Why the output folder could not be made or written, found without
// making it: a bad input then leaves nothing behind.
Status checkOutFolder(const std::string& folder);

// Makes the output folder (marked for its area folders to spread over the
// disk) and checks that a file can be written there.
Status makeOutFolder(const std::string& folder);

// Runs the batch: reads the features, makes the areas, writes the summary.
// The exit status as runBatch gives it; a form the sources cannot be
// compiled from is thrown as a command line that does not hold (usageError).
int runBatchWith(const BatchOptions& o, std::ostream& out, std::ostream& err);

}  // namespace qm4::geo
