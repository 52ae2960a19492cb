// batch.csv, the batch's summary: one row a piece (and one for an area
// skipped or failed as a whole), written as text and read back, and the
// digest that tells whether a project was changed since the batch wrote it.
// The batch writes it; a window can read it without GDAL.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/expected.h"

namespace qm4 {

inline constexpr std::string_view kSummaryHeader =
    "area,piece,feature,points,tolerance,files,outcome,kind,of,mask,digest";

struct SummaryRow {
    std::string area;  // the area's folder name, "123_120_05_28"
    // The piece's folder: 1 the area's own, 2 its "_2"... 0: none (a dropped
    // piece, or the area as a whole).
    int piece = 0;
    std::string feature;     // "layer:fid name"
    std::size_t points = 0;  // pressed: the ring's or the line's pixels, a run's
    double tolerance = 0;    // the simplification it was written at
    std::string files;       // "123_120_05_28_2/ name.dat name.points LWMSource.asm ..."
    // The first word says which: "written", "dropped", "failed" or
    // "skipped"; the words after it say why or how.
    std::string outcome;
    std::string kind;    // "line", "ring", "hole", "run"; empty for the area as a whole
    int of = 0;          // a hole's or a further run's: the piece of its ring
    std::string mask;    // "Land" or "Water", as its project is written
    std::string digest;  // savedDigest of its project as written

    bool failed() const { return outcome.starts_with("failed"); }
    friend bool operator==(const SummaryRow&, const SummaryRow&) = default;
};

// The row as one line of CSV, its line end included.
std::string summaryLine(const SummaryRow& row);

// The header, then the rows by area, each area's pieces in their order and
// its rows without a folder after them.
std::string summaryText(std::vector<SummaryRow> rows);

// The rows of a summary by area, in the areas' order. A summary may hold
// blocks that end at a blank line (the rows a running batch wrote so far):
// an area's rows are those of the last block that holds it. Fails, naming
// the line, on a header without the first seven columns or a quote left open.
Expected<std::map<std::string, std::vector<SummaryRow>>> summaryByArea(std::string_view text);

// 16 hexadecimal digits: 64-bit FNV-1a over the project file's bytes, then
// the points file's bytes, as written.
std::string savedDigest(std::string_view project, std::string_view points);

}  // namespace qm4
