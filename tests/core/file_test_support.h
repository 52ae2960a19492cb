// Shared by the core tests that touch files: golden-file comparison with a
// readable first difference, and a scratch folder removed after each test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace qm4::testing_support {

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string goldenBytes(const std::string& name) {
    return readBytes(std::filesystem::path(QUILLMAP4_TEST_DATA) / name);
}

// Compares byte for byte; on a mismatch names the first differing line (CR
// and LF shown as \r and \n) so the failure reads without a hex dump.
inline ::testing::AssertionResult matchesGolden(const std::string& actual,
                                                const std::string& name) {
    const std::string expected = goldenBytes(name);
    if (expected.empty())
        return ::testing::AssertionFailure() << "golden file " << name << " is missing";
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    const std::size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t from = lineStart == std::string::npos || at == 0 ? 0 : lineStart + 1;
    const auto lineNumber = 1 + std::count(expected.begin(), expected.begin() + from, '\n');
    const auto lineOf = [from](const std::string& text) -> std::string {
        if (from >= text.size()) return "(end of file)";
        std::string line = text.substr(from, text.find('\n', from) - from + 1);
        std::string shown;
        for (char c : line) shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
        return "\"" + shown + "\"";
    };
    return ::testing::AssertionFailure()
           << name << " differs at line " << lineNumber << "\n  expected: " << lineOf(expected)
           << "\n  actual:   " << lineOf(actual);
}

// A fresh folder under the system's temporary folder.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("quillmap4-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace qm4::testing_support
