#include "LevelPreview.hpp"

#include <SDL.h>
#include <SDL_image.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "common/TextFile.hpp"

namespace {

constexpr float gridSize = 21.0f;
constexpr int margin = 4;
constexpr int bytesPerPixel = 4;

rapidjson::Document parseJson(const std::string& path) {
    rapidjson::Document document;
    document.Parse(TextFile::read(path).c_str());
    if (document.HasParseError() || !document.IsObject()) {
        throw std::runtime_error(path + " is not a JSON object");
    }
    return document;
}

Image loadPng(const std::string& path) {
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> loaded(IMG_Load(path.c_str()),
                                                                    &SDL_FreeSurface);
    if (!loaded) throw std::runtime_error("cannot load " + path + ": " + IMG_GetError());
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rgba(
        SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0), &SDL_FreeSurface);
    if (!rgba) throw std::runtime_error("cannot convert " + path + ": " + SDL_GetError());
    Image image(rgba->w, rgba->h);
    const auto* pixels = static_cast<const std::uint8_t*>(rgba->pixels);
    for (int y = 0; y < rgba->h; ++y) {
        for (int x = 0; x < rgba->w; ++x) {
            const std::uint8_t* p = pixels + y * rgba->pitch + x * bytesPerPixel;
            image.set(x, y, {p[0], p[1], p[2], p[3]});
        }
    }
    return image;
}

int memberInt(const rapidjson::Value& object, const char* key, const std::string& where) {
    if (!object.IsObject() || !object.HasMember(key) || !object[key].IsNumber()) {
        throw std::runtime_error(where + ": \"" + key + "\" is missing or not a number");
    }
    return static_cast<int>(object[key].GetDouble());
}

float memberFloat(const rapidjson::Value& object, const char* key, const std::string& where) {
    if (!object.IsObject() || !object.HasMember(key) || !object[key].IsNumber()) {
        throw std::runtime_error(where + ": \"" + key + "\" is missing or not a number");
    }
    return static_cast<float>(object[key].GetDouble());
}

}  // namespace

LevelPreview::LevelPreview(const std::string& atlasBase) : page(loadPng(atlasBase + ".png")) {
    const std::string jsonPath = atlasBase + ".json";
    const rapidjson::Document atlas = parseJson(jsonPath);
    if (!atlas.HasMember("frames") || !atlas["frames"].IsArray()) {
        throw std::runtime_error(jsonPath + " has no \"frames\" array");
    }
    for (const auto& entry : atlas["frames"].GetArray()) {
        if (!entry.IsObject() || !entry.HasMember("filename") || !entry["filename"].IsString() ||
            !entry.HasMember("frame") || !entry.HasMember("pivot")) {
            throw std::runtime_error(jsonPath + ": a frame lacks filename, frame or pivot");
        }
        Frame f;
        f.x = memberInt(entry["frame"], "x", jsonPath);
        f.y = memberInt(entry["frame"], "y", jsonPath);
        f.width = memberInt(entry["frame"], "w", jsonPath);
        f.height = memberInt(entry["frame"], "h", jsonPath);
        f.pivotX = memberFloat(entry["pivot"], "x", jsonPath);
        f.pivotY = memberFloat(entry["pivot"], "y", jsonPath);
        frames.emplace(entry["filename"].GetString(), f);
    }
}

const LevelPreview::Frame& LevelPreview::frame(int sprite) const {
    const auto it = frames.find(std::to_string(sprite) + ".png");
    if (it == frames.end()) {
        throw std::runtime_error("the atlas has no sprite " + std::to_string(sprite) + ".png");
    }
    return it->second;
}

Image LevelPreview::render(const std::string& levelFile, const std::string& tileFolder) const {
    const rapidjson::Document level = parseJson(levelFile);
    if (!level.HasMember("arrayOfTiles") || !level["arrayOfTiles"].IsArray()) {
        throw std::runtime_error(levelFile + " has no \"arrayOfTiles\" array");
    }
    std::map<int, int> spriteOfType;  // 0: no sprite
    std::map<int, bool> playerType;
    std::vector<Placed> placed;
    std::vector<Placed> players;
    float minX = std::numeric_limits<float>::max(), maxX = -minX, minY = minX, maxY = -minX;
    for (const auto& row : level["arrayOfTiles"].GetArray()) {
        if (!row.IsArray()) throw std::runtime_error(levelFile + ": a row is not an array");
        for (const auto& entry : row.GetArray()) {
            if (!entry.IsArray() || entry.Size() < 3 || !entry[0].IsInt() || !entry[1].IsInt() ||
                !entry[2].IsInt()) {
                throw std::runtime_error(levelFile + ": a tile entry is not [type, column, row]");
            }
            const int type = entry[0].GetInt();
            if (spriteOfType.count(type) == 0) {
                const std::string tilePath = tileFolder + "/tile" + std::to_string(type) + ".json";
                const rapidjson::Document tile = parseJson(tilePath);
                spriteOfType[type] =
                    tile.HasMember("sprite") ? memberInt(tile, "sprite", tilePath) : 0;
                playerType[type] = tile.HasMember("characterController");
            }
            if (spriteOfType[type] == 0) continue;
            const Frame& f = frame(spriteOfType[type]);
            const float cx = entry[1].GetInt() * gridSize;
            const float cy = entry[2].GetInt() * gridSize;
            const Placed p{&f, cx - f.pivotX * f.width, cy + f.pivotY * f.height};
            minX = std::min(minX, p.left);
            maxX = std::max(maxX, p.left + f.width);
            maxY = std::max(maxY, p.top);
            minY = std::min(minY, p.top - f.height);
            (playerType[type] ? players : placed).push_back(p);
        }
    }
    if (placed.empty() && players.empty()) throw std::runtime_error(levelFile + " has no tiles");
    placed.insert(placed.end(), players.begin(), players.end());
    const int width = static_cast<int>(std::ceil(maxX - minX)) + 2 * margin;
    const int height = static_cast<int>(std::ceil(maxY - minY)) + 2 * margin;
    Image picture(width, height);
    picture.fillRect(0, 0, width, height, {0, 0, 0, 255});
    for (const Placed& p : placed) {
        const int left = static_cast<int>(std::floor(p.left - minX)) + margin;
        const int top = static_cast<int>(std::floor(maxY - p.top)) + margin;
        for (int y = 0; y < p.frame->height; ++y) {
            for (int x = 0; x < p.frame->width; ++x) {
                picture.blend(left + x, top + y, page.at(p.frame->x + x, p.frame->y + y));
            }
        }
    }
    return picture;
}
