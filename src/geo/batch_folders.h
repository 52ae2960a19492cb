// The folders of one area of the batch: each piece made in a hidden
// folder of its own, then all of them put in place of the area's earlier
// folders together, so that an area is either as one run left it or as
// the next one makes it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "model/expected.h"

namespace qm4::geo {

// "123_120_05_28" for the first piece, "123_120_05_28_2" for the second...
std::string pieceFolder(const std::string& area, std::size_t piece);

// Where a piece is made: ".123_120_05_28_2.partial" in the output folder.
std::filesystem::path partialFolder(const std::filesystem::path& out, const std::string& area,
                                    std::size_t piece);

// A fresh, empty folder in place of whatever a stopped run left there.
Status makeFreshFolder(const std::filesystem::path& folder);

// Removes what a run stopped in this area left: its hidden folders.
void removeLeftovers(const std::filesystem::path& out, const std::string& area);

// Removes the area's folders.
void removeAreaFolders(const std::filesystem::path& out, const std::string& area);

// Puts the pieces' hidden folders 1..pieces in place of the area's earlier
// folders, the first folder last; on a failure the earlier folders come
// back and the new ones go.
Status placeArea(const std::filesystem::path& out, const std::string& area, std::size_t pieces);

}  // namespace qm4::geo
