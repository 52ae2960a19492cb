// A private temporary folder for the fuzz targets that write files, removed
// when the fuzzer exits normally.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "fuzz_check.h"

namespace qm4fuzz {

class Folder {
  public:
    Folder() {
        std::string name = (std::filesystem::temp_directory_path() / "qm4fuzz.XXXXXX").string();
        FUZZ_CHECK(mkdtemp(name.data()) != nullptr);
        path_ = name;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace qm4fuzz
