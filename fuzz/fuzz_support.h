// What the fuzz targets share: their common headers; a check that stays on
// in every build and aborts, so libFuzzer keeps the input that failed it;
// field texts; file contents; and a scratch folder, removed when the fuzzer
// ends normally, for the targets that write files.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <tuple>

#include "textio/text_file.h"

#define FUZZ_CHECK(c) ((c) ? void() : (std::fputs("check failed: " #c "\n", stderr), std::abort()))

// Raw bytes, malformed UTF-8 and line breaks included, or a whole number,
// as the readings and the counters take them.
inline std::string fieldText(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeRandomLengthString(32)
                            : std::to_string(in.ConsumeIntegralInRange(-300, 300));
}

inline std::string fileBytes(const std::string& path) {
    const auto bytes = qm4::readFileBytes(path, 1 << 20);
    return bytes ? *bytes : "(no file)";
}

struct ScratchFolder {
    std::string path = (std::filesystem::temp_directory_path() / "qm4fuzz.XXXXXX").string();
    ScratchFolder() { FUZZ_CHECK(mkdtemp(path.data()) != nullptr); }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
};
