// The lists offered by the three VTP combo boxes.
#pragma once

#include <string>
#include <vector>

namespace qm4 {

const std::vector<std::string>& LandClassList();  // 147 entries
const std::vector<std::string>& VtpTypeList();    // 221 entries
const std::vector<std::string>& LayerList();      // 101 entries

}  // namespace qm4
