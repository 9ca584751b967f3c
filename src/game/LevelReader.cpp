#include "game/LevelReader.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

#include "orka/JsonNesting.hpp"

namespace {

using rapidjson::Value;

constexpr rapidjson::SizeType kTileEntrySize = 3;  // [tile type, column, row]

std::string Quote(const std::string& key) {
    return "\"" + key + "\"";
}

std::string Indexed(const std::string& what, rapidjson::SizeType index) {
    return what + "[" + std::to_string(index) + "]";
}

/// The whole content of a file, or nothing (after reporting why) when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& fileName,
                                         std::vector<Problem>& problems) {
    std::ifstream stream(fileName, std::ios::binary);  // read-only: a read-only data folder works
    if (!stream.good()) {
        problems.push_back({fileName, "cannot be opened for reading"});
        return std::nullopt;
    }
    constexpr std::size_t kChunk = 1 << 16;
    std::string text;
    std::vector<char> chunk(kChunk);
    while (stream.read(chunk.data(), kChunk) || stream.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(stream.gcount()));
    }
    if (stream.bad()) {
        problems.push_back({fileName, "cannot be read"});
        return std::nullopt;
    }
    return text;
}

/// Line and column, both from 1, of byte `offset` of `text`; the column counts UTF-8
/// characters, as editors do, not bytes.
std::pair<int, int> LineAndColumn(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    int line = 1;
    int column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++line;
            column = 1;
        } else if ((byte & 0xC0) != 0x80) {  // a continuation byte is part of the character before
            ++column;
        }
    }
    return {line, column};
}

/// A JSON text parsed into a DOM; every problem is recorded with the file's name and reading
/// goes on, so one pass finds them all.
class JsonFile {
public:
    JsonFile(std::string fileName, const std::string& text, std::vector<Problem>& problems)
        : fileName(std::move(fileName)), problems(problems), read(Parse(text)) {}

    /// The file was opened and holds a JSON object; only then may `Root` be searched.
    bool IsRead() const { return read; }
    const Value& Root() const { return document; }

    void Report(const std::string& problem) const { problems.push_back({fileName, problem}); }

    /// The member `key` of `object`, or null when it is not there.
    static const Value* Find(const Value& object, const char* key) {
        const auto member = object.FindMember(key);
        return member == object.MemberEnd() ? nullptr : &member->value;
    }

    std::optional<int> Int(const Value& value, const std::string& what) const {
        if (value.IsInt()) return value.GetInt();
        Report(what + " is not an integer");
        return std::nullopt;
    }
    /// A number as a float; one a float cannot hold is a problem, not a silent infinity.
    std::optional<float> Float(const Value& value, const std::string& what) const {
        if (!value.IsNumber()) {
            Report(what + " is not a number");
            return std::nullopt;
        }
        const double number = value.GetDouble();
        if (std::fabs(number) > std::numeric_limits<float>::max()) {
            Report(what + " is out of range");
            return std::nullopt;
        }
        return static_cast<float>(number);
    }
    /// An optional true or false: false when missing, and a problem when it is anything else.
    bool Flag(const Value& object, const char* key) const {
        const Value* value = Find(object, key);
        if (value == nullptr) return false;
        if (value->IsBool()) return value->GetBool();
        Report(Quote(key) + " is not true or false");
        return false;
    }
    std::optional<int> IntOr(const Value& object, const char* key, int fallback,
                             const std::string& what) const {
        const Value* value = Find(object, key);
        return value == nullptr ? fallback : Int(*value, what);
    }
    std::string RequiredString(const Value& object, const char* key,
                               const std::string& what) const {
        const Value* value = Find(object, key);
        if (value == nullptr) {
            Report(what + " is missing");
            return "";
        }
        if (!value->IsString()) {
            Report(what + " is not a string");
            return "";
        }
        return std::string(value->GetString(), value->GetStringLength());
    }

private:
    /// Parses `text`; false, after reporting why, when it holds no JSON object.
    bool Parse(const std::string& text) {
        // Parsed from memory: a stream wrapper reads character by character, several times
        // slower on a big level. A plain memory stream still sees a byte-order mark as an error
        // and a NUL byte as the end of the text, so error offsets stay those of the file.
        // Up to a NUL byte: the parser stops there too.
        if (orka::jsonNestsDeeperThan(text.c_str())) return Reported(orka::jsonTooDeepMessage());
        rapidjson::MemoryStream memory(text.data(), text.size());
        // Iterative: no recursion per nesting level, whatever the text holds.
        document.ParseStream<rapidjson::kParseIterativeFlag>(memory);
        if (document.HasParseError()) {
            return ReportedAt(text, document.GetErrorOffset(),
                              std::string("invalid JSON: ") +
                                  rapidjson::GetParseError_En(document.GetParseError()));
        }
        if (!document.IsObject()) return Reported("the top level is not a JSON object");
        return true;
    }
    bool Reported(const std::string& problem) const {
        Report(problem);
        return false;
    }
    /// Reports `problem` at byte `offset` of `text`, as a line and column an editor can find.
    bool ReportedAt(const std::string& text, std::size_t offset, const std::string& problem) {
        const auto [line, column] = LineAndColumn(text, offset);
        problems.push_back({fileName, problem, line, column});
        return false;
    }

    std::string fileName;
    std::vector<Problem>& problems;
    rapidjson::Document document;
    bool read;  // declared last: it is set by parsing the file
};

std::optional<TileEntry> ReadTileEntry(const JsonFile& file, const Value& entry,
                                       const std::string& where) {
    if (!entry.IsArray() || entry.Size() < kTileEntrySize) {
        file.Report(where + " has fewer than three integers");
        return std::nullopt;
    }
    for (rapidjson::SizeType i = 0; i < kTileEntrySize; ++i) {
        if (entry[i].IsInt()) continue;
        file.Report(where + " holds a value that is not a 32-bit integer");
        return std::nullopt;
    }
    TileEntry tile;
    tile.type = entry[0].GetInt();
    tile.column = entry[1].GetInt();
    tile.row = entry[2].GetInt();
    return tile;
}

std::vector<TileEntry> ReadTileEntries(const JsonFile& file) {
    std::vector<TileEntry> entries;
    const Value* rows = JsonFile::Find(file.Root(), "arrayOfTiles");
    if (rows == nullptr) return entries;
    if (!rows->IsArray()) {
        file.Report("\"arrayOfTiles\" is not an array");
        return entries;
    }
    for (rapidjson::SizeType r = 0; r < rows->Size(); ++r) {
        const Value& row = (*rows)[r];
        const std::string rowName = Indexed(Quote("arrayOfTiles"), r);
        if (!row.IsArray()) {
            file.Report(rowName + " is not an array of tile entries");
            continue;
        }
        for (rapidjson::SizeType e = 0; e < row.Size(); ++e) {
            std::optional<TileEntry> entry = ReadTileEntry(file, row[e], Indexed(rowName, e));
            if (!entry) continue;
            entry->rowIndex = r;
            entry->entryIndex = e;
            entries.push_back(*entry);
        }
    }
    return entries;
}

std::optional<BackdropLayerDescription> ReadBackdropLayer(const JsonFile& file, const Value& layer,
                                                          const std::string& where) {
    if (!layer.IsObject()) {
        file.Report(where + " is not an object");
        return std::nullopt;
    }
    const Value* sprite = JsonFile::Find(layer, "sprite");
    const Value* parallax = JsonFile::Find(layer, "parallax");
    if (sprite == nullptr) file.Report(where + " has no \"sprite\"");
    if (parallax == nullptr) file.Report(where + " has no \"parallax\"");
    if (sprite == nullptr || parallax == nullptr) return std::nullopt;
    const std::optional<int> number = file.Int(*sprite, where + "/\"sprite\"");
    const std::optional<float> share = file.Float(*parallax, where + "/\"parallax\"");
    if (share && !(*share >= 0.0f && *share <= 1.0f)) {
        file.Report(where + "/\"parallax\" is not between 0 and 1");
        return std::nullopt;
    }
    if (!number || !share) return std::nullopt;
    return BackdropLayerDescription{*number, *share};
}

/// The layers drawn behind the tiles; an optional key.
std::vector<BackdropLayerDescription> ReadBackdrop(const JsonFile& file) {
    std::vector<BackdropLayerDescription> layers;
    const Value* backdrop = JsonFile::Find(file.Root(), "backdrop");
    if (backdrop == nullptr) return layers;
    if (!backdrop->IsArray()) {
        file.Report("\"backdrop\" is not an array");
        return layers;
    }
    for (rapidjson::SizeType i = 0; i < backdrop->Size(); ++i) {
        auto layer = ReadBackdropLayer(file, (*backdrop)[i], Indexed(Quote("backdrop"), i));
        if (layer) layers.push_back(*layer);
    }
    return layers;
}

/// A number key of an object and the range it must lie in.
struct NumberKey {
    const char* key;
    std::string what;  ///< how problems name it, e.g. "\"walk\"/\"speed\""
    float min;
    float max;
    bool minExcluded = false;  ///< the value must be more than `min`
    bool maxExcluded = false;  ///< the value must be less than `max`
};

/// The key's value when it is there, a number and in range; empty (after reporting why
/// otherwise) when not.
std::optional<float> RangedNumber(const JsonFile& file, const Value& object, const NumberKey& key) {
    const Value* value = JsonFile::Find(object, key.key);
    if (value == nullptr) return std::nullopt;
    const std::optional<float> number = file.Float(*value, key.what);
    if (!number) return std::nullopt;
    const bool low = key.minExcluded ? *number <= key.min : *number < key.min;
    const bool high = key.maxExcluded ? *number >= key.max : *number > key.max;
    if (low || high) {
        const auto text = [](float bound) {
            std::string shown = std::to_string(bound);
            shown.erase(shown.find_last_not_of('0') + 1);
            if (shown.back() == '.') shown.pop_back();
            return shown;
        };
        const std::string upTo = key.maxExcluded ? " and less than " : " and at most ";
        file.Report(key.what + " is " + text(*number) + ": it must be " +
                    (key.minExcluded || key.maxExcluded
                         ? (key.minExcluded ? "more than " : "at least ") + text(key.min) + upTo
                         : "from " + text(key.min) + " to ") +
                    text(key.max));
        return std::nullopt;
    }
    return number;
}

/// The object under `key`, or null (after reporting when it is there but no object).
const Value* ObjectKey(const JsonFile& file, const Value& parent, const char* key) {
    const Value* value = JsonFile::Find(parent, key);
    if (value == nullptr) return nullptr;
    if (value->IsObject()) return value;
    file.Report(Quote(key) + " is not an object");
    return nullptr;
}

/// A required key of a feel object; empty after reporting it missing or wrong.
std::optional<float> RequiredNumber(const JsonFile& file, const Value& object, const char* parent,
                                    const NumberKey& key) {
    if (JsonFile::Find(object, key.key) == nullptr) {
        file.Report(Quote(parent) + " has no " + Quote(key.key));
        return std::nullopt;
    }
    return RangedNumber(file, object, key);
}

std::string Nested(const char* parent, const char* key) {
    return Quote(parent) + "/" + Quote(key);
}

TileTypeDescription::Physics ReadPhysics(const JsonFile& file, const Value& physics) {
    TileTypeDescription::Physics body;
    if (const Value* type = JsonFile::Find(physics, "type")) {
        if (type->IsString()) {
            const std::string text(type->GetString(), type->GetStringLength());
            // Exact and case-sensitive: every other text makes a dynamic body.
            body.type = text == "static"      ? b2_staticBody
                        : text == "kinematic" ? b2_kinematicBody
                                              : b2_dynamicBody;
        } else {
            file.Report("\"physics\"/\"type\" is not a string");
        }
    } else {
        file.Report("\"physics\" has no \"type\"");
    }
    // Only the JSON literal true makes a sensor; any other value (1, "true") a normal fixture.
    if (const Value* sensor = JsonFile::Find(physics, "sensor")) body.sensor = sensor->IsTrue();
    const int density = file.IntOr(physics, "density", 0, "\"physics\"/\"density\"").value_or(0);
    if (density < 0) file.Report("\"physics\"/\"density\" is negative");
    body.density = static_cast<float>(density);
    body.friction = RangedNumber(
        file, physics,
        {"friction", "\"physics\"/\"friction\"", 0.0f, LevelReader::FeelRanges::maxFriction});
    return body;
}

/// The player's animation frames; the animator and the controller rely on six of them.
std::vector<int> ReadAnimation(const JsonFile& file) {
    std::vector<int> frames;
    const Value* animation = JsonFile::Find(file.Root(), "animation");
    if (animation == nullptr) {
        file.Report("\"characterController\" needs \"animation\"");
        return frames;
    }
    if (!animation->IsArray()) {
        file.Report("\"animation\" is not an array");
        return frames;
    }
    if (animation->Size() < LevelReader::animationFrames) {
        file.Report("\"animation\" has " + std::to_string(animation->Size()) +
                    " entries, at least 6 are needed");
    }
    for (rapidjson::SizeType i = 0; i < animation->Size(); ++i) {
        if (auto frame = file.Int((*animation)[i], Indexed(Quote("animation"), i))) {
            frames.push_back(*frame);
        }
    }
    return frames;
}

/// The tile's optional parts: sprite, physics, player and goal.
void ReadTileParts(const JsonFile& file, TileTypeDescription& tile) {
    const Value& root = file.Root();
    const Value* sprite = JsonFile::Find(root, "sprite");
    if (sprite != nullptr) tile.sprite = file.Int(*sprite, Quote("sprite"));
    if (const Value* physics = JsonFile::Find(root, "physics")) {
        if (physics->IsObject()) {
            tile.physics = ReadPhysics(file, *physics);
        } else {
            file.Report("\"physics\" is not an object");
        }
    }
    // Only the presence of these two keys counts.
    tile.characterController = JsonFile::Find(root, "characterController") != nullptr;
    tile.levelOverBox = JsonFile::Find(root, "leveloverbox") != nullptr;
    const bool hasPhysics = JsonFile::Find(root, "physics") != nullptr;
    if (tile.levelOverBox && !hasPhysics) file.Report("\"leveloverbox\" needs \"physics\"");
    // A player without a body is built without its player parts, so it needs nothing more.
    if (tile.characterController && hasPhysics) {
        if (sprite == nullptr) file.Report("\"characterController\" needs \"sprite\"");
        tile.animation = ReadAnimation(file);
    }
}

/// The trip of a moving platform; empty, after reporting why, when it cannot be made.
std::optional<TileTypeDescription::Motion> ReadMotion(const JsonFile& file, const Value& moving) {
    if (!moving.IsObject()) {
        file.Report("\"moving\" is not an object");
        return std::nullopt;
    }
    std::optional<float> values[3];
    const char* const keys[] = {"dx", "dy", "period"};
    for (int i = 0; i < 3; ++i) {
        const Value* value = JsonFile::Find(moving, keys[i]);
        if (value == nullptr) {
            file.Report("\"moving\" has no " + Quote(keys[i]));
            continue;
        }
        values[i] = file.Float(*value, "\"moving\"/" + Quote(keys[i]));
    }
    // A trip of no time has no speed that could make it.
    if (values[2] && *values[2] <= 0.0f) {
        file.Report("\"moving\"/\"period\" is not more than 0 seconds");
        return std::nullopt;
    }
    if (!values[0] || !values[1] || !values[2]) return std::nullopt;
    return TileTypeDescription::Motion{*values[0], *values[1], *values[2]};
}

/// Each behaviour on a body that can do it. A "physics" that could not be read has been
/// reported already.
void CheckBehaviourBodies(const JsonFile& file, const TileTypeDescription& tile, bool moving) {
    const bool hasPhysics = JsonFile::Find(file.Root(), "physics") != nullptr;
    const bool unreadBody = hasPhysics && !tile.physics;
    const bool sensor = tile.physics && tile.physics->sensor;
    const bool solidStatic = tile.physics && !sensor && tile.physics->type == b2_staticBody;
    if (tile.hazard && !hasPhysics) file.Report("\"hazard\" needs \"physics\"");
    if (moving && !hasPhysics) file.Report("\"moving\" needs \"physics\"");
    const std::string sensorBody = " needs a sensor body: \"physics\" with \"sensor\": true";
    if (tile.checkpoint && !sensor && !unreadBody) file.Report(Quote("checkpoint") + sensorBody);
    if (tile.collectible && !sensor && !unreadBody) file.Report(Quote("collectible") + sensorBody);
    if (tile.oneWay && !solidStatic && !unreadBody) {
        file.Report(R"("oneWay" needs a solid static body: "physics" with "type": "static" )"
                    R"(and no "sensor")");
    }
    if (tile.oneWay && moving) {
        file.Report(R"("oneWay" and "moving" cannot be combined: a one-way platform stands still)");
    }
}

/// Hazards, checkpoints, collectibles, one-way and moving platforms.
void ReadBehaviours(const JsonFile& file, TileTypeDescription& tile) {
    const Value& root = file.Root();
    tile.hazard = file.Flag(root, "hazard");
    tile.checkpoint = file.Flag(root, "checkpoint");
    tile.collectible = file.Flag(root, "collectible");
    tile.oneWay = file.Flag(root, "oneWay");
    if (const Value* reached = JsonFile::Find(root, "spriteReached")) {
        tile.spriteReached = file.Int(*reached, Quote("spriteReached"));
        if (!tile.checkpoint) file.Report("\"spriteReached\" needs \"checkpoint\"");
    }
    const Value* moving = JsonFile::Find(root, "moving");
    if (moving != nullptr) tile.moving = ReadMotion(file, *moving);
    CheckBehaviourBodies(file, tile, moving != nullptr);
}

/// The player's "walk": a top speed and the times to reach it and to stop, on the ground and in
/// the air (the air's default to the ground's).
std::optional<WalkFeel> ReadWalk(const JsonFile& file) {
    using namespace LevelReader::FeelRanges;
    const Value* walk = ObjectKey(file, file.Root(), "walk");
    if (walk == nullptr) return std::nullopt;
    const auto seconds = [](const char* key) {
        return NumberKey{key, Nested("walk", key), 0.0f, maxSeconds};
    };
    const std::optional<float> speed = RequiredNumber(
        file, *walk, "walk", {"speed", Nested("walk", "speed"), 0.0f, maxWalkSpeed, true});
    WalkFeel feel;
    feel.accelerateTime =
        RangedNumber(file, *walk, seconds("accelerate")).value_or(feel.accelerateTime);
    feel.stopTime = RangedNumber(file, *walk, seconds("stop")).value_or(feel.stopTime);
    feel.airAccelerateTime =
        RangedNumber(file, *walk, seconds("airAccelerate")).value_or(feel.accelerateTime);
    feel.airStopTime = RangedNumber(file, *walk, seconds("airStop")).value_or(feel.stopTime);
    if (!speed) return std::nullopt;
    feel.speed = *speed;
    return feel;
}

/// False, after reporting it, when the jump starts or lands faster than the physics can move the
/// player: it would rise or fall a fraction of what it asks.
bool WithinPhysics(const JsonFile& file, const JumpFeel& feel) {
    using LevelReader::FeelRanges::maxPlayerSpeed;
    const bool ownFall = feel.fallTime >= 0.0f;
    std::ostringstream problem;
    problem << "\"jump\" of height " << feel.height << " in " << feel.airTime << " s";
    if (feel.StartSpeed() > maxPlayerSpeed) {
        problem << " starts at " << std::lround(feel.StartSpeed())
                << " units/s: the physics moves the player at most " << maxPlayerSpeed
                << (ownFall ? " units/s (2 x height / (airTime - fallTime))"
                            : " units/s (4 x height / airTime)");
    } else if (feel.LandingSpeed() > maxPlayerSpeed) {
        problem << " falling in " << feel.fallTime << " s lands at "
                << std::lround(feel.LandingSpeed())
                << " units/s: the physics moves the player at most " << maxPlayerSpeed
                << " units/s (2 x height / fallTime)";
    } else {
        return true;
    }
    file.Report(problem.str());
    return false;
}

/// The player's "jump": its height and time in the air, and the height still risen after the
/// key is let go early.
std::optional<JumpFeel> ReadJump(const JsonFile& file) {
    using namespace LevelReader::FeelRanges;
    const Value* jump = ObjectKey(file, file.Root(), "jump");
    if (jump == nullptr) return std::nullopt;
    const std::optional<float> height = RequiredNumber(
        file, *jump, "jump", {"height", Nested("jump", "height"), 0.0f, maxJumpHeight, true});
    const std::optional<float> airTime = RequiredNumber(
        file, *jump, "jump", {"airTime", Nested("jump", "airTime"), 0.0f, maxSeconds, true});
    if (!height || !airTime) return std::nullopt;
    JumpFeel feel;
    feel.height = *height;
    feel.airTime = *airTime;
    feel.releasedHeight =
        RangedNumber(file, *jump,
                     {"releasedHeight", Nested("jump", "releasedHeight"), 0.0f, *height})
            .value_or(*height);
    feel.fallTime =
        RangedNumber(file, *jump,
                     {"fallTime", Nested("jump", "fallTime"), 0.0f, *airTime, true, true})
            .value_or(feel.fallTime);
    feel.freshPress = file.Flag(*jump, "freshPress");
    feel.edgeGrace =
        RangedNumber(file, *jump, {"edgeGrace", Nested("jump", "edgeGrace"), 0.0f, maxEdgeGrace})
            .value_or(feel.edgeGrace);
    if (!WithinPhysics(file, feel)) return std::nullopt;
    return feel;
}

/// "walk", "jump", "landOnFeet" and "faceLastWalk": only the player has them.
void ReadPlayerFeel(const JsonFile& file, TileTypeDescription& tile) {
    tile.walk = ReadWalk(file);
    tile.jump = ReadJump(file);
    tile.landOnFeet = file.Flag(file.Root(), "landOnFeet");
    tile.faceLastWalk = file.Flag(file.Root(), "faceLastWalk");
    if (tile.characterController) return;
    for (const char* key : {"walk", "jump", "landOnFeet", "faceLastWalk"}) {
        if (JsonFile::Find(file.Root(), key) != nullptr) {
            file.Report(Quote(key) + " needs \"characterController\"");
        }
    }
}

/// The level's "camera": how far it leads, the band the player moves in freely, its easing.
std::optional<CameraFeel> ReadCamera(const JsonFile& file) {
    using namespace LevelReader::FeelRanges;
    const Value* camera = ObjectKey(file, file.Root(), "camera");
    if (camera == nullptr) return std::nullopt;
    CameraFeel feel;
    feel.lead = RangedNumber(file, *camera, {"lead", Nested("camera", "lead"), 0.0f, maxCameraLead})
                    .value_or(feel.lead);
    feel.band = RangedNumber(file, *camera, {"band", Nested("camera", "band"), 0.0f, maxCameraBand})
                    .value_or(feel.band);
    feel.ease = RangedNumber(file, *camera, {"ease", Nested("camera", "ease"), 0.0f, maxSeconds})
                    .value_or(feel.ease);
    return feel;
}

}  // namespace

namespace LevelReader {

LevelDescription ReadLevelFile(const std::string& fileName, std::vector<Problem>& problems) {
    const std::optional<std::string> text = ReadWholeFile(fileName, problems);
    if (!text) {
        LevelDescription level;
        level.fileName = fileName;
        return level;
    }
    return ReadLevelText(fileName, *text, problems);
}

LevelDescription ReadLevelText(const std::string& fileName, const std::string& text,
                               std::vector<Problem>& problems) {
    LevelDescription level;
    level.fileName = fileName;
    const JsonFile file(fileName, text, problems);
    if (!file.IsRead()) return level;
    level.read = true;
    level.id = file.IntOr(file.Root(), "id", 0, Quote("id"));
    level.name = file.RequiredString(file.Root(), "name", Quote("name"));
    if (const Value* death = JsonFile::Find(file.Root(), "deathLevelInY")) {
        level.deathLevelInY = file.Float(*death, Quote("deathLevelInY")).value_or(0.0f);
    }
    level.entries = ReadTileEntries(file);
    level.backdrop = ReadBackdrop(file);
    level.camera = ReadCamera(file);
    return level;
}

TileTypeDescription ReadTileFile(const std::string& fileName, std::vector<Problem>& problems) {
    const std::optional<std::string> text = ReadWholeFile(fileName, problems);
    if (!text) {
        TileTypeDescription tile;
        tile.fileName = fileName;
        return tile;
    }
    return ReadTileText(fileName, *text, problems);
}

TileTypeDescription ReadTileText(const std::string& fileName, const std::string& text,
                                 std::vector<Problem>& problems) {
    TileTypeDescription tile;
    tile.fileName = fileName;
    const JsonFile file(fileName, text, problems);
    if (!file.IsRead()) return tile;
    tile.read = true;
    tile.id = file.IntOr(file.Root(), "id", 0, Quote("id")).value_or(0);
    tile.name = file.RequiredString(file.Root(), "name", Quote("name"));
    ReadTileParts(file, tile);
    ReadBehaviours(file, tile);
    ReadPlayerFeel(file, tile);
    return tile;
}

std::string TileFileName(int tileType) {
    return "tile" + std::to_string(tileType) + ".json";
}

std::string SpriteName(int number) {
    return std::to_string(number) + ".png";
}

}  // namespace LevelReader
