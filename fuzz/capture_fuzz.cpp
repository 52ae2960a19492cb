// Fuzz target for point capture: random area, counter and coordinate texts,
// modes, view sizes and positions (zero, negative and not finite included),
// then a move and a press at each of a few places. A move changes only the
// coordinate texts, and a failed one nothing; a press leaves them as the move
// did and fails when it did, keeps every earlier line, numbers the LWM list
// in its counter and, without a failure, appends only lines of the list's
// grammar with coordinates in range.
#include "capture/capture.h"
#include "fuzz_support.h"

// Pixels 0 to 255, VTP coordinates 4080 to 12240.
const std::string kPixel = R"((\d|[1-9]\d|1\d\d|2[0-4]\d|25[0-5]))";
const std::string kVtp =
    R"((40[89]\d|4[1-9]\d\d|[5-9]\d{3}|1[01]\d{3}|12[01]\d\d|122[0-3]\d|12240))";
const std::regex kLwmPoint("LWMPoint  " + kPixel + ",  " + kPixel);
const std::regex kPolygonPoint("VTPPointXY2  " + kVtp + ",  " + kVtp);
const std::regex kLinePoint("VTPWidePoint  " + kVtp + ", [01],  " + kVtp +
                            ", 0|VTPWidePointWidth [^]*");

static auto coordinates(auto& s) { return std::tie(s.lblx, s.lbly, s.lblvtp2x, s.lblvtp2y); }

// A value from low to high, or any bit pattern, infinities and NaN included.
template <class T>
static T anyOr(FuzzedDataProvider& in, T low, T high) {
    using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
    return in.ConsumeBool() ? in.ConsumeFloatingPointInRange(low, high)
                            : std::bit_cast<T>(in.ConsumeIntegral<Bits>());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    qm4::ProjectState s;
    for (auto* text : {&s.txtareax, &s.txtareay, &s.txtlwmnumber, &s.txtvtpnumber, &s.lblx})
        *text = fieldText(in);
    std::tie(s.Option3, s.Option4, s.chklwmnodata, s.chkvtpnodata) =
        std::tuple(in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool());
    const std::regex& vtpForm = qm4::VtpLinePoly(s) == 1 ? kLinePoint : kPolygonPoint;
    const qm4::ClientSize client{anyOr(in, -1.0, 600.0), anyOr(in, -1.0, 600.0)};
    int errors = 0;
    const qm4::FillXYErrorHandler onError = [&](const qm4::FillXYError&) { ++errors; };
    for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
        const float x = anyOr(in, -300.f, 600.f), y = anyOr(in, -300.f, 600.f);
        qm4::ProjectState moved = s, rest = s, before = s;
        qm4::Picture1_MouseMove(moved, x, y, client, onError);
        coordinates(rest) = coordinates(moved);
        FUZZ_CHECK(moved == rest && errors <= 1 && (errors == 0 || moved == s));
        const int moveErrors = std::exchange(errors, 0);
        const auto [lwmAdded, vtpAdded] = qm4::Picture1_MouseDown(s, x, y, client, onError);
        const auto& [lwm, vtp] = std::tie(s.lstLWM.lines, s.lstVTP.lines);
        FUZZ_CHECK(coordinates(s) == coordinates(moved) && (errors == 0) == (moveErrors == 0));
        FUZZ_CHECK(lwmAdded == !s.chklwmnodata &&
                   (!lwmAdded || s.txtlwmnumber == std::to_string(lwm.size())));
        for (auto i = lwm.size() - lwmAdded; i < lwm.size() && !errors; ++i)
            FUZZ_CHECK(std::regex_match(lwm[i], kLwmPoint));
        for (auto i = vtp.size() - vtpAdded; i < vtp.size() && !errors; ++i)
            FUZZ_CHECK(std::regex_match(vtp[i], vtpForm));
        rest = s;
        rest.lstLWM.lines.resize(lwm.size() - lwmAdded);
        rest.lstVTP.lines.resize(vtp.size() - vtpAdded);
        FUZZ_CHECK(rest.lstLWM == before.lstLWM && rest.lstVTP == before.lstVTP);
        errors = 0;
    }
    return 0;
}
