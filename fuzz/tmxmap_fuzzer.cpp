// Fuzzes the map importer's reading of Tiled's XML maps (.tmx) with their tilesets (.tsx, or
// JSON) and object templates (.tx, .tj): every layer encoding (csv, base64 plain, zlib, gzip,
// zstd, <tile> elements), infinite maps' chunks, groups, hidden layers and tile objects,
// through to the level it makes. One input holds the map and the files it may name, separated
// by lines of "----" (see TiledMapFuzzing.hpp):
//
//   <map orientation="orthogonal" width="2" height="1" ...>
//    <tileset firstgid="1" source="ground.tsx"/> <layer ...><data encoding="csv">1,0</data>...
//   </map>
//   ----
//   <tileset name="ground" tilecount="1"><tile id="0"><properties>...</properties></tile>...
//
//   build-fuzz/fuzz/tmxmap_fuzzer [libFuzzer options] CORPUS_DIR...
#include <cstdint>
#include <string_view>

#include "TiledMapFuzzing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orka::fuzz::importTiledMap("maps/fuzz.tmx",
                               std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
