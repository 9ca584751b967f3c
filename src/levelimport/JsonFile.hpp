#pragma once

#include <rapidjson/document.h>

#include <string>
#include <string_view>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// A JSON file of a map (the map or a tileset) parsed into a DOM, and where its problems go.
/// The problem list must outlive the file.
class JsonFile {
public:
    JsonFile(std::string fileName, std::vector<Problem>& problems);

    /// Parses `text`, the file's contents; false, after reporting why, when it holds no JSON
    /// object.
    bool Parse(std::string_view text);

    const rapidjson::Value& Root() const { return document; }
    const std::string& Name() const { return fileName; }
    void Report(const std::string& text) const { problems.push_back({fileName, text}); }
    /// Reports `text` and gives false, for the early returns of checks.
    bool Reported(const std::string& text) const {
        Report(text);
        return false;
    }

    /// The member `key` of `object`, or null when it is not there (or `object` is no object).
    static const rapidjson::Value* Find(const rapidjson::Value& object, const char* key);
    /// The string member `key` of `object`, or "" when there is none.
    static std::string String(const rapidjson::Value& object, const char* key);
    /// The value of the custom property `name` of `owner` (a map, a tileset or a tile), or null.
    /// From Tiled 1.2 on "properties" is a list of {name, type, value}; before, an object
    /// {name: value} whose types stand beside it in "propertytypes". Either is read; the JSON
    /// type of the value is what counts.
    static const rapidjson::Value* FindProperty(const rapidjson::Value& owner, const char* name);

private:
    std::string fileName;
    std::vector<Problem>& problems;
    rapidjson::Document document;
};

}  // namespace levelimport
