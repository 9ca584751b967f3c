#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "picture/Image.hpp"

// Colours of a pixel-art grid, one character each. '.' is always transparent and may not be
// given a colour, so grids stay readable.
class Palette {
public:
    // Entries are (character, "#rrggbb" or "#rrggbbaa"); throws std::invalid_argument for a bad
    // colour, a repeated character or the reserved '.'.
    Palette(std::initializer_list<std::pair<char, const char*>> entries);

    // A copy with one more or one changed entry (for variants such as other flower colours).
    Palette with(char key, const Rgba& colour) const;
    // The colour of key, or nullptr when the palette does not know it.
    const Rgba* find(char key) const;

private:
    Palette() = default;
    void add(char key, const Rgba& colour, bool allowReplace);

    std::map<char, Rgba> colours;
};

// Turns rows of characters (top row first) into an image of the rows' width and count.
// name is used in error messages only. Throws std::invalid_argument when the grid is empty,
// its rows differ in length, or a character is not in the palette.
Image pixelArt(const std::string& name, const std::vector<std::string>& rows,
               const Palette& palette);
