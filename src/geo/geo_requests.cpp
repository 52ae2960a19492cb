// Answering the helper's requests: reading them with GDAL's own JSON, a
// table from op name to handler, and replies written by hand so that every
// coordinate reads back as the same double.
#include "geo/geo_requests.h"

#include <cpl_error.h>
#include <cpl_json.h>

#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include "geo/heartbeat.h"
#include "geo/imagery.h"
#include "geo/outlines.h"
#include "geo/shape_import.h"
#include "geo/trace_export.h"

namespace qm4::geo {
namespace {

// A reply's fields after "ok":true, each starting with a comma.
using Fields = std::string;

struct Request {
    long long id = 0;
    const CPLJSONObject& body;
    ProgressLines& progress;
};

using Handler = Expected<Fields> (*)(const Request&);

bool isNumber(const CPLJSONObject& value) {
    const auto type = value.GetType();
    return type == CPLJSONObject::Type::Integer || type == CPLJSONObject::Type::Long ||
           type == CPLJSONObject::Type::Double;
}

bool isInteger(const CPLJSONObject& value) {
    const auto type = value.GetType();
    return type == CPLJSONObject::Type::Integer || type == CPLJSONObject::Type::Long;
}

Error needs(const std::string& key, const std::string& what) {
    return Error{"The request needs \"" + key + "\", " + what + "."};
}

Expected<std::string> text(const CPLJSONObject& body, const std::string& key) {
    const CPLJSONObject value = body.GetObj(key);
    if (value.GetType() != CPLJSONObject::Type::String || value.ToString().empty())
        return needs(key, "a text");
    return value.ToString();
}

Expected<double> number(const CPLJSONObject& body, const std::string& key) {
    const CPLJSONObject value = body.GetObj(key);
    if (!isNumber(value) || !std::isfinite(value.ToDouble())) return needs(key, "a number");
    return value.ToDouble();
}

Expected<long long> integer(const CPLJSONObject& body, const std::string& key) {
    const CPLJSONObject value = body.GetObj(key);
    if (!isInteger(value)) return needs(key, "a whole number");
    return static_cast<long long>(value.ToLong());
}

Expected<AreaEdges> area(const CPLJSONObject& body) {
    const CPLJSONObject value = body.GetObj("area");
    const Error wrong = needs("area", "an object with north, south, west and east in degrees");
    if (value.GetType() != CPLJSONObject::Type::Object) return wrong;
    AreaEdges edges;
    for (const auto& [key, edge] : {std::pair{"north", &edges.north},
                                    {"south", &edges.south},
                                    {"west", &edges.west},
                                    {"east", &edges.east}}) {
        const auto degrees = number(value, key);
        if (!degrees) return wrong;
        *edge = *degrees;
    }
    if (!(edges.north > edges.south && edges.east > edges.west))
        return Error{"The area's north must lie above its south and its east beyond its west."};
    return edges;
}

// [[lat, lon], ...]
Expected<std::vector<LatLon>> places(const CPLJSONObject& body, const std::string& key) {
    const CPLJSONObject value = body.GetObj(key);
    const Error wrong = needs(key, "a list of [latitude, longitude] pairs");
    if (value.GetType() != CPLJSONObject::Type::Array) return wrong;
    std::vector<LatLon> found;
    for (const CPLJSONObject& pair : value.ToArray()) {
        if (pair.GetType() != CPLJSONObject::Type::Array) return wrong;
        const CPLJSONArray two = pair.ToArray();
        if (two.Size() != 2 || !isNumber(two[0]) || !isNumber(two[1])) return wrong;
        found.push_back({two[0].ToDouble(), two[1].ToDouble()});
    }
    return found;
}

Expected<Fields> hello(const Request&) {
    return Fields(",\"version\":" + jsonString(versionText()) +
                  ",\"protocol\":" + std::to_string(kProtocolVersion));
}

Expected<Fields> features(const Request& r) {
    const auto file = text(r.body, "file");
    if (!file) return file.error();
    const auto edges = area(r.body);
    if (!edges) return edges.error();
    const auto list =
        listFeatures(*file, *edges, [&](double part) { return r.progress.report(part); });
    if (!list) return list.error();
    Fields out = ",\"features\":[";
    for (const FeatureInfo& f : list->features) {
        out += std::string(out.back() == '[' ? "" : ",") + "{\"layer\":" + std::to_string(f.layer) +
               ",\"layerName\":" + jsonString(f.layerName) + ",\"id\":" + std::to_string(f.id) +
               ",\"name\":" + jsonString(f.name) +
               ",\"geometryType\":" + jsonString(f.geometryType) +
               ",\"pointsInside\":" + std::to_string(f.pointsInside) + "}";
    }
    out += "],\"notes\":[";
    for (const std::string& note : list->notes)
        out += std::string(out.back() == '[' ? "" : ",") + jsonString(note);
    return out + "]";
}

Expected<Fields> shape(const Request& r) {
    const auto file = text(r.body, "file");
    if (!file) return file.error();
    const auto layer = integer(r.body, "layer");
    if (!layer) return layer.error();
    const auto fid = integer(r.body, "fid");
    if (!fid) return fid.error();
    const auto edges = area(r.body);
    if (!edges) return edges.error();
    double tolerance = 0;
    if (r.body.GetObj("tolerance").IsValid()) {
        const auto given = number(r.body, "tolerance");
        if (!given || *given < 0) return needs("tolerance", "a number of pixels, 0 or more");
        tolerance = *given;
    }
    if (*layer < 0 || *layer > INT32_MAX) return needs("layer", "a layer number from 0");
    const auto found = featureShape(*file, static_cast<int>(*layer), *fid, *edges, tolerance);
    if (!found) return found.error();
    Fields out =
        std::string(",\"polygon\":") + (found->polygon ? "true" : "false") + ",\"pieces\":[";
    for (const Piece& piece : found->pieces) {
        out += out.back() == '[' ? "[" : ",[";
        for (const PicturePoint& p : piece)
            out += std::string(out.back() == '[' ? "" : ",") + "[" + jsonNumber(p.x) + "," +
                   jsonNumber(p.y) + "]";
        out += "]";
    }
    out += "],\"holeOf\":[";
    for (const std::size_t of : found->holeOf)
        out += std::string(out.back() == '[' ? "" : ",") + std::to_string(of);
    return out + "]";
}

Expected<Fields> exportOp(const Request& r) {
    const auto file = text(r.body, "file");
    if (!file) return file.error();
    const auto lwm = places(r.body, "lwm");
    if (!lwm) return lwm.error();
    const auto vtp = places(r.body, "vtp");
    if (!vtp) return vtp.error();
    const CPLJSONObject given = r.body.GetObj("attributes");
    TraceAttributes attributes;
    for (const auto& [key, value] : {std::pair{"project", &attributes.project},
                                     {"mask", &attributes.mask},
                                     {"altitude", &attributes.altitude},
                                     {"vectorType", &attributes.vectorType},
                                     {"layer", &attributes.layer}}) {
        const CPLJSONObject field = given.GetObj(key);
        if (field.GetType() == CPLJSONObject::Type::String) *value = field.ToString();
    }
    const Status written =
        exportTrace(*file, *lwm, *vtp, r.body.GetObj("vtpPolygon").ToBool(false), attributes);
    if (!written) return written.error();
    return Fields();
}

// {"file", "area", "size", "out"}: the area cut from a georeferenced raster
// at size x size pixels into the picture file out.
Expected<Fields> imagery(const Request& r) {
    const auto file = text(r.body, "file");
    if (!file) return file.error();
    const auto edges = area(r.body);
    if (!edges) return edges.error();
    const auto size = integer(r.body, "size");
    if (!size) return size.error();
    const auto out = text(r.body, "out");
    if (!out) return out.error();
    const Status cut = cutImagery(*file, *edges, static_cast<int>(*size), *out);
    if (!cut) return cut.error();
    return Fields();
}

// {"file", "area", "pixel"}: the file's lines and rings in the box "area",
// simplified to the pixel, as [latitude, longitude] lines.
Expected<Fields> outlinesOp(const Request& r) {
    const auto file = text(r.body, "file");
    if (!file) return file.error();
    const auto edges = area(r.body);
    if (!edges) return edges.error();
    const auto pixel = number(r.body, "pixel");
    if (!pixel || *pixel <= 0) return needs("pixel", "a size in degrees above 0");
    const auto lines = outlines(*file, *edges, *pixel);
    if (!lines) return lines.error();
    Fields out = ",\"lines\":[";
    for (const Outline& line : *lines) {
        out += out.back() == '[' ? "[" : ",[";
        for (const LatLon& place : line)
            out += (out.back() == '[' ? "[" : ",[") + jsonNumber(place.lat) + "," +
                   jsonNumber(place.lon) + "]";
        out += "]";
    }
    return out + "]";
}

// Adding an op is adding a row.
const std::map<std::string, Handler, std::less<>> kHandlers = {
    {"hello", hello},     {"features", features}, {"shape", shape},
    {"export", exportOp}, {"imagery", imagery},   {"outlines", outlinesOp},
};

std::string failure(long long id, const std::string& message) {
    return "{\"id\":" + std::to_string(id) + ",\"ok\":false,\"error\":" + jsonString(message) + "}";
}

// Whether the line holds one JSON object and nothing after it but blanks:
// the reader would stop at the object's end and let the rest pass.
bool nothingAfterTheObject(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] != '{') return false;
    int depth = 0;
    bool inString = false;
    for (std::size_t i = start; i < line.size(); ++i) {
        const char c = line[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && --depth == 0) {
            return line.find_first_not_of(" \t", i + 1) == std::string_view::npos;
        }
    }
    return false;
}

std::string answer(std::string_view line, const ReplySink& send) {
    CPLJSONDocument document;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const bool read = document.LoadMemory(reinterpret_cast<const GByte*>(line.data()),
                                          static_cast<int>(line.size()));
    CPLPopErrorHandler();
    const CPLJSONObject body = document.GetRoot();
    if (!read || body.GetType() != CPLJSONObject::Type::Object || !nothingAfterTheObject(line))
        return failure(0, "The request is not a JSON object.");
    const CPLJSONObject id = body.GetObj("id");
    if (!isInteger(id)) return failure(0, "The request has no whole number \"id\".");
    const long long number = id.ToLong();
    const CPLJSONObject op = body.GetObj("op");
    if (op.GetType() != CPLJSONObject::Type::String)
        return failure(number, "The request has no \"op\".");
    const auto handler = kHandlers.find(op.ToString());
    if (handler == kHandlers.end())
        return failure(number, "There is no op \"" + op.ToString() + "\".");
    const auto fields = [&] {
        ProgressLines progress(number, send, std::chrono::milliseconds(500));
        return handler->second(Request{number, body, progress});
    }();
    if (!fields) return failure(number, fields.error().message);
    return "{\"id\":" + std::to_string(number) + ",\"ok\":true" + *fields + "}";
}

}  // namespace

const char* versionText() { return QUILLMAP4_VERSION; }

void answerRequest(std::string_view line, const ReplySink& send) {
    std::string reply;
    try {
        reply = answer(line, send);
    } catch (const std::exception& e) {
        reply = failure(0, std::string("The request failed: ") + e.what() + ".");
    }
    send(reply);
}

std::vector<std::string> answerRequest(std::string_view line) {
    std::vector<std::string> lines;
    answerRequest(line, [&](const std::string& reply) { lines.push_back(reply); });
    return lines;
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // The length of a well-formed UTF-8 character here, or 0.
        std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
        if (length > 1) {
            if (i + length > text.size()) length = 0;
            for (std::size_t k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) length = 0;
            const auto second = length ? static_cast<unsigned char>(text[i + 1]) : 0;
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
                length = 0;  // overlong, a surrogate, or beyond U+10FFFF
        }
        if (length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (lead == '"' || lead == '\\') {
            out += '\\';
            out += static_cast<char>(lead);
        } else if (lead < 0x20 || lead == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", lead);
            out += escaped;
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out + "\"";
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

}  // namespace qm4::geo
