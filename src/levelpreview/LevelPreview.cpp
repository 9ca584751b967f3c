#include "levelpreview/LevelPreview.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "game/LevelReader.hpp"
#include "game/TileGrid.hpp"
#include "orka/SpriteAtlas.hpp"
#include "picture/PngFile.hpp"

namespace {

constexpr float gridSize = static_cast<float>(tileGridSize);
constexpr int margin = 4;
constexpr int bytesPerPixel = 4;

/// Throws the first problem found, as the game does.
void throwFirst(const std::vector<Problem>& problems) {
    if (!problems.empty()) throw std::runtime_error(problems.front().ToString());
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

}  // namespace

LevelPreview::LevelPreview(const std::string& atlasBase) : page(loadPng(atlasBase + ".png")) {
    const std::string jsonPath = atlasBase + ".json";
    // Pivots as in the file, measured from the top like the picture's rows.
    const std::shared_ptr<orka::SpriteAtlas> atlas =
        orka::SpriteAtlas::create(jsonPath, atlasBase + ".png", /*flipAnchorY=*/false);
    // The engine has said why.
    if (atlas == nullptr) throw std::runtime_error("cannot read the sprite atlas " + jsonPath);
    for (const std::string& name : atlas->getNames()) {
        const orka::Sprite sprite = atlas->get(name);
        Frame f;
        f.x = sprite.getSpritePos().x;
        f.width = sprite.getSpriteSize().x;
        f.height = sprite.getSpriteSize().y;
        // The engine counts texture rows from the bottom, the picture from the top.
        f.y = page.height() - sprite.getSpritePos().y - f.height;
        f.pivotX = sprite.getSpriteAnchor().x;
        f.pivotY = sprite.getSpriteAnchor().y;
        frames.emplace(name, f);
    }
}

const LevelPreview::Frame& LevelPreview::frame(int sprite) const {
    const auto it = frames.find(LevelReader::SpriteName(sprite));
    if (it == frames.end()) {
        throw std::runtime_error("the atlas has no sprite " + LevelReader::SpriteName(sprite));
    }
    return it->second;
}

Image LevelPreview::render(const std::string& levelFile, const std::string& tileFolder,
                           Corner* corner) const {
    std::vector<Problem> problems;
    const LevelDescription level = LevelReader::ReadLevelFile(levelFile, problems);
    throwFirst(problems);
    std::map<int, TileTypeDescription> tileTypes;
    std::vector<Placed> placed;
    std::vector<Placed> players;
    float minX = std::numeric_limits<float>::max(), maxX = -minX, minY = minX, maxY = -minX;
    for (const TileEntry& entry : level.entries) {
        auto tile = tileTypes.find(entry.type);
        if (tile == tileTypes.end()) {
            const std::string tilePath = tileFolder + "/" + LevelReader::TileFileName(entry.type);
            tile =
                tileTypes.emplace(entry.type, LevelReader::ReadTileFile(tilePath, problems)).first;
            throwFirst(problems);
        }
        if (!tile->second.sprite) continue;
        const Frame& f = frame(*tile->second.sprite);
        const float cx = entry.column * gridSize;
        const float cy = entry.row * gridSize;
        const Placed p{&f, cx - f.pivotX * f.width, cy + f.pivotY * f.height};
        minX = std::min(minX, p.left);
        maxX = std::max(maxX, p.left + f.width);
        maxY = std::max(maxY, p.top);
        minY = std::min(minY, p.top - f.height);
        (tile->second.characterController ? players : placed).push_back(p);
    }
    if (placed.empty() && players.empty()) throw std::runtime_error(levelFile + " has no tiles");
    placed.insert(placed.end(), players.begin(), players.end());
    const int width = static_cast<int>(std::ceil(maxX - minX)) + 2 * margin;
    const int height = static_cast<int>(std::ceil(maxY - minY)) + 2 * margin;
    Image picture(width, height);
    picture.fillRect(0, 0, width, height, {0, 0, 0, 255});
    if (corner != nullptr) *corner = {minX - margin, maxY + margin};
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

std::string LevelPreview::writePicture(const std::string& levelFile, const std::string& tileFolder,
                                       const std::string& outputFolder) const {
    const std::filesystem::path out =
        std::filesystem::path(outputFolder) /
        std::filesystem::path(levelFile).filename().replace_extension(".png");
    WritePngWhole(render(levelFile, tileFolder), out.string());
    return out.string();
}
