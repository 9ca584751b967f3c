#pragma once

// Small Tiled maps written by the tests, the layer encodings Tiled uses, and the importer run
// as a process in a folder of its own.
#include <rapidjson/document.h>
#include <stdlib.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Command.hpp"

namespace levelimport::test {

using Tile = std::array<int, 3>;  // [tile type, column, row]

/// The tiles of a level file's document, in the order written.
inline std::vector<Tile> LevelTiles(const rapidjson::Document& level) {
    std::vector<Tile> tiles;
    for (const auto& row : level["arrayOfTiles"].GetArray()) {
        for (const auto& entry : row.GetArray()) {
            tiles.push_back({entry[0].GetInt(), entry[1].GetInt(), entry[2].GetInt()});
        }
    }
    return tiles;
}

/// An empty temporary folder, removed with everything in it afterwards.
class Folder {
public:
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "levelimport-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    /// Writes `text` into `name` inside the folder, making subfolders as needed.
    void Write(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories((path / name).parent_path());
        std::ofstream(path / name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream stream(path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }
    /// Runs `program` with `arguments` (as shell words) inside the folder.
    test_support::CommandResult Run(const std::string& program,
                                    const std::string& arguments) const {
        return test_support::RunCommand("cd '" + path.string() + "' && '" + program + "' " +
                                        arguments);
    }
    test_support::CommandResult Import(const std::string& arguments) const {
        return Run(ORKA_LEVELIMPORT_PATH, arguments);
    }

    std::filesystem::path path;
};

// Flip flags Tiled keeps in a global id's top bits.
constexpr std::uint32_t kFlipX = 0x80000000u;
constexpr std::uint32_t kFlipY = 0x40000000u;
constexpr std::uint32_t kFlipDiagonal = 0x20000000u;

/// Map properties of a level: id 7, name "Hills", death line at -42.
inline const std::string kProperties =
    R"([{"name":"deathLevelInY","type":"float","value":-42},)"
    R"({"name":"id","type":"int","value":7},{"name":"name","type":"string","value":"Hills"}])";

/// Tiles 0 and 1 are tile types 10 and 11; tile 2 has no "tileType"; ids from `firstGid`.
inline std::string TilesetFields() {
    return R"("name":"t","tilecount":4,"tiles":[)"
           R"({"id":0,"properties":[{"name":"tileType","type":"int","value":10}]},)"
           R"({"id":1,"properties":[{"name":"tileType","type":"int","value":11}]},)"
           R"({"id":2,"properties":[{"name":"solid","type":"bool","value":true}]}])";
}
inline std::string EmbeddedTileset(int firstGid = 1) {
    return R"({"firstgid":)" + std::to_string(firstGid) + "," + TilesetFields() + "}";
}
/// What an external tileset file (.tsj) holds.
inline std::string TilesetFile() {
    return R"({"type":"tileset","version":"1.10",)" + TilesetFields() + "}";
}

inline std::string ArrayLayer(const std::string& name, const std::vector<std::uint32_t>& gids) {
    std::string data;
    for (const std::uint32_t gid : gids) data += (data.empty() ? "" : ",") + std::to_string(gid);
    return R"({"type":"tilelayer","name":")" + name + R"(","width":3,"height":2,"data":[)" + data +
           "]}";
}

/// An object layer holding `objects`, each the JSON text of one object.
inline std::string ObjectLayer(const std::string& name, const std::vector<std::string>& objects) {
    std::string list;
    for (const std::string& object : objects) list += (list.empty() ? "" : ",") + object;
    return R"({"type":"objectgroup","name":")" + name + R"(","draworder":"topdown","objects":[)" +
           list + "]}";
}

/// A tile object as Tiled saves it: tile `gid` with its bottom-left corner at (x, y) pixels.
inline std::string TileObject(int id, std::uint32_t gid, double x, double y) {
    return R"({"id":)" + std::to_string(id) + R"(,"gid":)" + std::to_string(gid) + R"(,"x":)" +
           std::to_string(x) + R"(,"y":)" + std::to_string(y) +
           R"(,"width":21,"height":21,"rotation":0,"visible":true})";
}

/// A group layer around `layers` (JSON texts of layers, comma-separated).
inline std::string GroupLayer(const std::string& name, const std::string& layers) {
    return R"({"type":"group","name":")" + name + R"(","layers":[)" + layers + "]}";
}

/// The default map's properties as Tiled wrote them before 1.2: an object, typed beside it.
inline const std::string kOldProperties = R"({"deathLevelInY":-42,"id":7,"name":"Hills"})";
inline const std::string kOldPropertyTypes =
    R"({"deathLevelInY":"float","id":"int","name":"string"})";

/// TilesetFields() as Tiled wrote them before 1.2: the tile types in "tileproperties".
inline std::string OldTilesetFields() {
    return R"("name":"t","tilecount":4,"tileproperties":{"0":{"tileType":10},"1":{"tileType":11},)"
           R"("2":{"solid":true}},"tilepropertytypes":{"0":{"tileType":"int"},)"
           R"("1":{"tileType":"int"},"2":{"solid":"bool"}})";
}

inline std::string Base64(const std::string& bytes) {
    static const char* const kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                                static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                static_cast<unsigned char>(bytes[i + 2]);
        for (int shift : {18, 12, 6, 0}) text += kAlphabet[(n >> shift) & 63];
    }
    if (i + 1 == bytes.size()) {
        const std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        text += std::string{kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63]} + "==";
    } else if (i + 2 == bytes.size()) {
        const std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                                static_cast<unsigned char>(bytes[i + 1]) << 8;
        text +=
            std::string{kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63], kAlphabet[(n >> 6) & 63]} +
            "=";
    }
    return text;
}

/// Global ids as Tiled stores them before encoding: 4 bytes each, little-endian.
inline std::string GidBytes(const std::vector<std::uint32_t>& gids) {
    std::string bytes;
    for (const std::uint32_t gid : gids) {
        for (int shift : {0, 8, 16, 24}) bytes += static_cast<char>((gid >> shift) & 0xFF);
    }
    return bytes;
}

/// `bytes` deflated with a zlib header, or a gzip one when `gzip`.
inline std::string Deflate(const std::string& bytes, bool gzip) {
    z_stream stream{};
    const int windowBits = gzip ? 16 + MAX_WBITS : MAX_WBITS;
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    std::string out(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END) throw std::runtime_error("deflate failed");
    return out;
}

/// A base64 layer whose "data" is `data` as given (already encoded).
inline std::string EncodedLayer(const std::string& data, const std::string& compression = "") {
    return R"({"type":"tilelayer","name":"a","width":3,"height":2,"encoding":"base64",)" +
           (compression.empty() ? "" : R"("compression":")" + compression + R"(",)") +
           R"("data":")" + data + R"("})";
}

/// A map of 3 × 2 cells; each part is the JSON text of that key's value.
struct MapParts {
    std::string layers = "[" + ArrayLayer("a", {1, 0, 2, 0, 0, 1}) + "]";
    std::string tilesets = "[" + EmbeddedTileset() + "]";
    std::string properties = kProperties;
    std::string shape = R"("orientation":"orthogonal","infinite":false,"width":3,"height":2)";
};

inline std::string MapText(const MapParts& parts) {
    return R"({"type":"map","version":"1.10","tiledversion":"1.10.2",)" + parts.shape +
           R"(,"tilewidth":21,"tileheight":21,"renderorder":"right-down","properties":)" +
           parts.properties + R"(,"tilesets":)" + parts.tilesets + R"(,"layers":)" + parts.layers +
           "}";
}

/// The default map as Tiled 1.0 saved it: numeric "version", properties and tile properties as
/// objects.
inline std::string OldMapText() {
    MapParts parts;
    return R"({"version":1,"orientation":"orthogonal","width":3,"height":2,"tilewidth":21,)"
           R"("tileheight":21,"properties":)" +
           kOldProperties + R"(,"propertytypes":)" + kOldPropertyTypes +
           R"(,"tilesets":[{"firstgid":1,)" + OldTilesetFields() + R"(}],"layers":)" +
           parts.layers + "}";
}

}  // namespace levelimport::test
