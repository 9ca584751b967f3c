#pragma once

#include <vector>

#include "levelimport/JsonFile.hpp"
#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// Reads the "layers" of the map `file` into `map.layers`, in drawing order: tile layers, the
/// tile objects of object layers, and both kinds inside group layers however deeply nested.
/// Other objects are counted in `map.skippedObjects`; image layers go to `map.imageLayers`,
/// hidden layers are noted in `map.hiddenLayers`. An infinite map's "chunks" are placed at their
/// own cells. Object templates are read through `files`. Needs the map's size and tile size in
/// `map`.
void ReadLayers(const JsonFile& file, TiledMap& map, std::vector<Problem>& problems,
                const FileSource& files);

}  // namespace levelimport
