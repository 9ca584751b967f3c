#pragma once

#include <glm/vec2.hpp>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/GameObject.hpp"
#include "game/LevelContext.hpp"
#include "game/LevelData.hpp"
#include "game/LevelReader.hpp"

class Behaviour;
class CharacterController;
class PhysicsBody;
class SpriteRenderer;

/// Builds one level from its level file and the tile-type files ("tile<N>.json") it uses,
/// wiring every component to the scene's events and world. Files are opened read-only, by
/// relative name, from the working directory; each tile-type file is read at most once per
/// builder, however many tiles of that type the level has.
///
/// The files are read by `LevelReader`; the first problem it finds with a file (missing or
/// unreadable, invalid JSON, a missing "name", a value of the wrong JSON type, a tile entry with
/// fewer than three integers, a player tile without "sprite" or "animation", an "animation" with
/// fewer than six entries, a goal without "physics", a behaviour key without the body it needs)
/// is thrown as std::runtime_error whose text starts with the file name, e.g.
/// `tile7.json: "physics" has no "type"`; so does a tile (or a backdrop) that shows a sprite
/// while the context has no sprite atlas. Both files are checked completely before
/// any game object is made, so a failed build leaves nothing behind.
///
/// Sprites come from the context's atlas: sprite number S is the atlas sprite "S.png"; that
/// includes the sprites of the level's "backdrop" layers.
///
/// The events, the world and the atlas of the context must outlive the built objects.
class LevelBuilder {
public:
    explicit LevelBuilder(LevelContext context);

    /// Reads `fileName` and builds the level: root object, "Main Camera" object and one active
    /// game object per tile entry, in file order, each centred on its cell; but a player with a
    /// solid tile in the cell below starts resting on it, `tileGridSize` minus a box's size (one
    /// unit) lower, rather than dropping onto it.
    LevelData BuildLevel(std::string fileName);
    /// Builds one inactive game object of tile type `tileType`, recording the player in
    /// `levelData` (whose camera object must already exist).
    std::shared_ptr<GameObject> BuildTile(int tileType, LevelData& levelData);

    /// How many tile-type files this builder has read (each at most once).
    int GetTileFilesRead() const { return tileFilesRead; }
    /// Every file this builder has read or tried to read, each once, in the order it first
    /// wanted them: level files, then tile-type files. After a failed build the last one is
    /// often the file at fault.
    const std::vector<std::string>& GetFilesRead() const { return filesRead; }

    /// A tile-type file, checked and read into plain values.
    using TileType = TileTypeDescription;

private:
    const TileType& LoadTileType(int tileType);
    /// Where the tile of `entry` starts (game units); `solidCells` holds the (column, row) of
    /// every tile with a body that is no sensor.
    glm::vec2 StartPlace(const TileEntry& entry, const std::set<std::pair<int, int>>& solidCells);
    void CheckAtlasFor(const TileType& tile) const;
    /// A backdrop needs the atlas its sprites come from.
    void CheckAtlasFor(const LevelDescription& level) const;
    void AddCamera(LevelData& levelData) const;
    /// The body of a tile with "physics": a character's box has cut corners (see
    /// `CharacterShape`), every other tile a plain box; a moving tile's body is kinematic.
    void AddPhysics(GameObject& object, const TileType& tile) const;
    /// Hazard, checkpoint, collectible, one-way and moving platform, as the tile type asks.
    void AddBehaviours(GameObject& object, const TileType& tile) const;
    void AddPlayer(const std::shared_ptr<GameObject>& object, const TileType& tile,
                   LevelData& levelData) const;
    /// Adds a `T` to `object`, wired to the scene event (or events) it needs.
    template <typename T>
    std::shared_ptr<T> AddWired(GameObject& object) const;
    void Wire(Behaviour& behaviour) const;
    void Wire(SpriteRenderer& renderer) const;
    void Wire(PhysicsBody& body) const;
    void Wire(CharacterController& controller) const;

    LevelContext context;
    std::map<int, TileType> tileTypes;
    int tileFilesRead = 0;
    std::vector<std::string> filesRead;
};
