#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "levelcheck/LevelSearch.hpp"

class LevelPreview;

/// Pictures of where the player can go: a level drawn as `levelpreview` draws it (one pixel per
/// game unit), with every grid cell the search reached tinted, and the cell nearest to the goal
/// marked when the goal was not reached.
class ReachPicture {
public:
    /// Reads the atlas "<atlasName>.json" and ".png". Needs the renderer (a GL context) while
    /// it is made. Throws std::runtime_error naming a file that cannot be read.
    explicit ReachPicture(const std::string& atlasName);
    ~ReachPicture();
    ReachPicture(const ReachPicture&) = delete;
    ReachPicture& operator=(const ReachPicture&) = delete;

    /// "<folder of picture>/<stem of picture>-<stem of levelFile>.png": for "out/reach.png" and
    /// "1level2.json", "out/reach-1level2.png".
    static std::string FileFor(const std::string& picture, const std::string& levelFile);

    /// Draws `levelFile` (its tile files read from the working directory) with the cells of
    /// `reached` tinted and `nearest`, when given, marked, and writes it as the PNG file
    /// `fileName` (its folder made when missing). Throws std::runtime_error when the level
    /// cannot be drawn or the file not written.
    void Write(const std::string& levelFile, const std::vector<LevelSearch::Cell>& reached,
               const std::optional<LevelSearch::Cell>& nearest,
               const std::string& fileName) const;

private:
    std::unique_ptr<LevelPreview> preview;
};
