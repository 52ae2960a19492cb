// batch.csv as CSV (RFC 4180 quoting) and back, columns found by their
// names so that a summary of an earlier release, with fewer columns, reads.
#include "project/batch_summary.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <tuple>

#include "model/numbers.h"

namespace qm4 {
namespace {

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string numberOrNothing(long long n) { return n ? std::to_string(n) : ""; }

enum Column { Area, Piece, Feature, Points, Tolerance, Files, Outcome, Kind, Of, Mask, Digest };
constexpr std::size_t kColumns = 11, kRequired = 7;

// The header's columns: where each known one stands, or kColumns.
std::vector<std::size_t> columnsOf(const std::vector<std::string>& header) {
    std::vector<std::string> names;
    for (std::size_t at = 0; at <= kSummaryHeader.size();) {
        const std::size_t comma = std::min(kSummaryHeader.find(',', at), kSummaryHeader.size());
        names.emplace_back(kSummaryHeader.substr(at, comma - at));
        at = comma + 1;
    }
    std::vector<std::size_t> where(kColumns, header.size());
    for (std::size_t c = 0; c < kColumns; ++c)
        where[c] = static_cast<std::size_t>(std::find(header.begin(), header.end(), names[c]) -
                                            header.begin());
    return where;
}

SummaryRow rowOf(const std::vector<std::string>& fields, const std::vector<std::size_t>& where) {
    const auto field = [&](Column c) {
        return where[c] < fields.size() ? fields[where[c]] : std::string();
    };
    const auto whole = [&](Column c) {
        const auto n = strictNumber(field(c));
        return n && *n >= 0 && *n < 1e9 ? static_cast<long long>(*n) : 0LL;
    };
    SummaryRow row;
    row.area = field(Area);
    row.piece = static_cast<int>(whole(Piece));
    row.feature = field(Feature);
    row.points = static_cast<std::size_t>(whole(Points));
    row.tolerance = strictNumber(field(Tolerance)).value_or(0);
    row.files = field(Files);
    row.outcome = field(Outcome);
    row.kind = field(Kind);
    row.of = static_cast<int>(whole(Of));
    row.mask = field(Mask);
    row.digest = field(Digest);
    return row;
}

}  // namespace

std::string summaryLine(const SummaryRow& r) {
    const bool piece = r.piece != 0 || !r.kind.empty();
    return csvField(r.area) + "," + numberOrNothing(r.piece) + "," + csvField(r.feature) + "," +
           (piece ? std::to_string(r.points) + "," + decimalText(r.tolerance) : ",") + "," +
           csvField(r.files) + "," + csvField(r.outcome) + "," + r.kind + "," +
           numberOrNothing(r.of) + "," + r.mask + "," + r.digest + "\n";
}

std::string summaryText(std::vector<SummaryRow> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const SummaryRow& a, const SummaryRow& b) {
        return std::tuple(a.area, a.piece == 0, a.piece) <
               std::tuple(b.area, b.piece == 0, b.piece);
    });
    std::string text = std::string(kSummaryHeader) + "\n";
    for (const SummaryRow& r : rows) text += summaryLine(r);
    return text;
}

Expected<std::map<std::string, std::vector<SummaryRow>>> summaryByArea(std::string_view text) {
    std::map<std::string, std::vector<SummaryRow>> areas;
    std::set<std::string> inBlock;  // the areas the current block has given rows
    std::vector<std::size_t> where;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false, any = false;
    int line = 1, recordLine = 1;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || (!quoted && text[i] == '\n')) {
            if (quoted) break;
            // A blank line ends a block; the first record is the header.
            if (!any) {
                inBlock.clear();
            } else if (fields.push_back(std::move(field)); where.empty()) {
                where = columnsOf(fields);
                if (*std::max_element(where.begin(), where.begin() + kRequired) >= fields.size())
                    return Error{
                        "line " + std::to_string(recordLine) +
                        " is no batch summary header: it lacks some of \"" +
                        std::string(kSummaryHeader.substr(0, kSummaryHeader.find(",kind"))) +
                        "\"."};
            } else {
                SummaryRow row = rowOf(fields, where);
                if (inBlock.insert(row.area).second) areas[row.area].clear();
                areas[row.area].push_back(std::move(row));
            }
            fields.clear(), field.clear(), any = false;
            recordLine = ++line;
            continue;
        }
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && c == ',') {
            fields.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (quoted || c != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') {
            line += c == '\n';
            field += c;
            any = true;
        }
    }
    if (quoted) return Error{"line " + std::to_string(recordLine) + " leaves a quote open."};
    return areas;
}

std::string savedDigest(std::string_view project, std::string_view points) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const std::string_view bytes : {project, points}) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ULL;
        }
    }
    std::string digits(16, '0');
    for (auto at = digits.rbegin(); at != digits.rend(); ++at, hash >>= 4)
        *at = "0123456789abcdef"[hash & 0xF];
    return digits;
}

}  // namespace qm4
