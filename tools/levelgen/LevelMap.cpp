#include "LevelMap.hpp"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace {

constexpr char commentMark = ';';
const std::string mapKey = "map";

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(first, end - first + 1);
}

int parseNumber(const std::string& value, const std::string& where) {
    std::size_t used = 0;
    int number = 0;
    try {
        number = std::stoi(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size()) {
        throw std::invalid_argument(where + ": \"" + value + "\" is not a whole number");
    }
    return number;
}

}  // namespace

char LevelMap::at(int column, int row) const {
    const int line = rows() - 1 - row;
    if (line < 0 || line >= rows() || column < 0) return ' ';
    const std::string& text = lines[line];
    return column < static_cast<int>(text.size()) ? text[column] : ' ';
}

LevelMap LevelMap::parse(const std::string& text, const std::string& source) {
    LevelMap map;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    bool haveId = false;
    bool inMap = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (inMap) {
            map.lines.push_back(line);
            continue;
        }
        const std::string content = trim(line);
        if (content.empty() || content[0] == commentMark) continue;
        const std::string where = source + ":" + std::to_string(lineNumber);
        const auto colon = content.find(':');
        if (colon == std::string::npos) {
            throw std::invalid_argument(where + ": expected \"key: value\", got \"" + content +
                                        "\"");
        }
        const std::string key = trim(content.substr(0, colon));
        const std::string value = trim(content.substr(colon + 1));
        if (key == "id" && !haveId) {
            map.levelId = parseNumber(value, where);
            haveId = true;
        } else if (key == "name" && map.levelName.empty() && !value.empty()) {
            map.levelName = value;
        } else if (key == "death" && !map.deathLine) {
            map.deathLine = parseNumber(value, where);
        } else if (key == mapKey && value.empty()) {
            inMap = true;
        } else {
            throw std::invalid_argument(where + ": unexpected, repeated or empty \"" + key + "\"");
        }
    }
    while (!map.lines.empty() && trim(map.lines.back()).empty()) map.lines.pop_back();
    if (!haveId) throw std::invalid_argument(source + ": the level has no \"id\"");
    if (map.levelName.empty()) throw std::invalid_argument(source + ": the level has no \"name\"");
    if (!inMap || map.lines.empty()) {
        throw std::invalid_argument(source + ": the level has no map (a \"map:\" line and rows)");
    }
    for (const std::string& row : map.lines) {
        map.width = std::max(map.width, static_cast<int>(row.size()));
    }
    return map;
}
