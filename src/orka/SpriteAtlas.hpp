#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "orka/Sprite.hpp"

namespace orka {

class Texture;

/// One texture page plus named rectangles on it, read from a JSON description:
///
///     {"frames": [{"filename": "1.png",
///                  "frame": {"x": 0, "y": 0, "w": 21, "h": 21},
///                  "pivot": {"x": 0.5, "y": 0.5}}, ...]}
///
/// Rectangles are in image pixels measured from the image's top row (fractions are truncated);
/// the pivot is a fraction of the size, from the left and, with flipAnchorY, from the top (else
/// from the bottom). Every key shown is required; other keys (those of common packing tools,
/// such as "rotated", "trimmed", "spriteSourceSize", "sourceSize" and a "meta" object) are
/// ignored. When two frames share a "filename" the first wins.
///
/// Immutable once created; always held by std::shared_ptr. The atlas owns a reference to its
/// texture; sprites handed out point at that texture, so the atlas must outlive the sprites that
/// are drawn. Registers itself with the renderer while it lives.
class SpriteAtlas {
public:
    /// How a page loaded from an image file is sampled between its texels.
    enum class Filter {
        Linear,  ///< blends neighbouring texels: smooth when sprites are scaled or rotated
        Nearest  ///< the nearest texel: crisp pixel art
    };
    /// What a page loaded from an image file gives beyond its edges.
    enum class Edges {
        Clamp,  ///< the edge texels: a sprite at the page's edge shows nothing of the far edge
        Repeat  ///< the page again from its opposite edge (filtered sprites there pick up a line)
    };

    /// Loads the page image with Texture::create().withFile(imageFile), sampled with `filter`
    /// and `edges`, and then reads `jsonFile` as below. A page image that cannot be loaded is
    /// a warning: the atlas is made on the texture's white placeholder (its sprites draw as
    /// white rectangles; getTexture()->loadFailed() tells). The defaults, linear and clamped, suit
    /// sprites that are scaled or rotated; pixel art asks for Filter::Nearest. A page whose size
    /// is not a power of two is sampled nearest whatever is asked (Texture warns when linear
    /// was).
    static std::shared_ptr<SpriteAtlas> create(std::string jsonFile, std::string imageFile,
                                               bool flipAnchorY, Filter filter = Filter::Linear,
                                               Edges edges = Edges::Clamp);
    /// Reads `jsonFile` for the given texture, which is sampled as it was built. Returns an
    /// empty pointer, after an error log naming the file and the reason, when the file cannot
    /// be opened or parsed, or when a required key is missing or of the wrong JSON type.
    static std::shared_ptr<SpriteAtlas> create(std::string jsonFile,
                                               std::shared_ptr<Texture> texture, bool flipAnchorY);
    /// As above, from a stream already open (an atlas held in memory); `atlasName` names it in
    /// messages and becomes its name.
    static std::shared_ptr<SpriteAtlas> create(std::istream& json, const std::string& atlasName,
                                               std::shared_ptr<Texture> texture, bool flipAnchorY);

    ~SpriteAtlas();
    SpriteAtlas(const SpriteAtlas&) = delete;
    SpriteAtlas& operator=(const SpriteAtlas&) = delete;

    /// A copy of the named sprite. An unknown name is a warning naming the sprite and the
    /// atlas's file, and gives a default sprite (no texture, not drawn).
    Sprite get(std::string name) const;

    /// The JSON file name the atlas was created from.
    const std::string& getAtlasName() const { return atlasName; }
    /// Sprite names in byte-wise order.
    std::vector<std::string> getNames() const;
    /// The page image. Its sprites point to it without owning it: keep the atlas or this
    /// texture while they are drawn.
    const std::shared_ptr<Texture>& getTexture() const { return texture; }

private:
    SpriteAtlas(std::string atlasName, std::map<std::string, Sprite> sprites,
                std::shared_ptr<Texture> texture);

    std::string atlasName;
    std::map<std::string, Sprite> sprites;
    std::shared_ptr<Texture> texture;
};

}  // namespace orka
