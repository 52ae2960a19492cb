// Any line fed to the helper's request handling gives progress lines and
// then exactly one final reply, each one JSON object on one line: the reply
// with a whole number "id" and "ok", and an "error" to show when ok is false.
// Requests run in a scratch folder that holds a small shapes file; a request
// naming a file outside that folder is passed over, so the fuzzer never
// reads devices or writes over files elsewhere.
#include <cpl_error.h>
#include <cpl_json.h>

#include <fstream>

#include "fuzz_support.h"
#include "geo/geo_requests.h"

namespace {

const ScratchFolder& scratch() {
    static const ScratchFolder folder = [] {
        ScratchFolder made;
        std::filesystem::current_path(made.path);
        std::ofstream("h.geojson") << R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"basin"},"geometry":{"type":"Polygon","coordinates":
[[[-122.2728,47.5031],[-122.2636,47.5035],[-122.2613,47.5010],[-122.2728,47.5031]]]}},
{"type":"Feature","properties":{"name":"road"},"geometry":{"type":"LineString","coordinates":
[[-122.2650,47.4990],[-122.2500,47.4980]]}}]})";
        return made;
    }();
    return folder;
}

CPLJSONObject parsed(const std::string& line, CPLJSONDocument& document) {
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const bool read = document.LoadMemory(line);
    CPLPopErrorHandler();
    return read ? document.GetRoot() : CPLJSONObject();
}

bool whole(const CPLJSONObject& value) {
    return value.GetType() == CPLJSONObject::Type::Integer ||
           value.GetType() == CPLJSONObject::Type::Long;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    scratch();
    const std::string line(reinterpret_cast<const char*>(data), size);
    CPLJSONDocument request;
    const CPLJSONObject body = parsed(line, request);
    if (body.GetType() == CPLJSONObject::Type::Object) {
        const std::string file = body.GetString("file");
        if (file.find('/') != std::string::npos || file.find('\\') != std::string::npos) return 0;
    }
    const std::vector<std::string> lines = qm4::geo::answerRequest(line);
    FUZZ_CHECK(!lines.empty());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].find_first_of("\r\n") == std::string::npos);
        CPLJSONDocument document;
        const CPLJSONObject reply = parsed(lines[i], document);
        FUZZ_CHECK(reply.GetType() == CPLJSONObject::Type::Object);
        FUZZ_CHECK(whole(reply.GetObj("id")));
        if (i + 1 < lines.size()) {
            const double part = reply.GetDouble("progress", -1);
            FUZZ_CHECK(part >= 0 && part <= 1 && !reply.GetObj("ok").IsValid());
            continue;
        }
        FUZZ_CHECK(reply.GetObj("ok").GetType() == CPLJSONObject::Type::Boolean);
        if (!reply.GetBool("ok")) FUZZ_CHECK(!reply.GetString("error").empty());
        if (body.GetType() == CPLJSONObject::Type::Object && whole(body.GetObj("id")) &&
            reply.GetBool("ok"))
            FUZZ_CHECK(reply.GetLong("id") == body.GetLong("id"));
    }
    return 0;
}
