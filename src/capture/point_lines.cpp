// Reading point lines back: the keyword, then whole numbers separated by
// commas and blanks.
#include "capture/point_lines.h"

#include <charconv>
#include <vector>

namespace qm4 {
namespace {

// The whole numbers after keyword, or nothing when the line is anything else.
std::optional<std::vector<int>> numbersAfter(std::string_view line, std::string_view keyword,
                                             std::size_t count) {
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (!line.starts_with(keyword)) return std::nullopt;
    line.remove_prefix(keyword.size());
    std::vector<int> numbers;
    while (true) {
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        int value = 0;
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
        if (error != std::errc()) return std::nullopt;
        numbers.push_back(value);
        line.remove_prefix(static_cast<std::size_t>(end - line.data()));
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        if (line.empty()) break;
        if (line.front() != ',') return std::nullopt;
        line.remove_prefix(1);
    }
    if (numbers.size() != count) return std::nullopt;
    return numbers;
}

constexpr int kVtpOffset = 4080;
constexpr int kVtpPerArea = 255;

}  // namespace

std::optional<TracePoint> lwmPointOf(std::string_view line) {
    const auto n = numbersAfter(line, "LWMPoint ", 2);
    if (!n) return std::nullopt;
    return TracePoint{(*n)[0], (*n)[1]};
}

std::optional<TracePoint> vtpPointOf(std::string_view line, int areaX, int areaY) {
    int vx = 0, vy = 0;
    if (const auto n = numbersAfter(line, "VTPPointXY2 ", 2)) {
        vx = (*n)[0];
        vy = (*n)[1];
    } else if (const auto w = numbersAfter(line, "VTPWidePoint ", 4)) {
        vx = (*w)[0];
        vy = (*w)[2];
    } else {
        return std::nullopt;
    }
    return TracePoint{vx - kVtpOffset - areaX * kVtpPerArea, vy - kVtpOffset - areaY * kVtpPerArea};
}

}  // namespace qm4
