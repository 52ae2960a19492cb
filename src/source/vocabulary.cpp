// The land class, vector type and layer lists. The repetitive runs (the
// shoreline and road sets, the layers 0..100) are generated from short tables.
#include "source/vocabulary.h"

#include <map>
#include <string_view>

namespace qm4 {

namespace {

// "\"1135\"  ;asphalt / 1 lane": the quoted code is the macro argument, the
// rest an assembler comment.
std::string valueEntry(int code, int blanks, std::string_view description) {
    return "\"" + std::to_string(code) + "\"" + std::string(blanks, ' ') + ";" +
           std::string(description);
}

std::vector<std::string> buildLandClassList() {
    // Codes 0..142 missing here are the unused ones.
    static const std::map<int, std::string_view> kNamed = {
        {0, "Ocean, Sea, Large Lake"},
        {1, "Large City Urban Grid Wet (DO NOT USE)"},
        {2, "Low Sparse Grassland"},
        {3, "Coniferous Forest"},
        {4, "Deciduous Conifer Forest"},
        {5, "Deciduous Broadleaf Forest"},
        {6, "Evergreen Broadleaf Forests"},
        {7, "Tall Grasses And Shrubs"},
        {8, "Bare Desert"},
        {9, "Upland Tundra"},
        {10, "Irrigated Grassland"},
        {11, "Semi Desert"},
        {13, "Wooded Wet Swamp"},
        {16, "Shrub Evergreen"},
        {17, "Shrub Deciduous"},
        {19, "Evergreen Forest And Fields"},
        {20, "Cool Rain Forest"},
        {21, "Conifer Boreal Forest"},
        {22, "Cool Conifer Forest"},
        {23, "Cool Mixed Forest"},
        {24, "Mixed Forest"},
        {25, "Cool Broadleaf Forest"},
        {26, "Southern Deciduous Broadleaf Forest"},
        {27, "Conifer Forest"},
        {28, "Montane Tropical Forests"},
        {29, "Seasonal Tropical Forest"},
        {30, "Cool Crops And Towns"},
        {31, "Crops And Town"},
        {32, "Dry Tropical Woods"},
        {33, "Tropical Rainforest"},
        {34, "Tropical Degraded Forest"},
        {35, "Corn And Beans Cropland"},
        {36, "Rice Paddy And Field"},
        {37, "Hot Irrigated Cropland"},
        {38, "Cool Irrigated Cropland"},
        {40, "Cool Grasses And Shrubs"},
        {41, "Hot And Mild Grasses And Shrubs"},
        {42, "Cold Grassland"},
        {43, "Savanna (Woods)"},
        {44, "Mire Bog Fen"},
        {45, "Marsh Wetland"},
        {46, "Mediterranean Scrub"},
        {47, "Dry Woody Scrub"},
        {48, "Dry Evergreen Woods"},
        {50, "Sand Desert"},
        {51, "Semi Desert Shrubs"},
        {52, "Semi Desert Sage"},
        {53, "Barren Tundra"},
        {54, "Cool Southern Hemisphere Mixed Forests"},
        {55, "Cool Fields And Woods"},
        {56, "Forest And Field"},
        {57, "Cool Forest And Field"},
        {58, "Fields And Woody Savanna"},
        {59, "Succulent And Thorn Scrub"},
        {60, "Small Leaf Mixed Woods"},
        {61, "Deciduous And Mixed Boreal Forest"},
        {62, "Narrow Conifers"},
        {63, "Wooded Tundra"},
        {64, "Heath Scrub"},
        {69, "Polar And Alpine Desert"},
        {72, "Mangrove"},
        {76, "Crop And Water Mixtures"},
        {78, "Southern Hemisphere Mixed Forest"},
        {89, "Moist Eucalyptus"},
        {90, "Rain Green Tropical Forest"},
        {91, "Woody Savanna"},
        {92, "Broadleaf Crops"},
        {93, "Grass Crops"},
        {94, "Crops Grass Shrubs"},
        {100, "Ocean, Sea, Large Lake"},
        {101, "Large City Urban Grid Wet"},
        {102, "Large City Urban Grid Dry"},
        {103, "Large City Urban Non Grid Wet"},
        {104, "Large City Urban Non Grid Dry"},
        {105, "Medium City Urban Grid Wet"},
        {106, "Medium City Urban Grid Dry"},
        {107, "Medium City Urban Non Grid Wet"},
        {108, "Medium City Urban Non Grid Dry"},
        {109, "Large City Suburban Grid Wet"},
        {110, "Large City Suburban Grid Dry"},
        {111, "Large City Suburban Non Grid Wet"},
        {112, "Large City Suburban Non Grid Dry"},
        {113, "Medium City Suburban Grid Wet"},
        {114, "Medium City Suburban Grid Dry"},
        {115, "Medium City Suburban Non Grid Wet"},
        {116, "Medium City Suburban Non Grid Dry"},
        {117, "Small City Suburban Grid Wet"},
        {118, "Small City Suburban Grid Dry"},
        {119, "Small City Suburban Non Grid Wet"},
        {120, "Small City Suburban Non Grid Dry"},
        {121, "Large City Highrise"},
        {122, "Ice"},
        {123, "Inland Water (DO NOT USE)"},
        {124, "Ocean Inlet (DO NOT USE)"},
        {125, "Non Perennial Inland Water (DO NOT USE)"},
        {126, "Non Perennial Inland Sea (DO NOT USE)"},
        {127, "Reef"},
        {128, "Grass"},
        {129, "Arid"},
        {130, "Rock"},
        {131, "Dirt"},
        {132, "Coral"},
        {133, "Lava"},
        {134, "Park"},
        {135, "Golf Course"},
        {136, "Cement"},
        {137, "Tan Sand Beach"},
        {138, "Black Sand Beach"},
        {139, "Airfield1 (DO NOT USE)"},
        {140, "Airfield2 (DO NOT USE)"},
        {141, "Rock Volcanic"},
        {142, "Rock Ice"},
        {252, "Custom Texture with All Seasons"},
        {253, "Custom Texture"},
        {254, "Transparent"},
        {255, "Invalid"},
    };
    std::vector<std::string> list;
    const auto add = [&list](int code) {
        const auto named = kNamed.find(code);
        list.push_back(valueEntry(code, code < 10 ? 2 : 1,
                                  named != kNamed.end() ? named->second : "### Unused ###"));
    };
    for (int code = 0; code <= 142; ++code) add(code);
    for (int code = 252; code <= 255; ++code) add(code);
    return list;
}

std::vector<std::string> shorelineSet(std::string_view dryBed) {
    return {"white sand", "tan sand", "black sand",       "urban", "harbor", "ice",
            "bank",       "swamp",    std::string(dryBed)};
}

// Four surfaces for each lane count; the divided-median group spells its
// four-lane concrete entry "4 lane".
std::vector<std::string> roadSet(bool divided) {
    std::vector<std::string> set;
    for (const int lanes : {1, 2, 4, 6, 8, 10}) {
        for (const char* surface : {"concrete", "asphalt", "gravel", "dirt"}) {
            set.push_back(std::string(surface) + " / " + std::to_string(lanes) +
                          (lanes == 1 ? " lane" : " lanes"));
        }
    }
    if (divided) set[8] = "concrete / 4 lane";
    return set;
}

struct VtpGroup {
    std::string_view heading;
    int blanks;  // before the ";" of each value entry
    std::vector<std::string> descriptions;
    std::string_view separatorAfter;  // the entry between this group and the next
};

std::vector<std::string> buildVtpTypeList() {
    const std::vector<VtpGroup> groups = {
        {";Stream Lines", 1, {"unknown/perennial", "unknown/non-perennial"}, ""},
        {";Ocean Shorelines - Perennial", 3, shorelineSet("dry oceanbed"), ""},
        {";Ocean Shorelines - Non Perennial", 3, shorelineSet("dry oceanbed"), ""},
        {";Ocean Shorelines - Surf", 3, shorelineSet("dry oceanbed"), ""},
        {";Ocean Shoreline - No Surf", 3, shorelineSet("dry oceanbed"), ""},
        {";Lake Shorelines - Perennial", 3, shorelineSet("dry lakebed"), ""},
        {";Lake Shorelines - Non Perennial", 3, shorelineSet("dry lakebed"), ""},
        {";Lake Shorelines - Surf", 3, shorelineSet("dry lakebed"), ""},
        {";Lake Shorelines - No Surf", 3, shorelineSet("dry lakebed"), ""},
        {";River Shorelines - Perennial", 3, shorelineSet("dry riverbed"), " "},
        {";River Shorelines - Non Perennial", 3, shorelineSet("dry riverbed"), " "},
        {";River Shorelines - Surf", 3, shorelineSet("dry riverbed"), ""},
        {";River Shorelines - No Surf", 3, shorelineSet("dry riverbed"), ""},
        {";ROADS - Divided Median", 2, roadSet(true), ""},
        {";ROADS - Undivided Median", 2, roadSet(false), ""},
        {";Airport Backgrounds",
         2,
         {"Unknown", "Grass", "Arid", "Dirt", "Tundra", "Coral", "Lava", "Low Sparse Grassland",
          "Cold Grassland", "Cool Grasses and Shrubs", "Marsh Wetland", "Mire Bog Fen",
          "Sand Desert", "Bare Desert", "Semi Desert Sage", "Semi Desert Shrub", "Barren Tundra",
          "Upland Tundra", "Ice"},
         ""},
        {";Parks",
         2,
         {"City Park", "Forest Park", "Grass Park", "Golf Course", "Cement Park",
          "Tan Sand Beach Park", "White Coral Beach Park", "Black Sand Beach Park"},
         ""},
        {";Non Perennial Hydro Polygons", 2, {"All Types"}, ""},
    };
    std::vector<std::string> list;
    int code = 1024;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        list.push_back(std::string(groups[g].heading));
        for (const auto& description : groups[g].descriptions) {
            list.push_back(valueEntry(code++, groups[g].blanks, description));
        }
        if (g + 1 < groups.size()) list.push_back(std::string(groups[g].separatorAfter));
    }
    return list;
}

std::vector<std::string> buildLayerList() {
    std::vector<std::string> list;
    for (int layer = 0; layer <= 100; ++layer) list.push_back(std::to_string(layer));
    return list;
}

}  // namespace

const std::vector<std::string>& LandClassList() {
    static const std::vector<std::string> list = buildLandClassList();
    return list;
}

const std::vector<std::string>& VtpTypeList() {
    static const std::vector<std::string> list = buildVtpTypeList();
    return list;
}

const std::vector<std::string>& LayerList() {
    static const std::vector<std::string> list = buildLayerList();
    return list;
}

}  // namespace qm4
