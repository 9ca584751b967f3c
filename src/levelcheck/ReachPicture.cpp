#include "levelcheck/ReachPicture.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

#include "game/TileGrid.hpp"
#include "levelpreview/LevelPreview.hpp"
#include "picture/PngFile.hpp"

namespace {

/// Light blue, half see-through: the level's art stays readable under it.
const Rgba kReachedTint{90, 200, 255, 130};
/// Orange, more opaque: where the search got nearest to a goal it never reached.
const Rgba kNearestTint{255, 140, 0, 170};

const Rgba kBackground{0, 0, 0, 255};

/// The top-left pixel of a grid cell's square in a picture whose top-left corner is `corner`.
int CellLeft(const LevelPreview::Corner& corner, const LevelSearch::Cell& cell) {
    return static_cast<int>(
        std::floor(cell.column * tileGridSize - tileGridSize / 2.0f - corner.x));
}
int CellTop(const LevelPreview::Corner& corner, const LevelSearch::Cell& cell) {
    return static_cast<int>(std::floor(corner.y - (cell.row * tileGridSize + tileGridSize / 2.0f)));
}

void TintCell(Image& picture, const LevelPreview::Corner& corner, const LevelSearch::Cell& cell,
              const Rgba& tint) {
    const int left = CellLeft(corner, cell);
    const int top = CellTop(corner, cell);
    for (int y = top; y < top + tileGridSize; ++y) {
        for (int x = left; x < left + tileGridSize; ++x) picture.blend(x, y, tint);
    }
}

/// The player may get above or beside every sprite of the level: the picture grows (on the
/// preview's black) until every cell reached is in it.
void MakeRoom(Image& picture, LevelPreview::Corner& corner,
              const std::vector<LevelSearch::Cell>& cells) {
    int left = 0, top = 0, right = picture.width(), bottom = picture.height();
    for (const LevelSearch::Cell& cell : cells) {
        left = std::min(left, CellLeft(corner, cell));
        top = std::min(top, CellTop(corner, cell));
        right = std::max(right, CellLeft(corner, cell) + tileGridSize);
        bottom = std::max(bottom, CellTop(corner, cell) + tileGridSize);
    }
    if (left == 0 && top == 0 && right == picture.width() && bottom == picture.height()) return;
    Image larger(right - left, bottom - top);
    larger.fillRect(0, 0, larger.width(), larger.height(), kBackground);
    larger.copy(picture, -left, -top);
    picture = std::move(larger);
    corner = {corner.x + left, corner.y - top};
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
    MakeRoom(picture, corner, reached);
    for (const LevelSearch::Cell& cell : reached) TintCell(picture, corner, cell, kReachedTint);
    if (nearest) TintCell(picture, corner, *nearest, kNearestTint);
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    WritePngWhole(picture, fileName);
}
