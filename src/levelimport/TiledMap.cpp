#include "levelimport/TiledMap.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "levelimport/JsonMap.hpp"
#include "levelimport/MapReading.hpp"
#include "levelimport/XmlMap.hpp"

namespace levelimport {
namespace {

constexpr std::size_t kQuoteLength = 32;

}  // namespace

std::optional<std::string> ReadFileFromDisk(const std::string& fileName, std::string& error) {
    // Only regular files: a device or a pipe named as a tileset could be read forever.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(fileName, ignored)) {
        error = std::filesystem::exists(fileName, ignored) ? "is not a regular file"
                                                           : "cannot be opened for reading";
        return std::nullopt;
    }
    std::ifstream stream(fileName, std::ios::binary);
    if (!stream.good()) {
        error = "cannot be opened for reading";
        return std::nullopt;
    }
    std::string text{std::istreambuf_iterator<char>(stream), {}};
    if (stream.bad()) {
        error = "cannot be read";
        return std::nullopt;
    }
    return text;
}

TiledMap ReadTiledMap(const std::string& mapFile, std::vector<Problem>& problems,
                      const FileSource& files) {
    TiledMap map;
    map.file = mapFile;
    std::string error;
    const std::optional<std::string> text = files(mapFile, error);
    if (!text) {
        problems.push_back({mapFile, error});
        return map;
    }
    if (LooksLikeXml(*text)) {
        ReadXmlMap(*text, map, problems, files);
    } else {
        ReadJsonMap(*text, map, problems, files);
    }
    if (map.read && map.infinite) PlaceInfiniteMap(map, problems);
    return map;
}

std::string Quoted(std::string_view text) {
    std::size_t length = std::min(text.size(), kQuoteLength);
    // Cut before a UTF-8 continuation byte, not inside a character.
    while (length > 0 && length < text.size() && (text[length] & 0xC0) == 0x80) --length;
    std::string quoted = "\"";
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        quoted += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
    }
    if (length < text.size()) quoted += "...";
    return quoted + "\"";
}

}  // namespace levelimport
