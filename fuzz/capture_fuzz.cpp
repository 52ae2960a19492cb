// Fuzz target for point capture: random area, counter and width texts,
// positions (outside the view and not finite included), client sizes (zero
// and negative included), modes and check boxes, then a run of presses,
// moves and setting changes. A reference FillXY predicts the coordinate
// texts; every press must append exactly the lines built from them (or from
// the old texts after a failure), set the counters in their text forms and
// colours, and change nothing else; a move changes only the coordinate texts.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "capture/capture.h"
#include "fuzz_check.h"
#include "fuzz_text.h"
#include "model/numbers.h"

namespace {

using qm4::ClientSize;
using qm4::CounterColour;
using qm4::ProjectState;

struct Coordinates {
    std::string x, y, vtp2x, vtp2y;
};

Coordinates coordinatesOf(const ProjectState& s) {
    return {s.lblx, s.lbly, s.lblvtp2x, s.lblvtp2y};
}

void setCoordinates(ProjectState& s, const Coordinates& c) {
    s.lblx = c.x;
    s.lbly = c.y;
    s.lblvtp2x = c.vtp2x;
    s.lblvtp2y = c.vtp2y;
}

std::string blankSigned(long n) { return (n >= 0 ? " " : "") + std::to_string(n); }

// A value rounded onto the 16-bit grid, halves to even; nothing outside it.
std::optional<long> onGrid(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = std::nearbyint(v);
    if (r < -32768 || r > 32767) return std::nullopt;
    return static_cast<long>(r);
}

// The four texts FillXY should write, or nothing when it should fail.
std::optional<Coordinates> expectedFill(const ProjectState& s, float x, float y, int flag,
                                        ClientSize client) {
    if (client.width == 0 || client.height == 0) return std::nullopt;
    const auto px = onGrid(static_cast<double>(x) * 256 / client.width);
    const auto py = onGrid(static_cast<double>(y) * 256 / client.height);
    if (!px || !py) return std::nullopt;
    const auto vx = onGrid(qm4::leadingNumber(s.txtareax) * 255 + 4080 + *px);
    const auto vy = onGrid(qm4::leadingNumber(s.txtareay) * 255 + 4080 + *py);
    if (!vx || !vy) return std::nullopt;
    Coordinates c;
    c.x = blankSigned(std::clamp(*px, 0L, 255L)) + ", ";
    c.y = blankSigned(std::clamp(*py, 0L, 255L));
    c.vtp2x = blankSigned(std::clamp(*vx, 4080L, 12240L)) + ", ";
    c.vtp2y = blankSigned(std::clamp(*vy, 4080L, 12240L));
    if (qm4::VtpLinePoly(s) == 1) {
        c.vtp2x += std::to_string(flag) + ", ";
        c.vtp2y += ", 0";
    }
    return c;
}

// The point-line grammar, read independently of how lines are built.
class LineReader {
  public:
    explicit LineReader(std::string_view line) : rest_(line) {}

    LineReader& literal(std::string_view text) {
        ok_ = ok_ && rest_.substr(0, text.size()) == text;
        if (ok_) rest_.remove_prefix(text.size());
        return *this;
    }

    // A clamped coordinate: a blank, then digits without leading zeros.
    LineReader& coordinate(long low, long high) {
        literal(" ");
        std::size_t n = 0;
        long value = 0;
        while (ok_ && n < rest_.size() && n < 6 && rest_[n] >= '0' && rest_[n] <= '9') {
            value = value * 10 + (rest_[n++] - '0');
        }
        ok_ = ok_ && n > 0 && (n == 1 || rest_[0] != '0') && value >= low && value <= high;
        if (ok_) rest_.remove_prefix(n);
        return *this;
    }

    bool complete() const { return ok_ && rest_.empty(); }

  private:
    std::string_view rest_;
    bool ok_ = true;
};

bool isLwmPoint(std::string_view line) {
    return LineReader(line)
        .literal("LWMPoint ")
        .coordinate(0, 255)
        .literal(", ")
        .coordinate(0, 255)
        .complete();
}

bool isPolygonPoint(std::string_view line) {
    return LineReader(line)
        .literal("VTPPointXY2 ")
        .coordinate(4080, 12240)
        .literal(", ")
        .coordinate(4080, 12240)
        .complete();
}

bool isWidePoint(std::string_view line, char flag) {
    return LineReader(line)
        .literal("VTPWidePoint ")
        .coordinate(4080, 12240)
        .literal(", ")
        .literal(std::string_view(&flag, 1))
        .literal(", ")
        .coordinate(4080, 12240)
        .literal(", 0")
        .complete();
}

float position(FuzzedDataProvider& in) {
    static constexpr std::array<float, 8> kSpecial = {std::numeric_limits<float>::quiet_NaN(),
                                                      std::numeric_limits<float>::infinity(),
                                                      -std::numeric_limits<float>::infinity(),
                                                      1e30f,
                                                      -1e30f,
                                                      0.5f,
                                                      2.5f,
                                                      255.5f};
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return in.ConsumeFloatingPointInRange<float>(-600, 600);
        case 1:
            return static_cast<float>(in.ConsumeIntegralInRange(-10, 300));
        case 2:
            return kSpecial[in.ConsumeIntegralInRange<std::size_t>(0, kSpecial.size() - 1)];
        default:
            return in.ConsumeFloatingPoint<float>();
    }
}

double clientExtent(FuzzedDataProvider& in) {
    static constexpr std::array<double, 7> kSpecial = {0, -0.0, -256, 256, 512, 1, 1e-300};
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return kSpecial[in.ConsumeIntegralInRange<std::size_t>(0, kSpecial.size() - 1)];
        case 1:
            return in.ConsumeFloatingPointInRange<double>(-1e4, 1e4);
        default:
            return in.ConsumeFloatingPoint<double>();
    }
}

std::string counterText(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? qm4fuzz::numberText(in) : qm4fuzz::fieldText(in);
}

void randomList(FuzzedDataProvider& in, qm4::PointList& list) {
    const int count = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < count; ++i) list.lines.push_back(qm4fuzz::fieldText(in));
    list.selected = in.ConsumeIntegralInRange(-1, count - 1);
}

// Changes one of the settings a press reads.
void changeSetting(FuzzedDataProvider& in, ProjectState& s, ClientSize& client) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:
            s.Option3 = in.ConsumeBool();
            s.Option4 = in.ConsumeBool();
            break;
        case 1:
            s.chklwmnodata = in.ConsumeBool();
            break;
        case 2:
            s.chkvtpnodata = in.ConsumeBool();
            break;
        case 3:
            s.txtareax = qm4fuzz::fieldText(in);
            break;
        case 4:
            s.txtareay = qm4fuzz::fieldText(in);
            break;
        case 5:
            s.txtlwmnumber = counterText(in);
            break;
        case 6:
            s.txtvtpnumber = counterText(in);
            break;
        default:
            client.width = clientExtent(in);
            client.height = clientExtent(in);
            break;
    }
}

struct ErrorCounter {
    int count = 0;
    void operator()(const qm4::FillXYError& e) {
        ++count;
        static const std::string lead =
            "The following error occured while calculating the X,Y positions:\r\n";
        FUZZ_CHECK(e.title == "Error in FillXY");
        FUZZ_CHECK(e.message.compare(0, lead.size(), lead) == 0);
        FUZZ_CHECK(e.message.size() > lead.size());
        FUZZ_CHECK(e.message.find_first_of("\r\n", lead.size()) == std::string::npos);
    }
};

void checkMove(ProjectState& s, float x, float y, ClientSize client) {
    const ProjectState before = s;
    ErrorCounter errors;
    qm4::Picture1_MouseMove(s, x, y, client, std::ref(errors));
    const auto filled = expectedFill(before, x, y, 0, client);
    ProjectState expected = before;
    if (filled) setCoordinates(expected, *filled);
    FUZZ_CHECK(errors.count == (filled ? 0 : 1));
    FUZZ_CHECK(s == expected);
}

void checkPress(ProjectState& s, float x, float y, ClientSize client) {
    const ProjectState before = s;
    ErrorCounter errors;
    const qm4::PressResult result = qm4::Picture1_MouseDown(s, x, y, client, std::ref(errors));

    const auto filled = expectedFill(before, x, y, 0, client);
    const Coordinates plain = filled ? *filled : coordinatesOf(before);
    ProjectState expected = before;
    setCoordinates(expected, plain);
    int expectedErrors = filled ? 0 : 1;

    if (!before.chklwmnodata) {
        expected.lstLWM.lines.push_back("LWMPoint " + plain.x + plain.y);
        expected.lwmnumberColour = qm4::leadingNumber(before.txtlwmnumber) >= 62
                                       ? CounterColour::Red
                                       : CounterColour::Black;
        expected.txtlwmnumber = std::to_string(expected.lstLWM.lines.size());
        if (filled) FUZZ_CHECK(isLwmPoint(s.lstLWM.lines.back()));
    }

    auto& vtp = expected.lstVTP.lines;
    if (!before.chkvtpnodata) {
        const double counter = qm4::leadingNumber(before.txtvtpnumber);
        if (qm4::VtpLinePoly(before) == 1) {
            if (counter > 1) {
                vtp.push_back("VTPWidePoint " + plain.vtp2x + plain.vtp2y);
            } else {
                const auto wide = expectedFill(before, x, y, 1, client);
                const Coordinates first = wide ? *wide : coordinatesOf(before);
                vtp.push_back("VTPWidePoint " + first.vtp2x + first.vtp2y);
                vtp.push_back("VTPWidePointWidth 1");
                vtp.push_back("VTPWidePoint " + first.vtp2x + first.vtp2y);
                vtp.push_back("VTPWidePointWidth " + before.txtvtplinewidth);
                vtp.push_back("VTPWidePoint " + plain.vtp2x + plain.vtp2y);
                if (!filled) expectedErrors = 3;
                if (filled) {
                    const auto& lines = s.lstVTP.lines;
                    FUZZ_CHECK(lines.size() >= 5);
                    FUZZ_CHECK(isWidePoint(lines[lines.size() - 5], '1'));
                    FUZZ_CHECK(isWidePoint(lines[lines.size() - 3], '1'));
                }
            }
            if (filled) FUZZ_CHECK(isWidePoint(s.lstVTP.lines.back(), '0'));
            expected.txtvtpnumber = std::to_string(static_cast<long long>(vtp.size()) - 2);
        } else {
            vtp.push_back("VTPPointXY2 " + plain.vtp2x + plain.vtp2y);
            if (filled) FUZZ_CHECK(isPolygonPoint(s.lstVTP.lines.back()));
            expected.txtvtpnumber = qm4::blankSignedText(counter + 1);
            // The counter's own text reads back as the old value plus one.
            const double now = qm4::leadingNumber(s.txtvtpnumber);
            FUZZ_CHECK(std::fabs(now - (counter + 1)) <= 1e-14 * std::fabs(counter + 1));
            FUZZ_CHECK((s.txtvtpnumber.front() == ' ') == (now >= 0));
        }
        expected.vtpnumberColour = qm4::leadingNumber(expected.txtvtpnumber) > 31
                                       ? CounterColour::Red
                                       : CounterColour::Black;
    }

    FUZZ_CHECK(errors.count == expectedErrors);
    FUZZ_CHECK(result.lwmAppended == expected.lstLWM.lines.size() - before.lstLWM.lines.size());
    FUZZ_CHECK(result.vtpAppended == vtp.size() - before.lstVTP.lines.size());
    FUZZ_CHECK(s == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    ProjectState s;
    s.txtareax = qm4fuzz::fieldText(in);
    s.txtareay = qm4fuzz::fieldText(in);
    s.txtlwmnumber = counterText(in);
    s.txtvtpnumber = counterText(in);
    s.txtvtplinewidth = qm4fuzz::fieldText(in);
    s.Option3 = in.ConsumeBool();
    s.Option4 = in.ConsumeBool();
    s.chklwmnodata = in.ConsumeBool();
    s.chkvtpnodata = in.ConsumeBool();
    setCoordinates(s, {qm4fuzz::fieldText(in), qm4fuzz::fieldText(in), qm4fuzz::fieldText(in),
                       qm4fuzz::fieldText(in)});
    randomList(in, s.lstLWM);
    randomList(in, s.lstVTP);
    ClientSize client;
    client.width = clientExtent(in);
    client.height = clientExtent(in);

    for (int step = 0; step < 32 && in.remaining_bytes() > 0; ++step) {
        const int action = in.ConsumeIntegralInRange(0, 2);
        if (action == 2) {
            changeSetting(in, s, client);
            continue;
        }
        const float x = position(in);
        const float y = position(in);
        if (action == 0) {
            checkPress(s, x, y, client);
        } else {
            checkMove(s, x, y, client);
        }
    }
    return 0;
}
