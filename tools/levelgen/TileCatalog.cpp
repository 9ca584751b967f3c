#include "TileCatalog.hpp"

#include <ostream>
#include <sstream>
#include <stdexcept>

#include "common/SpriteNumbers.hpp"
#include "game/TileGrid.hpp"

namespace {

using sprites::GroundRow;
using sprites::GroundSide;

// Densities: the player as the game is tuned for it; crates lighter, so they can be pushed.
constexpr int playerDensity = 2;
constexpr int crateDensity = 1;
// The lift crosses seven cells and comes back in eight seconds: at most about 58 units a second
// in the middle of its way, slower than the fox walks, and at rest for a moment at each end.
constexpr TileMotion liftMotion{7 * tileGridSize, 0, 8.0f};
// Ground, platforms and stone grip: a crate pushed over them stops soon after the push.
constexpr const char* groundFriction = "0.6";
// The fox's feel. It runs at 180 units a second, reached in a tenth of a second and lost in
// 0.04 s, so it stops within a fifth of a tile; in the air it turns more slowly. A held jump
// rises 76 units (three and a half tiles) in 0.42 s, falls faster and lands after 0.75 s, so a
// running jump carries about 137 units (six and a half tiles); let go early, the rise ends 20
// units later; let go of the arrow in the air, it drifts under a tile. Only
// its feet land it: walls cannot be climbed. Each jump takes a fresh press of the key, a walk
// off an edge leaves a tenth of a second to jump, and the fox faces the way it last walked.
constexpr const char* playerFeel =
    R"("walk": {"speed": 180, "accelerate": 0.1, "stop": 0.04, "airAccelerate": 0.2, )"
    R"("airStop": 0.15},)"
    "\n  "
    R"("jump": {"height": 76, "airTime": 0.75, "releasedHeight": 20, "freshPress": true, )"
    R"("edgeGrace": 0.1, "fallTime": 0.33},)"
    "\n  "
    R"("landOnFeet": true,)"
    "\n  "
    R"("faceLastWalk": true)";

const char* groundRowName(GroundRow row) {
    switch (row) {
        case GroundRow::GrassTop:
            return "Grass";
        case GroundRow::Dirt:
            return "Earth";
        case GroundRow::Bottom:
            return "Earth Bottom";
        case GroundRow::GrassBottom:
            return "Grass Ledge";
    }
    return "";
}

const char* groundSideName(GroundSide side) {
    switch (side) {
        case GroundSide::Inner:
            return "";
        case GroundSide::Left:
            return " Left";
        case GroundSide::Right:
            return " Right";
        case GroundSide::Both:
            return " Pillar";
    }
    return "";
}

TileType solid(int sprite, std::string name) {
    TileType type;
    type.id = sprite;
    type.name = std::move(name);
    type.sprite = sprite;
    type.body = TileType::Body::Static;
    return type;
}

// Something to stand and walk on.
TileType ground(int sprite, std::string name) {
    TileType type = solid(sprite, std::move(name));
    type.friction = groundFriction;
    return type;
}

TileType decoration(int sprite, std::string name) {
    TileType type;
    type.id = sprite;
    type.name = std::move(name);
    type.sprite = sprite;
    return type;
}

std::vector<TileType> makeCatalog() {
    std::vector<TileType> types;
    for (int row = 0; row < sprites::groundKinds; ++row) {
        for (int side = 0; side < sprites::groundKinds; ++side) {
            const auto r = static_cast<GroundRow>(row);
            const auto s = static_cast<GroundSide>(side);
            types.push_back(
                ground(sprites::ground(r, s), std::string(groundRowName(r)) + groundSideName(s)));
        }
    }
    types.push_back(ground(sprites::platformSingle, "Platform"));
    types.push_back(ground(sprites::platformLeft, "Platform Left"));
    types.push_back(ground(sprites::platformMiddle, "Platform Middle"));
    types.push_back(ground(sprites::platformRight, "Platform Right"));
    types.push_back(ground(sprites::stoneBlock, "Stone Block"));

    TileType crate = solid(sprites::crate, "Crate");
    crate.body = TileType::Body::Dynamic;
    crate.density = crateDensity;
    types.push_back(crate);

    TileType goal = solid(sprites::goal, "Goal");
    goal.sensor = true;
    goal.goal = true;
    types.push_back(goal);

    TileType player = solid(sprites::playerIdle, "Player Character");
    player.body = TileType::Body::Dynamic;
    player.density = playerDensity;
    player.player = true;
    player.animation = {sprites::playerIdle, sprites::playerWalk1, sprites::playerWalk2,
                        sprites::playerJump, sprites::playerCheer, sprites::playerFall};
    types.push_back(player);

    types.push_back(decoration(sprites::cloudLarge, "Cloud"));
    types.push_back(decoration(sprites::cloudSmall, "Small Cloud"));
    types.push_back(decoration(sprites::grassTuft, "Grass Tuft"));
    types.push_back(decoration(sprites::flowerRed, "Red Flower"));
    types.push_back(decoration(sprites::flowerBlue, "Blue Flower"));
    types.push_back(decoration(sprites::bush, "Bush"));
    types.push_back(decoration(sprites::rock, "Rock"));
    types.push_back(decoration(sprites::signArrow, "Sign"));
    types.push_back(decoration(sprites::mushroom, "Mushroom"));
    types.push_back(decoration(sprites::tree, "Tree"));
    types.push_back(decoration(sprites::star, "Star"));
    types.push_back(decoration(sprites::moon, "Moon"));
    types.push_back(decoration(sprites::fence, "Fence"));
    types.push_back(decoration(sprites::lantern, "Lantern"));

    TileType spikes = solid(sprites::spikes, "Spikes");
    spikes.hazard = true;
    types.push_back(spikes);

    TileType checkpoint = solid(sprites::checkpoint, "Checkpoint");
    checkpoint.sensor = true;
    checkpoint.checkpoint = true;
    checkpoint.spriteReached = sprites::checkpointReached;
    types.push_back(checkpoint);

    TileType coin = solid(sprites::coin, "Coin");
    coin.sensor = true;
    coin.collectible = true;
    types.push_back(coin);

    TileType bridge = ground(sprites::woodenBridge, "Wooden Bridge");
    bridge.oneWay = true;
    types.push_back(bridge);

    TileType lift = ground(sprites::movingPlatform, "Lift");
    lift.body = TileType::Body::Kinematic;
    lift.moving = liftMotion;
    types.push_back(lift);
    return types;
}

const char* bodyTypeName(TileType::Body body) {
    switch (body) {
        case TileType::Body::Static:
            return "static";
        case TileType::Body::Kinematic:
            return "kinematic";
        case TileType::Body::None:
        case TileType::Body::Dynamic:
            break;
    }
    return "dynamic";
}

// The keys of the behaviours, each on a line of its own.
void writeBehaviours(std::ostream& out, const TileType& type) {
    if (type.hazard) out << ",\n  \"hazard\": true";
    if (type.checkpoint) out << ",\n  \"checkpoint\": true";
    if (type.spriteReached != 0) out << ",\n  \"spriteReached\": " << type.spriteReached;
    if (type.collectible) out << ",\n  \"collectible\": true";
    if (type.oneWay) out << ",\n  \"oneWay\": true";
    if (type.moving) {
        out << ",\n  \"moving\": {\"dx\": " << type.moving->dx << ", \"dy\": " << type.moving->dy
            << ", \"period\": " << type.moving->period << "}";
    }
}

}  // namespace

const std::vector<TileType>& TileCatalog::all() {
    static const std::vector<TileType> catalog = makeCatalog();
    return catalog;
}

const TileType& TileCatalog::byId(int id) {
    for (const TileType& type : all()) {
        if (type.id == id) return type;
    }
    throw std::out_of_range("no tile type " + std::to_string(id));
}

std::string TileCatalog::toJson(const TileType& type) {
    std::ostringstream out;
    out << "{\n  \"id\": " << type.id << ",\n  \"name\": \"" << type.name
        << "\",\n  \"sprite\": " << type.sprite;
    if (type.body != TileType::Body::None) {
        out << ",\n  \"physics\": {\"type\": \"" << bodyTypeName(type.body) << "\"";
        if (type.sensor) out << ", \"sensor\": true";
        if (type.density != 0) out << ", \"density\": " << type.density;
        if (type.friction != nullptr) out << ", \"friction\": " << type.friction;
        out << "}";
    }
    if (type.player) {
        out << ",\n  \"characterController\": true,\n  \"animation\": [";
        for (std::size_t i = 0; i < type.animation.size(); ++i) {
            out << (i == 0 ? "" : ", ") << type.animation[i];
        }
        out << "],\n  " << playerFeel;
    }
    if (type.goal) out << ",\n  \"leveloverbox\": true";
    writeBehaviours(out, type);
    out << "\n}\n";
    return out.str();
}

std::string TileCatalog::fileName(const TileType& type) {
    return "tile" + std::to_string(type.id) + ".json";
}
