// Key=value lines with escaped values, written and read back.
#include "project/line_record.h"

#include <algorithm>
#include <charconv>

#include "textio/text_file.h"

namespace qm4 {

namespace {
constexpr const char* kColourNames[] = {"Default", "Black", "Red"};
}  // namespace

void appendValue(std::string& out, std::string_view key, std::string_view value) {
    out.append(key);
    out += '=';
    out += toEscapedWindows1252(value);
    out += "\r\n";
}

void appendLines(std::string& out, std::string_view key, const std::vector<std::string>& lines) {
    appendValue(out, key, std::to_string(lines.size()));
    for (const std::string& line : lines) {
        out += toEscapedWindows1252(line);
        out += "\r\n";
    }
}

const char* colourName(CounterColour colour) { return kColourNames[static_cast<int>(colour)]; }

LineRecordReader::LineRecordReader(std::string_view bytes, std::string kind)
    : lines_(splitLines(bytes)), kind_(std::move(kind)) {}

void LineRecordReader::fail(std::size_t line, const std::string& what) const {
    throw RecordFault{"Line " + std::to_string(line) + " of the " + kind_ + " " + what + "."};
}

std::string_view LineRecordReader::next(std::string_view expected) {
    if (at_ >= lines_.size()) fail(at_ + 1, "is missing; it should hold " + std::string(expected));
    return lines_[at_++];
}

std::string LineRecordReader::unescape(std::string_view raw, std::size_t line) const {
    auto text = fromEscapedWindows1252(raw);
    if (!text) fail(line, "holds a \"%\" that two hex digits do not follow");
    return std::move(*text);
}

void LineRecordReader::expectLine(std::string_view exact) {
    if (next(exact) != exact) fail(at_, "should be \"" + std::string(exact) + "\"");
}

std::string LineRecordReader::value(std::string_view key) {
    const std::string prefix = std::string(key) + "=";
    const std::string_view line = next("\"" + prefix + "...\"");
    if (line.substr(0, prefix.size()) != prefix) fail(at_, "should start with \"" + prefix + "\"");
    return unescape(line.substr(prefix.size()), at_);
}

std::string LineRecordReader::optionalValue(std::string_view key) {
    const std::string prefix = std::string(key) + "=";
    if (at_ >= lines_.size() || lines_[at_].substr(0, prefix.size()) != prefix) return {};
    return value(key);
}

bool LineRecordReader::truth(std::string_view key) {
    const std::string text = value(key);
    if (text != "True" && text != "False") fail(at_, "should end in True or False");
    return text == "True";
}

CounterColour LineRecordReader::colour(std::string_view key) {
    const std::string text = value(key);
    const auto* found = std::find(std::begin(kColourNames), std::end(kColourNames), text);
    if (found == std::end(kColourNames)) fail(at_, "should end in Default, Black or Red");
    return static_cast<CounterColour>(found - std::begin(kColourNames));
}

std::vector<std::string> LineRecordReader::lines(std::string_view key) {
    const std::string text = value(key);
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        fail(at_, "should end in a number of lines");
    if (count > lines_.size() - at_)
        fail(at_, "announces " + text + " lines, but the file ends before them");
    std::vector<std::string> read;
    read.reserve(count);
    for (std::size_t i = 0; i < count; ++i) read.push_back(unescape(lines_[at_ + i], at_ + i + 1));
    at_ += count;
    return read;
}

void LineRecordReader::expectEnd() {
    if (at_ < lines_.size()) fail(at_ + 1, "follows the end of the file's content");
}

}  // namespace qm4
