// quillmap4-geo: the one program that loads GDAL. The window starts it
// with "serve" and talks to it over lines of JSON; authors run its
// "features" and "batch" commands themselves.
#include <iostream>

#include "geo/geo_command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return qm4::geo::runGeoTool({argv + 1, argv + argc}, std::cin, std::cout, std::cerr);
}
