// The lines --events writes on stdout for a program that runs the batch
// (the window does): {"progress":F} while the input is read and again while
// the areas are made, and one line for each area as it is finished,
// whichever job finished it.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "geo/area_split.h"
#include "geo/heartbeat.h"
#include "project/batch_summary.h"

namespace qm4::geo {

class BatchEvents {
  public:
    explicit BatchEvents(std::ostream& out) : out_(out) {}

    // {"progress":F}: the part of the read or of the areas done, 0 to 1.
    void progress(double part);
    // The part now, then at least once a second until the pacer goes.
    std::unique_ptr<Heartbeat> paced(std::function<double()> part);

    // {"area":"123_120_05_28","cell":[123,120],"at":[5,28],"outcome":"written",
    // "project":"/out/123_120_05_28/123_120_05_28.dat"}: the first word of the
    // outcome of the area's first row in batch.csv, and the project its first folder in
    // the output folder out holds ("" where it holds none). Then the part of
    // the areas done, when it passed the last one shown by a hundredth.
    void area(GridArea area, const std::vector<SummaryRow>& rows, const std::filesystem::path& out,
              double part);

  private:
    // Each line whole and on its way at once, whichever thread writes it;
    // called with the lock held.
    void line(const std::string& text);
    void progressLine(double part);

    std::ostream& out_;
    std::mutex mutex_;
    double shown_ = 0;  // the last part sent
};

}  // namespace qm4::geo
