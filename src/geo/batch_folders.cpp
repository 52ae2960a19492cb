// Folders made aside and renamed into place: a rename within one folder is
// the one step a file system makes whole.
#include "geo/batch_folders.h"

#include <vector>

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;

// Where an earlier folder waits while the new ones are put in place.
fs::path setAside(const fs::path& out, const std::string& area, std::size_t piece) {
    return out / ("." + pieceFolder(area, piece) + ".old");
}

// The area's folders there are: the first, then the further ones in a row.
std::vector<std::size_t> presentPieces(const fs::path& out, const std::string& area) {
    std::vector<std::size_t> present;
    std::error_code ec;
    for (std::size_t k = 1; k == 1 || fs::exists(out / pieceFolder(area, k), ec); ++k)
        if (fs::exists(out / pieceFolder(area, k), ec)) present.push_back(k);
    return present;
}

}  // namespace

std::string pieceFolder(const std::string& area, std::size_t piece) {
    return piece == 1 ? area : area + "_" + std::to_string(piece);
}

fs::path partialFolder(const fs::path& out, const std::string& area, std::size_t piece) {
    return out / ("." + pieceFolder(area, piece) + ".partial");
}

Status makeFreshFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::create_directory(folder, ec)) return okStatus();
    fs::remove_all(folder, ec);
    if (!ec && fs::create_directory(folder, ec)) return okStatus();
    return Error{"Could not make \"" + folder.string() +
                 "\": " + (ec ? ec.message() : std::string("it is in use")) + "."};
}

void removeLeftovers(const fs::path& out, const std::string& area) {
    std::error_code ec;
    for (std::size_t k = 1; k == 1 || fs::exists(partialFolder(out, area, k), ec) ||
                            fs::exists(setAside(out, area, k), ec);
         ++k) {
        fs::remove_all(partialFolder(out, area, k), ec);
        fs::remove_all(setAside(out, area, k), ec);
    }
}

void removeAreaFolders(const fs::path& out, const std::string& area) {
    std::error_code ec;
    for (const std::size_t k : presentPieces(out, area))
        fs::remove_all(out / pieceFolder(area, k), ec);
}

Status placeArea(const fs::path& out, const std::string& area, std::size_t pieces) {
    std::error_code ec, ignored;
    std::vector<std::size_t> aside;
    // The first folder goes first: without it the area reads as unfinished.
    for (const std::size_t k : presentPieces(out, area)) {
        fs::rename(out / pieceFolder(area, k), setAside(out, area, k), ec);
        if (ec) break;
        aside.push_back(k);
    }
    std::size_t placed = pieces + 1;  // the lowest piece put in place
    for (std::size_t k = pieces; !ec && k >= 1; --k) {
        fs::rename(partialFolder(out, area, k), out / pieceFolder(area, k), ec);
        if (!ec) placed = k;
    }
    if (!ec) {
        for (const std::size_t k : aside) fs::remove_all(setAside(out, area, k), ignored);
        return okStatus();
    }
    for (std::size_t k = 1; k <= pieces; ++k) {
        fs::remove_all(partialFolder(out, area, k), ignored);
        if (k >= placed) fs::remove_all(out / pieceFolder(area, k), ignored);
    }
    for (const std::size_t k : aside)
        fs::rename(setAside(out, area, k), out / pieceFolder(area, k), ignored);
    return Error{"Could not put the folders of " + area + " in place: " + ec.message() + "."};
}

}  // namespace qm4::geo
