// quillmap4-geo batch: a whole region's projects and sources from one
// vector file, area by area, in parallel, resumable and shardable.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qm4::geo {

// The arguments after "batch". The exit status: 0 every area written (or
// skipped as written before; dropped slivers are no failure), 1 a bad input
// or a failed area (the summary says which), 2 bad usage, a form without
// the fields the sources need included.
int runBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The shard (0..shards-1) an area belongs to: a mix of its numbers, so
// that every shard gets areas all over the region and the same area always
// goes to the same shard.
int shardOf(int areaX, int areaY, int shards);

}  // namespace qm4::geo
