#include "LevelConverter.hpp"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "common/SpriteNumbers.hpp"

namespace {

using sprites::GroundRow;
using sprites::GroundSide;

constexpr char groundMark = '#';

struct BackdropLayer {
    int sprite;
    const char* parallax;  // written as it stands, so the file shows it as the author meant it
};
// Far to near: the sky stays put, the stars drift a little, the hills more.
constexpr BackdropLayer nightSky[] = {
    {sprites::backdropSky, "0"}, {sprites::backdropStars, "0.1"}, {sprites::backdropHills, "0.3"}};
constexpr char platformMark = '=';
// The camera of every level: it looks ahead of the fox, keeps still through its jumps and
// catches up without a jolt.
constexpr const char* cameraFeel = R"({"lead": 70, "band": 60, "ease": 0.25})";

const std::map<char, int>& fixedTiles() {
    static const std::map<char, int> legend = {
        {'S', sprites::stoneBlock},   {'C', sprites::crate},          {'G', sprites::goal},
        {'P', sprites::playerIdle},   {'c', sprites::cloudLarge},     {'k', sprites::cloudSmall},
        {'w', sprites::grassTuft},    {'f', sprites::flowerRed},      {'F', sprites::flowerBlue},
        {'b', sprites::bush},         {'r', sprites::rock},           {'>', sprites::signArrow},
        {'m', sprites::mushroom},     {'T', sprites::tree},           {'*', sprites::star},
        {'M', sprites::moon},         {'H', sprites::fence},          {'L', sprites::lantern},
        {'^', sprites::spikes},       {'!', sprites::checkpoint},     {'o', sprites::coin},
        {'-', sprites::woodenBridge}, {'~', sprites::movingPlatform},
    };
    return legend;
}

// Sprites without bodies, only there to dress the level.
bool isDecoration(int type) {
    static const std::set<int> decorations = {
        sprites::cloudLarge, sprites::cloudSmall, sprites::grassTuft, sprites::flowerRed,
        sprites::flowerBlue, sprites::bush,       sprites::rock,      sprites::signArrow,
        sprites::mushroom,   sprites::tree,       sprites::star,      sprites::moon,
        sprites::fence,      sprites::lantern};
    return decorations.count(type) > 0;
}

// What the fox touches to take or reach: a sensor it passes in front of.
bool isPickup(int type) {
    return type == sprites::coin || type == sprites::checkpoint || type == sprites::goal;
}

// Tiles are drawn in the order of the file, so decorations, coins, flags and the goal sharing
// the fox's row come on a line of their own before it: the fox walks in front of them. None of
// them holds anything up (no body, or a sensor), so the fox moves as before.
void putDecorationsBehindThePlayer(std::vector<TileEntry>& group,
                                   std::vector<std::vector<TileEntry>>& groups) {
    const bool hasPlayer = std::any_of(group.begin(), group.end(), [](const TileEntry& e) {
        return e.type == sprites::playerIdle;
    });
    if (!hasPlayer) return;
    std::vector<TileEntry> behind;
    std::vector<TileEntry> rest;
    for (const TileEntry& e : group) {
        (isDecoration(e.type) || isPickup(e.type) ? behind : rest).push_back(e);
    }
    if (!behind.empty()) groups.push_back(std::move(behind));
    group = std::move(rest);
}

bool isEmpty(char c) {
    return c == ' ' || c == '.';
}

GroundSide sideKind(bool openLeft, bool openRight) {
    if (openLeft && openRight) return GroundSide::Both;
    if (openLeft) return GroundSide::Left;
    if (openRight) return GroundSide::Right;
    return GroundSide::Inner;
}

int groundType(const LevelMap& map, int column, int row) {
    auto solid = [&map](int c, int r) { return map.at(c, r) == groundMark; };
    const bool openTop = !solid(column, row + 1);
    const bool openBottom = row == 0 || !solid(column, row - 1);
    GroundRow kind = GroundRow::Dirt;
    if (openTop && openBottom) {
        kind = GroundRow::GrassBottom;
    } else if (openTop) {
        kind = GroundRow::GrassTop;
    } else if (openBottom) {
        kind = GroundRow::Bottom;
    }
    return sprites::ground(kind, sideKind(!solid(column - 1, row), !solid(column + 1, row)));
}

int platformType(const LevelMap& map, int column, int row) {
    const bool joinLeft = map.at(column - 1, row) == platformMark;
    const bool joinRight = map.at(column + 1, row) == platformMark;
    if (joinLeft && joinRight) return sprites::platformMiddle;
    if (joinLeft) return sprites::platformRight;
    if (joinRight) return sprites::platformLeft;
    return sprites::platformSingle;
}

// The text as a JSON string literal, quotes included.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string cellName(const std::string& source, int column, int row) {
    return source + ": column " + std::to_string(column) + ", row " + std::to_string(row);
}

}  // namespace

int LevelConverter::tileTypeAt(const LevelMap& map, int column, int row) {
    const char c = map.at(column, row);
    if (isEmpty(c)) return 0;
    if (c == groundMark) return groundType(map, column, row);
    if (c == platformMark) return platformType(map, column, row);
    const auto it = fixedTiles().find(c);
    if (it == fixedTiles().end()) {
        throw std::invalid_argument(cellName("map", column, row) + ": unknown character '" +
                                    std::string(1, c) + "'");
    }
    return it->second;
}

std::vector<std::vector<TileEntry>> LevelConverter::tiles(const LevelMap& map,
                                                          const std::string& source) {
    std::vector<std::vector<TileEntry>> groups;
    int players = 0;
    int goals = 0;
    for (int row = map.rows() - 1; row >= 0; --row) {
        std::vector<TileEntry> group;
        for (int column = 0; column < map.columns(); ++column) {
            int type = 0;
            try {
                type = tileTypeAt(map, column, row);
            } catch (const std::invalid_argument& e) {
                throw std::invalid_argument(source + ": " + e.what());
            }
            if (type == 0) continue;
            players += type == sprites::playerIdle ? 1 : 0;
            goals += type == sprites::goal ? 1 : 0;
            group.push_back({type, column, row});
        }
        putDecorationsBehindThePlayer(group, groups);
        if (!group.empty()) groups.push_back(std::move(group));
    }
    if (players != 1) {
        throw std::invalid_argument(source + ": a level needs exactly one player 'P', found " +
                                    std::to_string(players));
    }
    if (goals == 0) throw std::invalid_argument(source + ": the level has no goal 'G'");
    const int lowestTileBottom = -tileGridSize / 2;  // cells reach half a cell below row 0
    if (deathLine(map) >= lowestTileBottom) {
        throw std::invalid_argument(source + ": the death line " + std::to_string(deathLine(map)) +
                                    " is not below the lowest row of tiles");
    }
    return groups;
}

int LevelConverter::deathLine(const LevelMap& map) {
    return map.death() ? *map.death() : -deathMarginRows * tileGridSize;
}

std::string LevelConverter::toJson(const LevelMap& map, const std::string& source) {
    const auto groups = tiles(map, source);
    std::ostringstream out;
    out << "{\n  \"id\": " << map.id() << ",\n  \"name\": " << jsonString(map.name())
        << ",\n  \"deathLevelInY\": " << deathLine(map) << ",\n  \"backdrop\": [";
    // Every level of the default world plays under the same night sky.
    for (std::size_t i = 0; i < std::size(nightSky); ++i) {
        out << (i == 0 ? "" : ", ") << "{\"sprite\": " << nightSky[i].sprite
            << ", \"parallax\": " << nightSky[i].parallax << "}";
    }
    out << "],\n  \"camera\": " << cameraFeel << ",\n  \"arrayOfTiles\": [\n";
    for (std::size_t g = 0; g < groups.size(); ++g) {
        out << "    [";
        for (std::size_t i = 0; i < groups[g].size(); ++i) {
            const TileEntry& e = groups[g][i];
            out << (i == 0 ? "" : ", ") << "[" << e.type << ", " << e.column << ", " << e.row
                << "]";
        }
        out << "]" << (g + 1 < groups.size() ? "," : "") << "\n";
    }
    out << "  ]\n}\n";
    return out.str();
}
