// The "Key=value" lines that the points and recovery files are made of:
// values escaped so that every character comes back, counted blocks of list
// lines, and a reader that names the line of any fault it meets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/project_state.h"

namespace qm4 {

// Appends "Key=value" and CR LF, the value escaped.
void appendValue(std::string& out, std::string_view key, std::string_view value);

// Appends "Key=count" and then each line escaped, each with CR LF.
void appendLines(std::string& out, std::string_view key, const std::vector<std::string>& lines);

const char* colourName(CounterColour colour);

// Thrown by the reader; the file readers turn it into an Error.
struct RecordFault {
    std::string message;
};

class LineRecordReader {
  public:
    // kind names the file in messages ("points file").
    LineRecordReader(std::string_view bytes, std::string kind);

    void expectLine(std::string_view exact);
    std::string value(std::string_view key);
    // The value when the next line has this key, else nothing read and "".
    std::string optionalValue(std::string_view key);
    bool truth(std::string_view key);
    CounterColour colour(std::string_view key);
    std::vector<std::string> lines(std::string_view key);
    void expectEnd();

  private:
    [[noreturn]] void fail(std::size_t line, const std::string& what) const;
    std::string_view next(std::string_view expected);
    std::string unescape(std::string_view raw, std::size_t line) const;

    std::vector<std::string_view> lines_;
    std::size_t at_ = 0;
    std::string kind_;
};

}  // namespace qm4
