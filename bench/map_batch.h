// A batch over one cell as the region map is given it, for the map's
// benchmark and its memory probe.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "capture/area_trace.h"
#include "model/batch_areas.h"

// A batch over one cell as the map is given it: 1,000 of its 1,024 areas
// by outcome, each with the traces the batch makes of a shore: the shore
// as a line of `points` points from the area's west edge to its east edge,
// and the mask as the land beside it, closed along the south edge. As a
// worst case, `scribble` makes each line a random walk instead, as dense as
// a line of that many points can be.
inline std::pair<qm4::BatchAreas, std::vector<qm4::AreaTrace>> cellBatch(int points,
                                                                         bool scribble) {
    std::mt19937 random(31);
    std::uniform_int_distribution<int> step(-12, 12);
    std::vector<qm4::BatchArea> areas;
    std::vector<qm4::AreaTrace> traces;
    for (int i = 0; i < 1000; ++i) {
        const qm4::AreaNumbers area{123, 120, i % 32, i / 32};
        areas.push_back({area, qm4::AreaOutcome(i % 4), ""});
        qm4::AreaTrace trace{area, {}, {}, false};
        qm4::TracePoint at{128, 128};
        for (int k = 0; k < points; ++k) {
            at = scribble
                     ? qm4::TracePoint{std::clamp(at.x + step(random), 0, 255),
                                       std::clamp(at.y + step(random), 0, 255)}
                     : qm4::TracePoint{k * 255 / (points - 1),
                                       int(128 + 60 * std::sin(k / 25.0 + i) + step(random) / 4)};
            trace.vtp.push_back(at);
        }
        trace.lwm = trace.vtp;
        trace.lwm.push_back({255, 255});
        trace.lwm.push_back({0, 255});
        traces.push_back(std::move(trace));
    }
    return {qm4::BatchAreas(std::move(areas)), std::move(traces)};
}
