#include "levelimport/ObjectTemplates.hpp"

#include <algorithm>

#include "levelimport/JsonFile.hpp"
#include "levelimport/MapReading.hpp"
#include "levelimport/XmlFile.hpp"

namespace levelimport {

ObjectTemplates::ObjectTemplates(TiledMap& map, std::vector<Problem>& problems,
                                 const FileSource& files)
    : map(map), problems(problems), files(files) {}

std::optional<TemplateObject> ObjectTemplates::Find(const std::string& referrer,
                                                    const std::string& source) {
    const std::string file = PathBeside(referrer, source);
    const auto known = read.find(file);
    if (known != read.end()) return known->second;
    // Each template is read, and its problems reported, once however many objects use it.
    return read[file] = Read(file, referrer);
}

std::optional<TemplateObject> ObjectTemplates::Read(const std::string& file,
                                                    const std::string& referrer) {
    const std::optional<std::string> text =
        ReadNamedFile(file, referrer, "template", problems, files);
    if (!text) return std::nullopt;
    return LooksLikeXml(*text) ? ReadXml(file, *text) : ReadJson(file, *text);
}

std::optional<TemplateObject> ObjectTemplates::ReadXml(const std::string& file,
                                                       const std::string& text) {
    XmlFile xml(file, problems);
    if (!xml.Parse(text, "template")) return std::nullopt;
    const pugi::xml_node object = xml.Root().child("object");
    TemplateObject result;
    result.width = XmlFile::Number(object, "width").value_or(0);
    result.height = XmlFile::Number(object, "height").value_or(0);
    result.rotation = XmlFile::Number(object, "rotation").value_or(0);
    const std::optional<std::int64_t> gid = XmlFile::Integer(object, "gid");
    if (!gid) return result;
    const pugi::xml_node tileset = xml.Root().child("tileset");
    const std::optional<std::int64_t> firstGid = XmlFile::Integer(tileset, "firstgid");
    if (!firstGid || *firstGid <= 0 || *gid <= 0 || *gid > UINT32_MAX || *firstGid > UINT32_MAX) {
        xml.Report("the template's tile has no tileset with a positive \"firstgid\"");
        return std::nullopt;
    }
    result.gid = MapGid(file, tileset.attribute("source").value(),
                        static_cast<std::uint32_t>(*firstGid), static_cast<std::uint32_t>(*gid));
    if (result.gid == 0) return std::nullopt;
    return result;
}

std::optional<TemplateObject> ObjectTemplates::ReadJson(const std::string& file,
                                                        const std::string& text) {
    JsonFile json(file, problems);
    if (!json.Parse(text)) return std::nullopt;
    const rapidjson::Value* object = JsonFile::Find(json.Root(), "object");
    TemplateObject result;
    if (object == nullptr) return result;
    for (auto [key, size] : {std::pair{"width", &result.width},
                             {"height", &result.height},
                             {"rotation", &result.rotation}}) {
        const rapidjson::Value* value = JsonFile::Find(*object, key);
        if (value != nullptr && value->IsNumber()) *size = value->GetDouble();
    }
    const rapidjson::Value* gid = JsonFile::Find(*object, "gid");
    if (gid == nullptr) return result;
    const rapidjson::Value* tileset = JsonFile::Find(json.Root(), "tileset");
    const rapidjson::Value* firstGid = tileset ? JsonFile::Find(*tileset, "firstgid") : nullptr;
    if (!gid->IsUint() || gid->GetUint() == 0 || firstGid == nullptr || !firstGid->IsUint() ||
        firstGid->GetUint() == 0) {
        json.Report("the template's tile has no tileset with a positive \"firstgid\"");
        return std::nullopt;
    }
    result.gid =
        MapGid(file, JsonFile::String(*tileset, "source"), firstGid->GetUint(), gid->GetUint());
    if (result.gid == 0) return std::nullopt;
    return result;
}

std::uint32_t ObjectTemplates::MapGid(const std::string& file, const std::string& tilesetSource,
                                      std::uint32_t firstGid, std::uint32_t gid) {
    const std::uint32_t flags = gid & kGidFlags;
    const std::uint32_t plain = gid & ~kGidFlags;
    if (tilesetSource.empty() || plain < firstGid) {
        problems.push_back({file, "the template's tile is in no external tileset"});
        return 0;
    }
    const std::string tilesetFile = PathBeside(file, tilesetSource);
    auto tileset = std::find_if(map.tilesets.begin(), map.tilesets.end(),
                                [&](const Tileset& t) { return t.file == tilesetFile; });
    if (tileset == map.tilesets.end()) {
        // A tileset the map itself does not list: its ids follow every other tileset's.
        Tileset added;
        added.file = tilesetFile;
        ReadTilesetFile(file, added, problems, files);
        std::uint64_t next = 1;
        for (const Tileset& t : map.tilesets) {
            next = std::max<std::uint64_t>(next,
                                           std::uint64_t{t.firstGid} + std::max(t.tileCount, 1u));
        }
        added.firstGid = static_cast<std::uint32_t>(std::min<std::uint64_t>(next, ~kGidFlags));
        map.tilesets.push_back(std::move(added));
        tileset = map.tilesets.end() - 1;
    }
    const std::uint64_t mapGid = std::uint64_t{tileset->firstGid} + (plain - firstGid);
    if (mapGid > ~kGidFlags) {
        problems.push_back({file, "the template's tile has an id beyond Tiled's range"});
        return 0;
    }
    return static_cast<std::uint32_t>(mapGid) | flags;
}

}  // namespace levelimport
