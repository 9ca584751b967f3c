#include "levelimport/TiledMap.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
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
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(fileName, failure);
    if (status.type() == std::filesystem::file_type::not_found) {
        error = "does not exist";
        return std::nullopt;
    }
    if (failure) {
        error = "cannot be read: " + failure.message();  // a folder on its way is closed
        return std::nullopt;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        error = "is not a regular file";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream stream(fileName, std::ios::binary);
    if (!stream.good()) {
        error = std::string("cannot be opened for reading: ") +
                (errno != 0 ? std::strerror(errno) : "unknown reason");
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
