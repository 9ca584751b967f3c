#pragma once

#include <optional>
#include <string>
#include <vector>

// A level as its author writes it: a few header lines, then a character map of the tiles.
//
//   ; comment
//   id: 1
//   name: First Steps
//   death: -63            (optional: the death line in game units)
//   map:
//   <one text line per grid row, the top row first>
//
// The last line of the map is grid row 0; columns count from 0 at the left. Trailing blank
// lines are dropped and short lines read as empty cells on the right.
class LevelMap {
public:
    // source names the text in error messages. Throws std::invalid_argument for a missing or
    // repeated id, name or map line, an unknown header key, a bad number or an empty map.
    static LevelMap parse(const std::string& text, const std::string& source);

    int id() const { return levelId; }
    const std::string& name() const { return levelName; }
    const std::optional<int>& death() const { return deathLine; }
    int columns() const { return width; }
    int rows() const { return static_cast<int>(lines.size()); }
    // The character at grid (column, row); ' ' outside the map.
    char at(int column, int row) const;

private:
    int levelId = 0;
    std::string levelName;
    std::optional<int> deathLine;
    int width = 0;
    std::vector<std::string> lines;  // top row first
};
