#include "PixelArt.hpp"

#include <stdexcept>

namespace {
constexpr char transparentKey = '.';
}

Palette::Palette(std::initializer_list<std::pair<char, const char*>> entries) {
    for (const auto& [key, colour] : entries) add(key, Rgba::hex(colour), false);
}

Palette Palette::with(char key, const Rgba& colour) const {
    Palette result = *this;
    result.add(key, colour, true);
    return result;
}

const Rgba* Palette::find(char key) const {
    const auto it = colours.find(key);
    return it == colours.end() ? nullptr : &it->second;
}

void Palette::add(char key, const Rgba& colour, bool allowReplace) {
    if (key == transparentKey) {
        throw std::invalid_argument("palette: '.' is reserved for transparent pixels");
    }
    if (!allowReplace && colours.count(key) != 0) {
        throw std::invalid_argument(std::string("palette: character '") + key + "' is given twice");
    }
    colours[key] = colour;
}

Image pixelArt(const std::string& name, const std::vector<std::string>& rows,
               const Palette& palette) {
    if (rows.empty() || rows.front().empty()) {
        throw std::invalid_argument("pixel art " + name + ": the grid is empty");
    }
    const int width = static_cast<int>(rows.front().size());
    const int height = static_cast<int>(rows.size());
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const std::string& row = rows[y];
        if (static_cast<int>(row.size()) != width) {
            throw std::invalid_argument("pixel art " + name + ": row " + std::to_string(y) +
                                        " has " + std::to_string(row.size()) +
                                        " characters, the first row has " + std::to_string(width));
        }
        for (int x = 0; x < width; ++x) {
            if (row[x] == transparentKey) continue;
            const Rgba* colour = palette.find(row[x]);
            if (colour == nullptr) {
                throw std::invalid_argument("pixel art " + name + ": character '" +
                                            std::string(1, row[x]) + "' at column " +
                                            std::to_string(x) + ", row " + std::to_string(y) +
                                            " is not in the palette");
            }
            image.set(x, y, *colour);
        }
    }
    return image;
}
