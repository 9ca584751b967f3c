#pragma once

// Small LDtk projects written by the tests: a 3 × 2-cell level on a 16-pixel grid, a tileset
// "Terrain" whose tiles 0 and 1 are tile types 10 and 11, an IntGrid layer definition "Walls"
// with values 1 ("Stone") and 2 (no identifier).
#include <string>
#include <vector>

namespace levelimport::test {

/// Joins JSON texts with commas.
inline std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ",") + part;
    return text;
}

inline std::string LdtkDefs() {
    return R"("defs":{"layers":[{"uid":1,"identifier":"Walls","type":"IntGrid","gridSize":16,)"
           R"("intGridValues":[{"value":1,"identifier":"Stone","color":"#000000"},)"
           R"({"value":2,"identifier":null,"color":"#FFFFFF"}]}],"entities":[],)"
           R"("tilesets":[{"uid":7,"identifier":"Terrain","pxWid":64,"pxHei":32,)"
           R"("tileGridSize":16,"spacing":0,"padding":0,"customData":[)"
           R"({"tileId":0,"data":"tileType=10"},{"tileId":1,"data":"solid\ntileType=11"}]}]})";
}

/// A layer instance of `type` ("Tiles", "AutoLayer", "IntGrid", "Entities") named `name`;
/// `body` holds its data members (such as "gridTiles":[...]) and any member to override (the
/// first of two equal keys counts).
inline std::string LdtkLayer(const std::string& name, const std::string& type,
                             const std::string& body, int gridSize = 16) {
    const int columns = 48 / gridSize, rows = 32 / gridSize;
    return "{" + body + R"(,"__identifier":")" + name + R"(","__type":")" + type +
           R"(","__cWid":)" + std::to_string(columns) + R"(,"__cHei":)" + std::to_string(rows) +
           R"(,"__gridSize":)" + std::to_string(gridSize) +
           R"(,"__pxTotalOffsetX":0,"__pxTotalOffsetY":0,"__tilesetDefUid":7,"layerDefUid":1,)"
           R"("visible":true})";
}

/// A tile of a Tiles layer or auto-layer: tile `id` at pixel (x, y), flip bits `flips`.
inline std::string LdtkTile(int x, int y, int id, int flips = 0) {
    return R"({"px":[)" + std::to_string(x) + "," + std::to_string(y) + R"(],"src":[0,0],"f":)" +
           std::to_string(flips) + R"(,"t":)" + std::to_string(id) + R"(,"d":[0]})";
}

/// An entity `name` with its pivot at pixel (x, y); `fields` are its field instances.
inline std::string LdtkEntity(const std::string& name, int x, int y, double pivotX = 0.5,
                              double pivotY = 0.5, const std::string& fields = "") {
    return R"({"__identifier":")" + name + R"(","__grid":[0,0],"__pivot":[)" +
           std::to_string(pivotX) + "," + std::to_string(pivotY) + R"(],"px":[)" +
           std::to_string(x) + "," + std::to_string(y) +
           R"(],"width":16,"height":16,"fieldInstances":[)" + fields + "]}";
}

/// A level field instance, such as LdtkField("id", "Int", "3").
inline std::string LdtkField(const std::string& name, const std::string& type,
                             const std::string& value) {
    return R"({"__identifier":")" + name + R"(","__type":")" + type + R"(","__value":)" + value +
           "}";
}

/// A 48 × 32-pixel level (3 × 2 cells) holding `layers` (top layer first) and `fields`.
inline std::string LdtkLevel(const std::string& identifier, const std::vector<std::string>& layers,
                             const std::vector<std::string>& fields = {}) {
    return R"({"identifier":")" + identifier +
           R"(","uid":1,"pxWid":48,"pxHei":32,"worldX":0,"worldY":0,"fieldInstances":[)" +
           Joined(fields) + R"(],"layerInstances":[)" + Joined(layers) + "]}";
}

/// A level kept in its own file `path`, as the project lists it with "externalLevels".
inline std::string LdtkExternalLevel(const std::string& identifier, const std::string& path) {
    return R"({"identifier":")" + identifier +
           R"(","uid":1,"pxWid":48,"pxHei":32,"fieldInstances":[],"layerInstances":null,)"
           R"("externalRelPath":")" +
           path + R"("})";
}

inline std::string LdtkProjectText(const std::vector<std::string>& levels) {
    return R"({"jsonVersion":"1.5.3","defaultGridSize":16,)" + LdtkDefs() + R"(,"levels":[)" +
           Joined(levels) + "]}";
}

/// A project of several worlds, each {identifier, levels}.
inline std::string LdtkWorldsText(
    const std::vector<std::pair<std::string, std::vector<std::string>>>& worlds) {
    std::vector<std::string> texts;
    for (const auto& [name, levels] : worlds) {
        texts.push_back(R"({"identifier":")" + name + R"(","levels":[)" + Joined(levels) + "]}");
    }
    return R"({"jsonVersion":"1.5.3","defaultGridSize":16,)" + LdtkDefs() +
           R"(,"levels":[],"worlds":[)" + Joined(texts) + "]}";
}

/// The types file of the tests: IntGrid values, entities and an untyped tileset tile.
inline const std::string kLdtkTypes =
    R"({"Stone":20,"Walls:2":21,"Player":50,"Goal":40,"Terrain:2":12})";

}  // namespace levelimport::test
