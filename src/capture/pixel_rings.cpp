// Rings in whole pixels: exact integer tests for crossing and touching
// edges, found through a coarse grid so that a long ring costs little more
// than its length.
#include "capture/pixel_rings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

namespace qm4 {
namespace {

long long cross(PicturePixel o, PicturePixel a, PicturePixel b) {
    return static_cast<long long>(a.x - o.x) * (b.y - o.y) -
           static_cast<long long>(a.y - o.y) * (b.x - o.x);
}

int sign(long long v) { return (v > 0) - (v < 0); }

// p, on the line through a and b, lies between them.
bool between(PicturePixel a, PicturePixel b, PicturePixel p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// Segments a-b and c-d have a point in common.
bool meet(PicturePixel a, PicturePixel b, PicturePixel c, PicturePixel d) {
    const int abc = sign(cross(a, b, c)), abd = sign(cross(a, b, d));
    const int cda = sign(cross(c, d, a)), cdb = sign(cross(c, d, b));
    if (abc * abd < 0 && cda * cdb < 0) return true;
    return (abc == 0 && between(a, b, c)) || (abd == 0 && between(a, b, d)) ||
           (cda == 0 && between(c, d, a)) || (cdb == 0 && between(c, d, b));
}

// The segments a-b and b-c run back over each other: a spike.
bool foldsBack(PicturePixel a, PicturePixel b, PicturePixel c) {
    const long long dot = static_cast<long long>(b.x - a.x) * (c.x - b.x) +
                          static_cast<long long>(b.y - a.y) * (c.y - b.y);
    return cross(a, b, c) == 0 && dot < 0;
}

void dropRepeats(std::vector<PicturePixel>& ring) {
    ring.erase(std::unique(ring.begin(), ring.end()), ring.end());
    while (ring.size() > 1 && ring.back() == ring.front()) ring.pop_back();
}

// The pixel at the tip of a spike.
std::optional<std::size_t> spikeTip(const std::vector<PicturePixel>& r) {
    const std::size_t n = r.size();
    for (std::size_t i = 0; i < n; ++i)
        if (foldsBack(r[i], r[(i + 1) % n], r[(i + 2) % n])) return (i + 1) % n;
    return std::nullopt;
}

// A pair of segments i < j (segment i runs from pixel i to the next) that
// are not neighbours and meet: the first the grid gives, west to east.
std::optional<std::pair<std::size_t, std::size_t>> firstMeeting(
    const std::vector<PicturePixel>& r) {
    constexpr int kShift = 4, kCells = (kLastPixel >> kShift) + 1;
    std::array<std::vector<std::size_t>, kCells * kCells> cells;
    const std::size_t n = r.size();
    const auto cell = [](int v) { return std::clamp(v >> kShift, 0, kCells - 1); };
    for (std::size_t i = 0; i < n; ++i) {
        const PicturePixel a = r[i], b = r[(i + 1) % n];
        for (int cx = cell(std::min(a.x, b.x)); cx <= cell(std::max(a.x, b.x)); ++cx)
            for (int cy = cell(std::min(a.y, b.y)); cy <= cell(std::max(a.y, b.y)); ++cy)
                cells[static_cast<std::size_t>(cx * kCells + cy)].push_back(i);
    }
    for (const auto& in : cells) {
        for (std::size_t p = 0; p < in.size(); ++p) {
            for (std::size_t q = p + 1; q < in.size(); ++q) {
                const std::size_t i = in[p], j = in[q];
                if (j == i + 1 || (i == 0 && j == n - 1)) continue;
                if (meet(r[i], r[i + 1], r[j], r[(j + 1) % n])) return std::pair{i, j};
            }
        }
    }
    return std::nullopt;
}

double length(const std::vector<PicturePixel>& run) {
    double sum = 0;
    for (std::size_t i = 1; i < run.size(); ++i)
        sum += std::hypot(run[i].x - run[i - 1].x, run[i].y - run[i - 1].y);
    return sum;
}

}  // namespace

long long twiceArea(std::span<const PicturePixel> ring) {
    long long sum = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const PicturePixel a = ring[i], b = ring[(i + 1) % ring.size()];
        sum += static_cast<long long>(a.x) * b.y - static_cast<long long>(b.x) * a.y;
    }
    return sum;
}

std::vector<PicturePixel> simpleRing(std::vector<PicturePixel> ring) {
    dropRepeats(ring);
    while (ring.size() >= 3) {
        if (const auto tip = spikeTip(ring)) {
            ring.erase(ring.begin() + static_cast<long>(*tip));
        } else if (const auto meeting = firstMeeting(ring)) {
            const auto [i, j] = *meeting;
            const auto from = ring.begin() + static_cast<long>(i) + 1;
            const auto to = ring.begin() + static_cast<long>(j) + 1;
            std::vector<PicturePixel> loop(from, to), rest(ring.begin(), from);
            rest.insert(rest.end(), to, ring.end());
            ring = std::llabs(twiceArea(loop)) > std::llabs(twiceArea(rest)) ? loop : rest;
        } else {
            break;
        }
        dropRepeats(ring);
    }
    return ring;
}

bool onAreaEdge(PicturePixel a, PicturePixel b) {
    return (a.x == 0 && b.x == 0) || (a.x == kLastPixel && b.x == kLastPixel) ||
           (a.y == 0 && b.y == 0) || (a.y == kLastPixel && b.y == kLastPixel);
}

std::vector<std::vector<PicturePixel>> shorelineRuns(std::span<const PicturePixel> ring) {
    const std::size_t n = ring.size();
    std::vector<std::vector<PicturePixel>> runs;
    if (n < 2) return runs;
    std::size_t start = n;  // a segment on the edge, after which a run can begin
    for (std::size_t i = 0; i < n && start == n; ++i)
        if (onAreaEdge(ring[i], ring[(i + 1) % n])) start = i;
    if (start == n) {
        runs.emplace_back(ring.begin(), ring.end());
        runs.back().push_back(ring.front());
        return runs;
    }
    std::vector<PicturePixel> run;
    for (std::size_t k = 1; k <= n; ++k) {
        const std::size_t i = (start + k) % n;
        const PicturePixel a = ring[i], b = ring[(i + 1) % n];
        if (onAreaEdge(a, b)) {
            if (!run.empty()) runs.push_back(std::move(run));
            run.clear();
            continue;
        }
        if (run.empty()) run.push_back(a);
        run.push_back(b);
    }
    std::stable_sort(runs.begin(), runs.end(),
                     [](const auto& a, const auto& b) { return length(a) > length(b); });
    return runs;
}

}  // namespace qm4
