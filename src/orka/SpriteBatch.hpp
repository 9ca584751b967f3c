#pragma once

#include <memory>
#include <vector>

#include "orka/Shader.hpp"
#include "orka/Shape.hpp"
#include "orka/Sprite.hpp"
#include "orka/Text.hpp"

namespace orka {

class BatchBufferPool;
class Font;
class Material;
class Mesh;
class RenderPass;
class Shader;
class Texture;

/// Sprites (and shapes, see Shape) turned into as few draw calls as their textures allow: the
/// sprites are sorted by `orderInBatch` and then by texture, keeping the order they were added in
/// among sprites of one order and texture (later ones are drawn over earlier ones), and every run
/// of sprites sharing a texture becomes one draw call of a range of the batch's triangle mesh
/// ("DynamicSpriteBatch0") with a material of a sprite shader carrying that texture: "Unlit Sprite
/// Byte Color" for a mesh whose sprites' colours all come back exactly from bytes (n / 255: white,
/// the usual case), "Unlit Sprite" otherwise; both draw the same pixels; runs of the white texture
/// (shapes by default) take "Unlit Shape", which skips the texture and draws a filled circle or
/// ellipse as one quad cut round (see Shape::appendDiscQuad). Indices are 16-bit, so a batch of
/// more than `maxSpritesPerMesh` sprites takes several meshes ("DynamicSpriteBatch1", ...), and a
/// run that crosses from one to the next is split there. Runs of one texture and shader share a
/// material. Sprites without a texture (a failed atlas lookup) are skipped. A builder set
/// withAddedOrder keeps the added order within an order instead of grouping by texture. Things
/// added after withBlendMode blend another way: a change of blending also ends a run, whose
/// material then carries that blending's variant of the shader (Shader::getBatchShader).
///
/// Building writes each sprite's four vertices once (20 bytes each with byte colours, 32 with float
/// colours: see Mesh), straight into a GL vertex buffer borrowed from the renderer's
/// BatchBufferPool (mapped with invalidation, GL_STREAM_DRAW), one buffer and one upload per mesh
/// however many runs it holds; all meshes share one index buffer of quads, a run draws from an
/// offset into it, and no CPU copy is kept. Released meshes give their buffers and vertex arrays
/// back to the pool, so a batch built every frame makes no GL objects after the first frames. Each
/// mesh takes a fresh id when built, so render passes bind it. The meshes are sprite-run meshes
/// (see Mesh): ordinary to read and draw, counted in RenderStats like meshes that own their buffers
/// (meshCount, meshBytes and meshBytesAllocated/Deallocated with 20 or 32 bytes per vertex and 2
/// per index). Drawing a batch counts a draw call per run, and the state changes of binding its
/// meshes and materials.
///
/// Made to be thrown away: build one per frame, draw it through a RenderPass, release it. The batch
/// owns its meshes (their buffers are borrowed as long as the batch lives) and materials; the
/// materials share the textures, which therefore stay alive while the batch lives.
class SpriteBatch {
public:
    /// Four vertices per sprite must fit 16-bit indices.
    static constexpr int maxSpritesPerMesh = 16384;

    /// Collects copies of sprites; build() makes the batch. A builder's storage goes back to a
    /// small per-thread store when it is destroyed and the next builder takes it over, so a
    /// batch built every frame allocates nothing for its sprites once the first frames are done.
    class SpriteBatchBuilder {
    public:
        /// Gives the builder's storage back for the next builder of this thread.
        ~SpriteBatchBuilder();
        /// Builders move and copy as values (a copy gets storage of its own).
        ///@{
        SpriteBatchBuilder(SpriteBatchBuilder&&) noexcept = default;
        SpriteBatchBuilder& operator=(SpriteBatchBuilder&&) noexcept = default;
        SpriteBatchBuilder(const SpriteBatchBuilder&) = default;
        SpriteBatchBuilder& operator=(const SpriteBatchBuilder&) = default;
        ///@}

        /// Appends a copy: placement, flip and colour are taken as they are now.
        SpriteBatchBuilder& addSprite(const Sprite& sprite);
        /// Appends the shape's quads, in its colour and order, sampling the shape texel (see
        /// withShapeTexel). A shape that covers nothing (no size, a polygon of fewer than three
        /// points) is left out.
        SpriteBatchBuilder& addShape(const Shape& shape);
        /// The white area shapes added from now on sample: the centre of `white`'s rectangle,
        /// which must be white (and, for filtered textures, white around it too). A white
        /// rectangle on an atlas page lets shapes join the runs of that page's sprites: a
        /// frame of sprites and shapes of one page is one draw call. By default shapes sample
        /// the engine's white texture (Texture::getWhiteTexture), a run of their own.
        SpriteBatchBuilder& withShapeTexel(const Sprite& white);
        /// Appends one sprite per glyph of the text that shows (see Text::appendSprites), in
        /// its colour, scale and order; glyphs not drawn before are rasterised onto the font's
        /// pages now. The builder shares the font until it is destroyed, so the pages the
        /// sprites point at stay alive until the batch is built (the batch then holds them).
        SpriteBatchBuilder& addText(const Text& text);
        /// Draws sprites, shapes and texts of one `orderInBatch` in the order they were added,
        /// across textures (a later one covers an earlier one), instead of grouping them by
        /// texture. Neighbours of one texture still share a run: a frame of one atlas (or of
        /// shapes on one page's white texel) stays one draw call, while alternating textures
        /// cost a call each. Orders are still sorted first. Off by default: grouping by
        /// texture needs fewer calls when the caller orders its layers itself.
        SpriteBatchBuilder& withAddedOrder(bool keep = true);
        /// How sprites, shapes and texts added from now on are combined with what is under
        /// them: AlphaBlending (the default), AdditiveBlending (light adds up), MultiplyBlending
        /// (darkens by their colour where they cover), PremultipliedAlphaBlending (for
        /// textures and tints whose colours are already multiplied by their alpha), or
        /// Disabled (they replace the pixels). Set once first for the whole batch, or between
        /// adds for runs of their own: a change of blending ends a run, as a change of texture
        /// does. Each blending draws with its own variant of the batch shaders
        /// (Shader::getBatchShader). An unknown value is an error log and changes nothing.
        SpriteBatchBuilder& withBlendMode(BlendType blend);
        /// Makes room for `count` sprites in advance (optional).
        SpriteBatchBuilder& reserve(size_t count);
        /// Sorts the builder's own sprites in place, then builds the batch. Building again
        /// gives a second batch of the same sprites. Needs the renderer.
        std::shared_ptr<SpriteBatch> build();
        /// The sprites added so far (sorted after build()). Each shape stands among them as a
        /// sprite of its texel, in its colour and order.
        const std::vector<Sprite>& getSprites() const { return sprites; }

    private:
        SpriteBatchBuilder();
        friend class SpriteBatch;
        friend class RenderPass;

        std::shared_ptr<Shader> shader;
        std::shared_ptr<Shader> byteColorShader;
        std::shared_ptr<Shader> shapeShader;
        std::vector<Sprite> sprites;
        /// The fonts of the texts added, kept alive for their pages.
        std::vector<std::shared_ptr<Font>> fonts;
        /// Four corners per quad of every shape added.
        std::vector<glm::vec2> shapeCorners;
        Sprite shapeTexel;
        /// The shape texel is the white texture's, whose runs can cut discs.
        bool shapesOnWhite = false;
        /// Within an order, keep the added order rather than grouping by texture.
        bool addedOrder = false;
        /// BlendType of what is added next.
        std::uint8_t blend = static_cast<std::uint8_t>(BlendType::AlphaBlending);
        /// Empties the builder for the next one-item draw; settings stay.
        void clear();
    };

    /// A builder with the sprite shaders and no sprites.
    static SpriteBatchBuilder create();

    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    /// Sprites of one texture drawn with one call: `sprites` quads from quad `firstSprite` of
    /// mesh `mesh`, with material `material` (indices into getMeshes() and getMaterials()).
    struct Run {
        int mesh = 0;         ///< index into getMeshes()
        int material = 0;     ///< index into getMaterials()
        int firstSprite = 0;  ///< first quad of the run in its mesh
        int sprites = 0;      ///< quads in the run, at least one
    };

    /// The runs in drawing order, the meshes holding their vertices (one per
    /// maxSpritesPerMesh sprites, in order) and one material per texture, in order of first use.
    ///@{
    const std::vector<Run>& getRuns() const { return runs; }
    const std::vector<std::shared_ptr<Mesh>>& getMeshes() const { return spriteMeshes; }
    const std::vector<std::shared_ptr<Material>>& getMaterials() const { return materials; }
    ///@}

private:
    SpriteBatch(SpriteBatchBuilder& builder);
    /// Drops the runs and meshes and builds them again from `builder`; materials are kept for
    /// reuse. How a render pass draws one item through one batch (RenderPass::draw of a
    /// sprite, shape or text).
    void refill(SpriteBatchBuilder& builder);
    /// Writes the sprites from `first` on into one mesh, up to maxSpritesPerMesh quads of
    /// those with a texture, adding their runs; returns where it stopped.
    size_t addMesh(BatchBufferPool& pool, Shader& floatColorShader, Shader& byteColorShader,
                   const std::vector<Sprite>& sprites, size_t first);
    /// Quads an entry takes: one for a sprite, a shape's own number for a shape's stand-in.
    static int quadsOf(const Sprite& sprite);
    /// Index of the batch's material for `texture` with `shader` in BlendType `blend`, made on
    /// first use; the white texture's runs take the shape shader instead.
    int materialFor(Shader& shader, Texture& texture, std::uint8_t blend);
    /// Writes the four vertices of each sprite with a texture, in either sprite-run layout.
    template <typename VertexType>
    void writeVertices(VertexType* vertices, const Texture& texture, const Sprite* first,
                       const Sprite* last) const;

    friend class RenderPass;

    std::vector<Run> runs;
    std::vector<std::shared_ptr<Material>> materials;
    std::vector<std::shared_ptr<Mesh>> spriteMeshes;
    /// Texture of each material, for materialFor.
    std::vector<const Texture*> materialTextures;
    /// The builder's shape corners, while the batch is built.
    const glm::vec2* shapeCorners = nullptr;
    /// The white texture and the shader its runs are drawn with, while the batch is built.
    const Texture* whiteTexture = nullptr;
    Shader* shapeShader = nullptr;
};

}  // namespace orka
