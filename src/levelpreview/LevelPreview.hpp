#pragma once

#include <map>
#include <string>

#include "picture/Image.hpp"

// Draws a whole level file the way the game places its sprites (tile at column c, row r is
// centred on (21c, 21r), y up, sprite pivots as in the atlas) into one picture on black, so
// levels and art can be judged without running the game. Sprites are drawn in file order
// with the player last; the game's own order among sprites is not fixed. The files are read
// as the game reads them: levels and tile types by the game's level reader, the atlas by the
// engine's (which needs a GL context: open a hidden window first).
class LevelPreview {
public:
    // Reads "<atlasBase>.json" and "<atlasBase>.png". Throws std::runtime_error naming the
    // file when one cannot be read or parsed.
    explicit LevelPreview(const std::string& atlasBase);

    // The game position (units, y up) of a picture's top-left corner: the game point (x, y) is
    // drawn at pixel column x - corner.x, row corner.y - y (rounded down).
    struct Corner {
        float x = 0.0f;
        float y = 0.0f;
    };

    // Renders levelFile; tile files are read from tileFolder. Throws std::runtime_error with
    // the first problem the level reader finds in a file, or for an unknown sprite. With
    // corner, tells where the level was placed in the picture.
    Image render(const std::string& levelFile, const std::string& tileFolder,
                 Corner* corner = nullptr) const;
    // Renders levelFile into "<outputFolder>/<its name without .json>.png" at one texel per
    // game unit and returns that path. Throws as render does, or when the file cannot be
    // written.
    std::string writePicture(const std::string& levelFile, const std::string& tileFolder,
                             const std::string& outputFolder) const;

private:
    struct Frame {
        int x = 0, y = 0, width = 0, height = 0;
        float pivotX = 0.5f, pivotY = 0.5f;
    };
    struct Placed {
        const Frame* frame = nullptr;
        float left = 0, top = 0;  // world units, y up
    };

    const Frame& frame(int sprite) const;

    Image page;
    std::map<std::string, Frame> frames;
};
