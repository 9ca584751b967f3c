#include "levelcheck/ReachPicture.hpp"

#include <cmath>
#include <filesystem>

#include "atlasgen/AtlasWriter.hpp"
#include "game/TileGrid.hpp"
#include "preview/LevelPreview.hpp"

namespace {

/// Light blue, half see-through: the level's art stays readable under it.
const Rgba kReachedTint{90, 200, 255, 130};
/// Orange, more opaque: where the search got nearest to a goal it never reached.
const Rgba kNearestTint{255, 140, 0, 170};

/// Blends `tint` over the grid cell's square in a picture whose top-left corner is `corner`.
void TintCell(Image& picture, const LevelPreview::Corner& corner, const LevelSearch::Cell& cell,
              const Rgba& tint) {
    const float half = tileGridSize / 2.0f;
    const int left = static_cast<int>(std::floor(cell.column * tileGridSize - half - corner.x));
    const int top = static_cast<int>(std::floor(corner.y - (cell.row * tileGridSize + half)));
    for (int y = top; y < top + tileGridSize; ++y) {
        for (int x = left; x < left + tileGridSize; ++x) picture.blend(x, y, tint);
    }
}

}  // namespace

ReachPicture::ReachPicture(const std::string& atlasName)
    : preview(std::make_unique<LevelPreview>(atlasName)) {}

ReachPicture::~ReachPicture() = default;

std::string ReachPicture::FileFor(const std::string& picture, const std::string& levelFile) {
    const std::filesystem::path path(picture);
    const std::string name =
        path.stem().string() + "-" + std::filesystem::path(levelFile).stem().string() + ".png";
    return (path.parent_path() / name).string();
}

void ReachPicture::Write(const std::string& levelFile,
                         const std::vector<LevelSearch::Cell>& reached,
                         const std::optional<LevelSearch::Cell>& nearest,
                         const std::string& fileName) const {
    LevelPreview::Corner corner;
    Image picture = preview->render(levelFile, ".", &corner);
    for (const LevelSearch::Cell& cell : reached) TintCell(picture, corner, cell, kReachedTint);
    if (nearest) TintCell(picture, corner, *nearest, kNearestTint);
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    AtlasWriter::writePng(picture, fileName);
}
