#include "levelimport/LdtkLevelFields.hpp"

#include <rapidjson/memorystream.h>

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "levelimport/JsonFile.hpp"
#include "levelimport/MapReading.hpp"

namespace levelimport {
namespace {

using rapidjson::Value;

/// A level field's value, or null when the level has no such field or it has no value.
const Value* FieldValue(const Value& level, const char* name, std::string& type) {
    const Value* fields = JsonFile::Find(level, "fieldInstances");
    if (fields == nullptr || !fields->IsArray()) return nullptr;
    for (const Value& field : fields->GetArray()) {
        if (JsonFile::String(field, "__identifier") != name) continue;
        const Value* value = JsonFile::Find(field, "__value");
        type = JsonFile::String(field, "__type");
        return value == nullptr || value->IsNull() ? nullptr : value;
    }
    return nullptr;
}

/// The backdrop layers a String field holds as a level file's backdrop array, such as
/// [{"sprite": 90, "parallax": 0}], or empty with `error` set.
std::optional<std::vector<BackdropLayer>> ReadBackdrop(const Value& value, std::string& error) {
    error = "is no String holding a JSON array such as [{\"sprite\": 90, \"parallax\": 0}]";
    if (!value.IsString()) return std::nullopt;
    rapidjson::Document parsed;
    rapidjson::MemoryStream memory(value.GetString(), value.GetStringLength());
    parsed.ParseStream<rapidjson::kParseIterativeFlag>(memory);
    if (parsed.HasParseError() || !parsed.IsArray()) return std::nullopt;
    std::vector<BackdropLayer> backdrop;
    for (const Value& layer : parsed.GetArray()) {
        const Value* sprite = JsonFile::Find(layer, "sprite");
        const Value* parallax = JsonFile::Find(layer, "parallax");
        const std::string place = "its layer " + std::to_string(backdrop.size() + 1);
        if (sprite == nullptr || !sprite->IsInt() || sprite->GetInt() < 0) {
            error = "has no sprite number \"sprite\" in " + place;
            return std::nullopt;
        }
        if (parallax == nullptr || !parallax->IsNumber() || parallax->GetDouble() < 0 ||
            parallax->GetDouble() > 1) {
            error = "has no \"parallax\" from 0 to 1 in " + place;
            return std::nullopt;
        }
        backdrop.push_back({sprite->GetInt(), parallax->GetDouble()});
    }
    return backdrop;
}

}  // namespace

void ReadLdtkLevelFields(const Value& level, const std::string& file, const std::string& label,
                         MapImport& result) {
    const auto report = [&](const char* name, const std::string& text) {
        result.problems.push_back({file, label + ": field \"" + name + "\" " + text});
    };
    const auto note = [&](const char* name, const std::string& type, const char* wanted) {
        result.notes.push_back(file + ": note: " + label + ": field \"" + name + "\" is " +
                               (type.empty() ? "no " + std::string(wanted) : "a " + Quoted(type)) +
                               ", not " + wanted + "; left out");
    };
    std::string type;
    if (const Value* name = FieldValue(level, "name", type); name != nullptr) {
        // The declared type counts: an enum's value is a string too.
        if (name->IsString() && (type.empty() || type == "String")) {
            result.level.name.assign(name->GetString(), name->GetStringLength());
        } else {
            note("name", type, "a String");
        }
    }
    if (const Value* id = FieldValue(level, "id", type); id != nullptr) {
        if (id->IsInt() && (type.empty() || type == "Int")) {
            result.level.id = id->GetInt();
        } else {
            note("id", type, "an Int");
        }
    }
    if (const Value* death = FieldValue(level, "deathLevelInY", type); death != nullptr) {
        if (!death->IsNumber()) return report("deathLevelInY", "is not a number");
        result.level.deathLevelInY = death->GetDouble();
    }
    // The same names, ranges and units as the Tiled map properties.
    for (const CameraSetting& setting : kCameraSettings) {
        const Value* value = FieldValue(level, setting.property, type);
        if (value == nullptr) continue;
        if (!value->IsNumber() ||
            !(value->GetDouble() >= 0 && value->GetDouble() <= setting.most)) {
            char most[32];
            std::snprintf(most, sizeof most, "%g", setting.most);
            return report(setting.property, std::string("is not a number from 0 to ") + most);
        }
        result.level.camera.*setting.field = value->GetDouble();
    }
    if (const Value* backdrop = FieldValue(level, "backdrop", type); backdrop != nullptr) {
        std::string error;
        std::optional<std::vector<BackdropLayer>> layers = ReadBackdrop(*backdrop, error);
        if (!layers) return report("backdrop", error);
        result.level.backdrop = std::move(*layers);
    }
}

}  // namespace levelimport
