// Shared by the core tests: case tables and golden files in tests/core/data,
// project states kept as data files, and a scratch working folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "project/project_file.h"

namespace qm4::testing_support {

namespace fs = std::filesystem;
using Cells = std::vector<std::string>;

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string dataBytes(const std::string& name) {
    const fs::path path = fs::path(QUILLMAP4_TEST_DATA) / name;
    if (!fs::is_regular_file(path)) throw std::runtime_error("no data file " + name);
    return readBytes(path);
}

// The example <pre id="id"> of a help document or the README, as a reader
// sees it: the line break after <pre> dropped, character references read.
inline std::string example(const std::string& document, const std::string& id) {
    const std::string html = dataBytes(document), start = "<pre id=\"" + id + "\">";
    const std::size_t at = html.find(start), end = html.find("</pre>", at);
    if (end == std::string::npos) throw std::runtime_error("no example " + id + " in " + document);
    std::string text = html.substr(at + start.size(), end - at - start.size());
    if (text.starts_with('\n')) text.erase(0, 1);
    for (const auto& [from, to] :
         {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        for (auto i = text.find(from); i != std::string::npos; i = text.find(from, i + 1))
            text.replace(i, std::string_view(from).size(), to);
    return text;
}

// A table cell: the blanks around it dropped, then "@name" stands for the
// bytes of a data file and "@name#id" for an example in a document; otherwise
// outer quotes go and \r \n \t \xHH and a backslash before any other
// character are read as escapes.
inline std::string cell(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    if (const auto hash = text.find('#'); text.starts_with('@') && hash != std::string::npos)
        return example(text.substr(1, hash - 1), text.substr(hash + 1));
    if (text.starts_with('@')) return dataBytes(text.substr(1));
    if (text.size() > 1 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
        } else if (text[++i] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i] == 'r' ? '\r' : text[i] == 'n' ? '\n' : text[i] == 't' ? '\t' : text[i];
        }
    }
    return out;
}

// The system this test runs on, as a row that holds for one system only
// names it after its name: "Name [windows]", "Name [posix]".
#ifdef _WIN32
inline constexpr std::string_view kSystem = "windows";
#else
inline constexpr std::string_view kSystem = "posix";
#endif

// One row of a case table: name [system] | function | inputs... | => | expected...
struct Row {
    std::string name, system, function;
    Cells in, out;
};

inline void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

inline std::vector<Row> readRows(const std::string& table) {
    std::vector<Row> rows;
    std::istringstream text(dataBytes(table));
    for (std::string line; std::getline(text, line);) {
        if (line.empty() || line.starts_with('#')) continue;
        Cells cells;
        std::istringstream split(line);
        for (std::string raw; std::getline(split, raw, '|');) cells.push_back(cell(raw));
        const auto arrow = std::find(cells.begin(), cells.end(), "=>");
        std::string name = cells.at(0), system;
        if (const auto open = name.find(" ["); open != std::string::npos && name.ends_with(']')) {
            system = name.substr(open + 2, name.size() - open - 3);
            name.erase(open);
        }
        rows.push_back({name, system, cells.at(1), Cells(cells.begin() + 2, arrow),
                        Cells(arrow == cells.end() ? arrow : arrow + 1, cells.end())});
    }
    return rows;
}

using Functions = std::map<std::string, std::function<Cells(const Cells&)>>;

inline void checkRow(const Functions& functions, const Row& row) {
    if (!row.system.empty() && row.system != kSystem)
        GTEST_SKIP() << row.name << " holds for " << row.system << " only";
    const Cells actual = functions.at(row.function)(row.in);
    ASSERT_EQ(actual.size(), row.out.size()) << testing::PrintToString(actual);
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(actual[i], row.out[i]) << "output " << i + 1;
}

// One parameterised case per row of a table in tests/core/data, named by the
// row: its function turns the inputs into texts compared with the expected.
#define QM4_CASE_TABLE(Suite, table, functions)                                                \
    class Suite : public testing::TestWithParam<testing_support::Row> {};                      \
    TEST_P(Suite, GivesTheExpectedTexts) { testing_support::checkRow(functions, GetParam()); } \
    INSTANTIATE_TEST_SUITE_P(Rows, Suite, testing::ValuesIn(testing_support::readRows(table)), \
                             [](const auto& info) { return info.param.name; })

template <class T>
std::string message(const Expected<T>& result) {
    return result ? "ok" : result.error().message;
}

// The lines of a text, without their ends.
inline Cells linesOf(const std::string& text) {
    Cells lines;
    std::istringstream split(text);
    for (std::string line; std::getline(split, line);)
        lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}

// Each line followed by a line feed.
inline std::string joined(const Cells& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

// A project state kept as a data file: a project file, then the LWM and VTP
// counter texts, then the list lines, each going to the list its keyword names.
inline ProjectState stateOf(const std::string& bytes) {
    ProjectState s;
    applyProjectFile(s, *parseProjectFile(bytes));
    Cells lines = linesOf(bytes);
    lines.resize(std::max<std::size_t>(lines.size(), kProjectFileLines + 2));
    s.txtlwmnumber = lines[kProjectFileLines];
    s.txtvtpnumber = lines[kProjectFileLines + 1];
    for (auto at = lines.begin() + kProjectFileLines + 2; at != lines.end(); ++at)
        (at->starts_with("LWM") ? s.lstLWM : s.lstVTP).lines.push_back(*at);
    return s;
}

// The test's own working folder, so that file names in messages are short and
// fixed; the earlier working folder comes back and the scratch one goes.
struct ScratchFolder {
    fs::path earlier = fs::current_path();
    fs::path path =
        fs::temp_directory_path() / ("quillmap4-" + std::to_string(std::random_device{}()));
    std::error_code ignored;
    ScratchFolder() {
        fs::create_directories(path);
        fs::current_path(path);
    }
    ~ScratchFolder() {
        fs::current_path(earlier);
        // Windows deletes no read-only file.
        for (const auto& entry : fs::recursive_directory_iterator(path, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
};

// The names in the working folder, sorted, a blank between them.
inline std::string folderNames() {
    Cells names;
    for (const auto& entry : fs::directory_iterator(".")) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    std::string folder;
    for (const auto& name : names) folder += (folder.empty() ? "" : " ") + name;
    return folder;
}

}  // namespace qm4::testing_support
