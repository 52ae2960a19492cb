// The batch's region, its form and its output folder, each checked before
// the long read of the input.
#include "geo/batch_setup.h"

#include <unistd.h>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/numbers.h"
#include "project/project_file.h"
#include "source/source_writers.h"
#include "textio/text_file.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMostListBytes = 64 << 20;

// A file or a pipe (--areas <(grep ...)), read whole.
Expected<std::string> readList(const std::string& path) {
    if (isRegularFile(path)) return readFileBytes(path, kMostListBytes);
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Error{"\"" + path + "\" is a folder."};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    std::string text;
    for (char chunk[1 << 16]; in && text.size() <= kMostListBytes;) {
        in.read(chunk, sizeof chunk);
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (!in.eof() || text.size() > kMostListBytes)
        return Error{"Could not read \"" + path +
                     "\": " + (errno ? std::strerror(errno) : "it is too long") + "."};
    return text;
}

Expected<Region> listedAreas(const std::string& file) {
    const auto text = readList(file);
    if (!text) return Error{"--areas: " + text.error().message};
    Region r;
    int lineNumber = 0;
    for (std::string_view line : splitLines(*text)) {
        ++lineNumber;
        std::string numbers(line.substr(0, line.find('#')));
        for (char& c : numbers)
            if (c == ',' || c == '_' || c == ';' || c == '\t') c = ' ';
        std::istringstream in(numbers);
        int n[4];
        std::string rest;
        if (!(in >> std::ws) || in.eof()) continue;
        if (!(in >> n[0] >> n[1] >> n[2] >> n[3]) || (in >> rest) || n[0] < 0 || n[0] > 767 ||
            n[1] < 0 || n[1] > 511 || n[2] < 0 || n[2] > 31 || n[3] < 0 || n[3] > 31)
            return Error{
                "Line " + std::to_string(lineNumber) + " of \"" + file +
                "\" is no area: give CELLX,CELLY,AREAX,AREAY, cells 0-767 and 0-511, areas 0-31."};
        r.listed.insert({n[0] * 32 + n[2], n[1] * 32 + n[3]});
    }
    if (r.listed.empty()) return Error{"\"" + file + "\" lists no area."};
    GridRange range{24576, 16384, 0, 0};
    for (const auto& [x, y] : r.listed) {
        range.x0 = std::min(range.x0, x), range.x1 = std::max(range.x1, x + 1);
        range.y0 = std::min(range.y0, y), range.y1 = std::max(range.y1, y + 1);
    }
    r.ranges.push_back(range);
    return r;
}

// ext2/3/4 put a new folder in the block group of the folder that holds
// it, and every file in the group of its folder, so the thousands of area
// folders would crowd one group. Without a journal ext4 also will not
// reuse, for some minutes, an inode freed there, and steps over each one
// for every file it makes: after an earlier run's folders were removed,
// making a file then costs 0.2 to 0.3 ms instead of 0.02 ms. Marked as the
// top of a folder tree (as chattr +T does), the output folder has its
// subfolders spread over the groups as the file system root has. Other
// file systems refuse the mark, which costs nothing.
void spreadSubfolders(const std::string& folder) {
#ifdef __linux__
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && !(flags & FS_TOPDIR_FL)) {
        flags |= FS_TOPDIR_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
#else
    (void)folder;
#endif
}

}  // namespace

long long Region::count() const {
    long long sum = 0;
    for (const GridRange& range : ranges) sum += range.count();
    return sum;
}

std::optional<std::array<double, 4>> regionNumbers(const std::string& text) {
    std::array<double, 4> n{};
    std::size_t count = 0;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');) {
        const auto number = strictNumber(part);
        if (!number || !std::isfinite(*number) || count == n.size()) return std::nullopt;
        n[count++] = *number;
    }
    if (count != n.size() || text.ends_with(',')) return std::nullopt;
    return n;
}

Expected<Region> regionOf(const BatchOptions& o) {
    if (o.region.empty()) return listedAreas(o.areasFile);
    const auto numbers = regionNumbers(o.region);
    if (!numbers)
        return Error{"--region takes 4 numbers separated by commas, not \"" + o.region + "\"."};
    const auto& n = *numbers;
    const double south = n[0], west = n[1], north = n[2], east = n[3];
    if (south < -90 || north > 90 || west < -180 || east > 180 || west > 180 || east < -180)
        return Error{"The region " + o.region +
                     " reaches beyond the globe (latitudes -90 to 90, longitudes -180 to 180)."};
    // West beyond east: the region crosses the antimeridian.
    const double width = east > west ? east - west : east - west + 360;
    if (!(north > south) || east == west)
        return Error{"The region " + o.region +
                     " is empty: give SOUTH,WEST,NORTH,EAST with north above south (and west "
                     "beyond east only for a region across the antimeridian)."};
    if ((width > 180 || north - south > 90) && !o.yes)
        return Error{"The region " + o.region +
                     " spans more than a hemisphere; add --yes to make every area in it."};
    const int x0 = static_cast<int>(std::floor((west + 180) / kAreaWidth));
    const int x1 = std::min(24576, static_cast<int>(std::ceil((east + 180) / kAreaWidth)));
    const int y0 = static_cast<int>(std::floor((90 - north) / kAreaHeight));
    const int y1 = std::min(16384, static_cast<int>(std::ceil((90 - south) / kAreaHeight)));
    Region r;
    if (east > west) r.ranges.push_back({x0, y0, x1, y1});
    for (const GridRange& part : {GridRange{x0, y0, 24576, y1}, GridRange{0, y0, x1, y1}})
        if (west > east && part.x1 > part.x0) r.ranges.push_back(part);
    return r;
}

Expected<AreaSettings> settingsOf(const BatchOptions& o) {
    AreaSettings settings;
    settings.outFolder = o.out;
    settings.force = o.force;
    settings.tolerance = o.tolerance;
    ProjectState& s = settings.form;
    if (!o.templateFile.empty()) {
        const auto bytes = readFileBytes(o.templateFile, 1 << 20);
        if (!bytes) return Error{"--template: " + bytes.error().message};
        const auto content = parseProjectFile(*bytes);
        if (!content)
            return Error{"--template \"" + o.templateFile + "\": " + content.error().message};
        applyProjectFile(s, *content);
        settings.projectName = s.txtprojectname;
    }
    for (const auto& [option, value] : o.fields) {
        if (option == "--name") settings.projectName = value;
        if (option == "--author") s.txtauthorname = value;
        if (option == "--comments") s.txtcomments = value;
        if (option == "--altitude") s.txtaltitude = value;
        if (option == "--land-class") s.cbolandclass = value;
        if (option == "--vector-type") s.cbovtptype = value;
        if (option == "--vtp-layer") s.cbolayer = value;
        if (option == "--width") s.txtvtplinewidth = value;
        if (option == "--land" || option == "--water")
            s.Option2 = !(s.Option1 = option == "--land");
        if (option == "--line" || option == "--poly") s.Option3 = !(s.Option4 = option == "--line");
    }
    if (o.compile) {
        CompilerSettings compiler;
        if (const auto ini = readFileBytes(windowSettingsPath(), 1 << 20))
            readCompilerSettings(*ini, compiler);
        if (o.compiler) compiler.compiler = *o.compiler;
        if (o.runner) compiler.runner = *o.runner;
        if (o.limit) compiler.limitSeconds = *o.limit;
        if (compiler.compiler.empty())
            return Error{
                "--compile needs a compiler: choose it in the window's Preferences or give "
                "--compiler."};
        settings.compile = compiler;
    }
    return settings;
}

std::vector<std::string> missingFormOptions(const ProjectState& form) {
    static const std::map<std::string, std::string> optionOf = {{"txtaltitude", "--altitude"},
                                                                {"cbovtptype", "--vector-type"},
                                                                {"txtvtplinewidth", "--width"},
                                                                {"cbolayer", "--vtp-layer"}};
    std::vector<std::string> missing;
    for (const bool lwm : {true, false})
        for (const std::string& field : fieldsTheCompilerNeeds(form, lwm))
            if (const auto option = optionOf.find(field); option != optionOf.end())
                missing.push_back(option->second);
    return missing;
}

Status checkOutFolder(const std::string& folder) {
    std::error_code ec;
    fs::path existing = fs::absolute(folder, ec);
    while (!fs::exists(existing, ec) && existing.has_relative_path())
        existing = existing.parent_path();
    const bool there = existing == fs::absolute(folder, ec);
    if (!fs::is_directory(existing, ec))
        return Error{"Cannot make the output folder \"" + folder + "\": \"" + existing.string() +
                     "\" is a file."};
    if (::access(existing.c_str(), W_OK | X_OK) != 0)
        return Error{std::string(there ? "Cannot write in" : "Cannot make") +
                     " the output folder \"" + folder + "\": " + std::strerror(errno) + "."};
    return okStatus();
}

Status makeOutFolder(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        return Error{"Cannot make the output folder \"" + folder +
                     "\": " + (ec ? ec.message() : "it is a file") + "."};
    spreadSubfolders(folder);
    const std::string probe = joinPath(folder, ".quillmap4-probe");
    const Status written = writeFileAtomically(probe, "");
    fs::remove(probe, ec);
    if (!written)
        return Error{"Cannot write in the output folder \"" + folder +
                     "\": " + written.error().message};
    return okStatus();
}

}  // namespace qm4::geo
