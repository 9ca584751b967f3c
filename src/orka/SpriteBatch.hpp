#pragma once

#include <memory>
#include <vector>

#include "orka/Sprite.hpp"

namespace orka {

class BatchBufferPool;
class Material;
class Mesh;
class RenderPass;
class Shader;
class Texture;

/// Sprites turned into as few draw calls as their textures allow: the sprites are sorted by
/// `orderInBatch` and then by texture, and every run of sprites sharing a texture becomes one
/// triangle mesh ("DynamicSpriteBatch0", "DynamicSpriteBatch1", ... in drawing order) with one
/// material of the unlit sprite shader carrying that texture. Indices are 16-bit, so a run of
/// more than `maxSpritesPerMesh` sprites is split over several meshes. Sprites without a texture
/// (a failed atlas lookup) are skipped.
///
/// Building writes each sprite's four 48-byte vertices once, straight into a GL vertex buffer
/// borrowed from the renderer's BatchBufferPool (mapped with invalidation, GL_STREAM_DRAW); all
/// meshes share one index buffer of quads, and no CPU copy is kept. Released meshes give their
/// buffers and vertex arrays back to the pool, so a batch built every frame makes no GL objects
/// after the first frames. Each mesh takes a fresh id when built, so render passes bind it.
/// The meshes are sprite-run meshes (see Mesh): ordinary to read and draw, counted in
/// RenderStats like meshes that own their buffers (meshCount, meshBytes and
/// meshBytesAllocated/Deallocated with 48 bytes per vertex and 2 per index), so a batch
/// counts as it always has; draw calls and state changes are those of any mesh.
///
/// Made to be thrown away: build one per frame, draw it through a RenderPass, release it. The
/// batch owns its meshes (their buffers are borrowed as long as the batch lives) and materials;
/// the materials share the textures, which therefore stay alive while the batch lives.
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

    /// One mesh and material per run of consecutive sprites with the same texture (a run
    /// longer than maxSpritesPerMesh takes several), in drawing order: material i draws mesh i.
    ///@{
    const std::vector<std::shared_ptr<Material>>& getMaterials() const { return materials; }
    const std::vector<std::shared_ptr<Mesh>>& getMeshes() const { return spriteMeshes; }
    ///@}

    /// One vertex as a sprite-run mesh stores it (defined with the code that writes it).
    struct Vertex;

private:
    SpriteBatch(const std::shared_ptr<Shader>& shader, std::vector<Sprite>& sprites);
    /// Mesh and material of the sprites [first, last) of one texture, `count` of them with it.
    void addRun(BatchBufferPool& pool, Shader& shader, Texture& texture, const Sprite* first,
                const Sprite* last, int count);
    static void writeVertices(Vertex* vertices, const Texture& texture, const Sprite* first,
                              const Sprite* last);

    friend class RenderPass;

    std::vector<std::shared_ptr<Material>> materials;
    std::vector<std::shared_ptr<Mesh>> spriteMeshes;
};

}  // namespace orka
