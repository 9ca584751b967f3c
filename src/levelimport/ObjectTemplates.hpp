#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// What an object template (.tx, .tj) gives the objects made from it: a tile, as a global id of
/// the map (0 when the template is no tile object), and the object's size in pixels (0 when it
/// gives none).
struct TemplateObject {
    std::uint32_t gid = 0;
    double width = 0;
    double height = 0;
    double rotation = 0;  ///< degrees clockwise
};

/// The object templates a map's objects use, each read once, XML or JSON by its text. A
/// template's tile comes from its own tileset: the map's tileset of the same file when it has
/// one, else that tileset is added to the map after its others. Lives while the map is read;
/// the map and the problem list must outlive it.
class ObjectTemplates {
public:
    ObjectTemplates(TiledMap& map, std::vector<Problem>& problems, const FileSource& files);

    /// The template `source` that an object in the file `referrer` names, relative to that
    /// file's folder; empty when it cannot be read (reported once).
    std::optional<TemplateObject> Find(const std::string& referrer, const std::string& source);

private:
    std::optional<TemplateObject> Read(const std::string& file, const std::string& referrer);
    std::optional<TemplateObject> ReadXml(const std::string& file, const std::string& text);
    std::optional<TemplateObject> ReadJson(const std::string& file, const std::string& text);
    /// `gid` of the template `file`'s tileset `tilesetSource` (first id `firstGid`) as a global
    /// id of the map; 0 after reporting when it is none.
    std::uint32_t MapGid(const std::string& file, const std::string& tilesetSource,
                         std::uint32_t firstGid, std::uint32_t gid);

    TiledMap& map;
    std::vector<Problem>& problems;
    const FileSource& files;
    std::map<std::string, std::optional<TemplateObject>> read;  ///< by file
};

}  // namespace levelimport
