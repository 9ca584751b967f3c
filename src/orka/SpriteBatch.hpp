#pragma once

#include <memory>
#include <vector>

#include "orka/Sprite.hpp"

namespace orka {

class Material;
class Mesh;
class RenderPass;
class Shader;

/// Sprites turned into as few draw calls as their textures allow: the sprites are sorted by
/// `orderInBatch` and then by texture, and every run of sprites sharing a texture becomes one
/// triangle mesh ("DynamicSpriteBatch0", "DynamicSpriteBatch1", ... in drawing order) with one
/// material of the unlit sprite shader carrying that texture. Indices are 16-bit, so a run of
/// more than `maxSpritesPerMesh` sprites is split over several meshes. Sprites without a texture
/// (a failed atlas lookup) are skipped.
///
/// Building allocates nothing per sprite: each mesh's vertex lists are reserved once and handed
/// over to the mesh without a copy, and each mesh is uploaded once.
///
/// Made to be thrown away: build one per frame, draw it through a RenderPass, release it. The
/// batch owns its meshes (their GPU buffers live as long as the batch) and materials; the
/// materials share the textures, which therefore stay alive while the batch lives.
class SpriteBatch {
public:
    /// Four vertices per sprite must fit 16-bit indices.
    static constexpr int maxSpritesPerMesh = 16384;

    /// Collects copies of sprites; build() makes the batch.
    class SpriteBatchBuilder {
    public:
        /// Appends a copy: placement, flip and colour are taken as they are now.
        SpriteBatchBuilder& addSprite(const Sprite& sprite);
        /// Makes room for `count` sprites in advance (optional).
        SpriteBatchBuilder& reserve(size_t count);
        /// Sorts the builder's own sprites in place, then builds the batch. Building again
        /// gives a second batch of the same sprites. Needs the renderer.
        std::shared_ptr<SpriteBatch> build();
        /// The sprites added so far (sorted after build()).
        const std::vector<Sprite>& getSprites() const { return sprites; }

    private:
        SpriteBatchBuilder();
        friend class SpriteBatch;

        std::shared_ptr<Shader> shader;
        std::vector<Sprite> sprites;
    };

    /// A builder with the unlit sprite shader and no sprites.
    static SpriteBatchBuilder create();

    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    /// Material i draws mesh i; both lists have the same length.
    const std::vector<std::shared_ptr<Material>>& getMaterials() const { return materials; }
    const std::vector<std::shared_ptr<Mesh>>& getMeshes() const { return spriteMeshes; }

private:
    SpriteBatch(const std::shared_ptr<Shader>& shader, std::vector<Sprite>& sprites);

    friend class RenderPass;

    std::vector<std::shared_ptr<Material>> materials;
    std::vector<std::shared_ptr<Mesh>> spriteMeshes;
};

}  // namespace orka
