#include "orka/SpriteAtlas.hpp"

#include <picojson.h>

#include <algorithm>
#include <istream>
#include <iterator>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "orka/FileBytes.hpp"
#include "orka/JsonNesting.hpp"
#include "orka/Log.hpp"
#include "orka/Renderer.hpp"
#include "orka/RendererResources.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

constexpr double smallestPixel = std::numeric_limits<int>::min();
constexpr double largestPixel = std::numeric_limits<int>::max();

bool fitsInt(long long value) {
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

// One entry of "frames", converted to the texture's bottom-up texel coordinates.
struct Frame {
    std::string name;
    glm::ivec2 position;
    glm::ivec2 size;
    glm::vec2 anchor;
};

// Reads the frames of one atlas. Each accessor names the full path of a bad key ("frames[2].
// frame.x") in `error`, so a broken file is easy to fix.
class FrameReader {
public:
    FrameReader(int textureHeight, bool flipAnchorY)
        : textureHeight(textureHeight), flipAnchorY(flipAnchorY) {}

    bool readAll(const picojson::value& root, std::vector<Frame>& frames);
    const std::string& getError() const { return error; }

private:
    template <typename T>
    const T* field(const picojson::object& parent, const std::string& parentPath,
                   const std::string& key, const char* typeName);
    bool pixel(const picojson::object& frame, const std::string& path, const char* key, int& out);
    bool fraction(const picojson::object& pivot, const std::string& path, const char* key,
                  float& out);
    bool flipRectangle(const std::string& path, glm::ivec2& position, const glm::ivec2& size);

    int textureHeight;
    bool flipAnchorY;
    std::string error;
};

template <typename T>
const T* FrameReader::field(const picojson::object& parent, const std::string& parentPath,
                            const std::string& key, const char* typeName) {
    const std::string path = parentPath.empty() ? key : parentPath + "." + key;
    const auto found = parent.find(key);
    if (found == parent.end()) {
        error = path + " is missing";
        return nullptr;
    }
    if (!found->second.is<T>()) {
        error = path + " must be " + typeName;
        return nullptr;
    }
    return &found->second.get<T>();
}

bool FrameReader::pixel(const picojson::object& frame, const std::string& path, const char* key,
                        int& out) {
    const double* value = field<double>(frame, path, key, "a number");
    if (value == nullptr) return false;
    // Out-of-range values would make the conversion undefined.
    if (!(*value > smallestPixel - 1.0 && *value < largestPixel + 1.0)) {
        error = path + "." + key + " is out of range";
        return false;
    }
    out = static_cast<int>(*value);  // truncates toward zero
    return true;
}

bool FrameReader::fraction(const picojson::object& pivot, const std::string& path, const char* key,
                           float& out) {
    const double* value = field<double>(pivot, path, key, "a number");
    if (value == nullptr) return false;
    out = static_cast<float>(*value);
    return true;
}

// The file measures from the image's top row, the texture from its bottom row. Every edge of
// the rectangle must stay within int: texture coordinates are computed from them later.
bool FrameReader::flipRectangle(const std::string& path, glm::ivec2& position,
                                const glm::ivec2& size) {
    const long long right = static_cast<long long>(position.x) + size.x;
    const long long top = static_cast<long long>(textureHeight) - position.y;
    const long long bottom = top - size.y;
    if (!fitsInt(right) || !fitsInt(top) || !fitsInt(bottom)) {
        error = path + ".frame is out of range";
        return false;
    }
    position.y = static_cast<int>(bottom);
    return true;
}

bool FrameReader::readAll(const picojson::value& root, std::vector<Frame>& result) {
    if (!root.is<picojson::object>()) {
        error = "frames is missing (the file does not hold a JSON object)";
        return false;
    }
    const auto* frames =
        field<picojson::array>(root.get<picojson::object>(), "", "frames", "an array");
    if (frames == nullptr) return false;
    for (size_t i = 0; i < frames->size(); i++) {
        const std::string path = "frames[" + std::to_string(i) + "]";
        if (!(*frames)[i].is<picojson::object>()) {
            error = path + " must be an object";
            return false;
        }
        const auto& entry = (*frames)[i].get<picojson::object>();
        const auto* name = field<std::string>(entry, path, "filename", "a string");
        const auto* frame = field<picojson::object>(entry, path, "frame", "an object");
        const auto* pivot = field<picojson::object>(entry, path, "pivot", "an object");
        if (name == nullptr || frame == nullptr || pivot == nullptr) return false;
        glm::ivec2 position, size;
        glm::vec2 anchor;
        if (!pixel(*frame, path + ".frame", "x", position.x) ||
            !pixel(*frame, path + ".frame", "y", position.y) ||
            !pixel(*frame, path + ".frame", "w", size.x) ||
            !pixel(*frame, path + ".frame", "h", size.y) ||
            !fraction(*pivot, path + ".pivot", "x", anchor.x) ||
            !fraction(*pivot, path + ".pivot", "y", anchor.y) ||
            !flipRectangle(path, position, size)) {
            return false;
        }
        if (flipAnchorY) anchor.y = 1.0f - anchor.y;
        result.push_back({*name, position, size, anchor});
    }
    return true;
}

// picojson throws std::overflow_error for a number beyond the range of double ("1e400"); such a
// file is as broken as one with a syntax error. Returns the error, empty on success.
std::string parseJson(std::istream& json, picojson::value& root) {
    std::string text;
    // A caller's file stream on a folder throws from its buffer while it is read.
    try {
        text.assign(std::istreambuf_iterator<char>(json), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure& failure) {
        return std::string("the stream cannot be read: ") + failure.what();
    }
    if (jsonNestsDeeperThan(text)) return jsonTooDeepMessage();
    std::string error;
    try {
        picojson::parse(root, text.begin(), text.end(), &error);
    } catch (const std::overflow_error&) {
        return "a number is out of range";
    }
    // picojson quotes the rest of the line, which may be the whole file.
    const std::string quoteMark = "near: ";
    const std::size_t quote = error.find(quoteMark);
    return quote == std::string::npos ? error : shortenedQuote(error, quote + quoteMark.size());
}

}  // namespace

SpriteAtlas::SpriteAtlas(std::string atlasName, std::map<std::string, Sprite> sprites,
                         std::shared_ptr<Texture> texture)
    : atlasName(std::move(atlasName)), sprites(std::move(sprites)), texture(std::move(texture)) {
    if (Renderer::instance != nullptr)
        resourcesOf(*Renderer::instance).spriteAtlases.push_back(this);
}

SpriteAtlas::~SpriteAtlas() {
    if (Renderer::instance == nullptr) return;
    auto& registry = resourcesOf(*Renderer::instance).spriteAtlases;
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

std::shared_ptr<SpriteAtlas> SpriteAtlas::create(std::string jsonFile, std::string imageFile,
                                                 bool flipAnchorY, Filter filter, Edges edges) {
    // Linear is the texture's default, left unasked so that a page whose size is not a power
    // of two is still sampled nearest (with a warning), as atlases always were.
    Texture::TextureBuilder builder = Texture::create();
    if (filter == Filter::Nearest) builder.withFilterSampling(false);
    std::shared_ptr<Texture> texture =
        builder.withWrappedTextureCoordinates(edges == Edges::Repeat).withFile(imageFile).build();
    // Sprites of a page that did not load still draw, white, so a level stays playable; the
    // log says why it looks so.
    if (texture != nullptr && texture->loadFailed()) {
        ORKA_LOG_WARNING(
            "Sprite atlas %s: page image %s could not be loaded, a white "
            "placeholder is used",
            jsonFile.c_str(), imageFile.c_str());
    }
    return create(std::move(jsonFile), std::move(texture), flipAnchorY);
}

std::shared_ptr<SpriteAtlas> SpriteAtlas::create(std::string jsonFile,
                                                 std::shared_ptr<Texture> texture,
                                                 bool flipAnchorY) {
    const FileBytes file = readFileBytes(jsonFile);
    if (!file.ok) {
        ORKA_LOG_ERROR("SpriteAtlas json not found %s (%s)", jsonFile.c_str(), file.reason.c_str());
        return {};
    }
    std::istringstream json(std::string(file.bytes.begin(), file.bytes.end()));
    return create(json, jsonFile, std::move(texture), flipAnchorY);
}

std::shared_ptr<SpriteAtlas> SpriteAtlas::create(std::istream& json, const std::string& atlasName,
                                                 std::shared_ptr<Texture> texture,
                                                 bool flipAnchorY) {
    picojson::value root;
    const std::string parseError = parseJson(json, root);
    if (!parseError.empty()) {
        ORKA_LOG_ERROR("%s: %s", atlasName.c_str(), parseError.c_str());
        return {};
    }
    if (texture == nullptr) {
        ORKA_LOG_ERROR("Cannot load sprite atlas %s: it has no texture", atlasName.c_str());
        return {};
    }
    std::vector<Frame> frames;
    FrameReader reader(texture->getHeight(), flipAnchorY);
    if (!reader.readAll(root, frames)) {
        ORKA_LOG_ERROR("Cannot load sprite atlas %s: %s", atlasName.c_str(),
                       reader.getError().c_str());
        return {};
    }
    std::map<std::string, Sprite> sprites;
    for (const Frame& frame : frames) {
        // emplace keeps an existing entry: the first frame of a name wins.
        sprites.emplace(frame.name, Sprite(frame.position, frame.size, frame.anchor, texture));
    }
    return std::shared_ptr<SpriteAtlas>(
        new SpriteAtlas(atlasName, std::move(sprites), std::move(texture)));
}

Sprite SpriteAtlas::get(std::string name) const {
    const auto found = sprites.find(name);
    if (found == sprites.end()) {
        // Log readers match this text up to "spriteatlas"; the atlas's file follows.
        ORKA_LOG_WARNING("Cannot find sprite %s in spriteatlas %s", name.c_str(),
                         atlasName.c_str());
        return Sprite();
    }
    return found->second;
}

std::vector<std::string> SpriteAtlas::getNames() const {
    std::vector<std::string> names;
    names.reserve(sprites.size());
    for (const auto& entry : sprites) names.push_back(entry.first);
    return names;
}

}  // namespace orka
