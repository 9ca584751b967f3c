#pragma once

#include <rapidjson/document.h>

#include <string>

#include "levelimport/MapImporter.hpp"

namespace levelimport {

/// Reads the level keys an LDtk level's fields give into `result.level`: "name" (String) and
/// "id" (Int) over the defaults already there, "deathLevelInY" (game units), "cameraLead",
/// "cameraBand", "cameraEase" (the Tiled map properties' names and ranges) and "backdrop" (a
/// String holding a level file's backdrop array). A field of the wrong type or out of range is
/// a problem on `file` naming the level (`label`), except "name" and "id": projects drawn for
/// other games may have fields of those names and other types, which are only noted.
void ReadLdtkLevelFields(const rapidjson::Value& level, const std::string& file,
                         const std::string& label, MapImport& result);

}  // namespace levelimport
