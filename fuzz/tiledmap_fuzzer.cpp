// Fuzzes the map importer's reading of Tiled JSON maps with their external tilesets and
// templates, layer data in every encoding (base64, zlib, gzip, zstd), infinite maps and tile
// objects, through to the level it makes. One input holds the map and the files it may name,
// separated by lines of "----" (see TiledMapFuzzing.hpp):
//
//   {"orientation": "orthogonal", "width": 2, "height": 1, ..., "tilesets": [{"firstgid": 1,
//    "source": "ground.tsj"}], "layers": [...]}
//   ----
//   {"name": "ground", "tiles": [{"id": 0, "properties": [...]}]}
//
//   build-fuzz/fuzz/tiledmap_fuzzer [libFuzzer options] CORPUS_DIR...
#include <cstdint>
#include <string_view>

#include "TiledMapFuzzing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orka::fuzz::importTiledMap("maps/fuzz.tmj",
                               std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
