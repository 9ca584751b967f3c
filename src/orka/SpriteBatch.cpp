#include "orka/SpriteBatch.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <glm/glm.hpp>
#include <string>

#include "orka/BatchBufferPool.hpp"
#include "orka/Log.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/Renderer.hpp"
#include "orka/RendererResources.hpp"
#include "orka/Shader.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

constexpr int verticesPerSprite = 4;
constexpr float degreesToRadians = 0.017453292f;  // as Sprite::getCorners has it
const char* const meshNamePrefix = "DynamicSpriteBatch";

bool drawsBefore(const Sprite& a, const Sprite& b) {
    if (a.getOrderInBatch() != b.getOrderInBatch()) {
        return a.getOrderInBatch() < b.getOrderInBatch();
    }
    return std::less<const Texture*>()(a.getTexture(), b.getTexture());
}

bool ordersBefore(const Sprite& a, const Sprite& b) {
    return a.getOrderInBatch() < b.getOrderInBatch();
}

// Takes a lambda rather than a function pointer, so the comparison inlines in this hot loop.
template <typename Before>
void sortStably(std::vector<Sprite>& sprites, Before before) {
    if (std::is_sorted(sprites.begin(), sprites.end(), before)) return;
    std::stable_sort(sprites.begin(), sprites.end(), before);
}

}  // namespace

// The two vertex layouts of a sprite-run mesh (see Mesh): a sprite's corner needs only a 2D
// position and texture coordinate. Colours go as normalized bytes when every sprite of the mesh
// has one that bytes hold exactly (white, the usual case), as floats otherwise, so the drawn
// colour is always the sprite's own. Fewer bytes per vertex is less for llvmpipe to fetch.
namespace {

struct ByteColorVertex {
    float position[2];
    float uv[2];
    std::uint8_t color[4];
};
struct FloatColorVertex {
    float position[2];
    float uv[2];
    float color[4];
};
static_assert(sizeof(ByteColorVertex) == Mesh::spriteRunByteColorStride,
              "a byte-colour sprite vertex is the mesh's stride");
static_assert(sizeof(FloatColorVertex) == Mesh::spriteRunFloatColorStride,
              "a float-colour sprite vertex is the mesh's stride");

constexpr float byteScale = 255.0f;

std::uint8_t toByte(float component) {
    return static_cast<std::uint8_t>(std::lround(component * byteScale));
}

// True when bytes give the colour back exactly, as the shader reads them (byte / 255).
bool bytesHoldExactly(const glm::vec4& color) {
    for (int i = 0; i < 4; i++) {
        if (!(color[i] >= 0.0f && color[i] <= 1.0f)) return false;
        if (static_cast<float>(toByte(color[i])) / byteScale != color[i]) return false;
    }
    return true;
}

// The colour as a vertex of either layout stores it.
struct VertexColor {
    explicit VertexColor(const glm::vec4& color)
        : floats(color),
          bytes{toByte(color.r), toByte(color.g), toByte(color.b), toByte(color.a)} {}
    glm::vec4 floats;
    std::uint8_t bytes[4];
};

void setVertex(ByteColorVertex& vertex, float x, float y, float u, float v,
               const VertexColor& color) {
    vertex.position[0] = x;
    vertex.position[1] = y;
    vertex.uv[0] = u;
    vertex.uv[1] = v;
    std::memcpy(vertex.color, color.bytes, sizeof(vertex.color));
}

void setVertex(FloatColorVertex& vertex, float x, float y, float u, float v,
               const VertexColor& color) {
    vertex = {{x, y}, {u, v}, {color.floats.r, color.floats.g, color.floats.b, color.floats.a}};
}

}  // namespace

namespace {

// The storage of finished builders. Batches built every frame are the common case, and
// allocating their lists anew each time costs page faults as large blocks come and go.
struct SpareStorage {
    std::vector<Sprite> sprites;
    std::vector<glm::vec2> shapeCorners;
};
constexpr size_t maxSpareStorage = 4;
struct SpareStore {
    std::vector<SpareStorage> storage;
    // A builder that outlives its thread's store (a static one) must not refill it.
    static thread_local bool gone;
    ~SpareStore() { gone = true; }
};
thread_local bool SpareStore::gone = false;
thread_local SpareStore spareStore;

}  // namespace

int SpriteBatch::quadsOf(const Sprite& sprite) {
    return sprite.shapeQuads == 0 ? 1 : static_cast<int>(sprite.shapeQuads);
}

SpriteBatch::SpriteBatchBuilder::SpriteBatchBuilder()
    : shader(Shader::getUnlitSprite()),
      byteColorShader(Shader::getUnlitSpriteByteColor()),
      shapeShader(Shader::getUnlitShape()) {
    if (SpareStore::gone || spareStore.storage.empty()) return;
    sprites = std::move(spareStore.storage.back().sprites);
    shapeCorners = std::move(spareStore.storage.back().shapeCorners);
    spareStore.storage.pop_back();
}

SpriteBatch::SpriteBatchBuilder::~SpriteBatchBuilder() {
    if (sprites.capacity() == 0 && shapeCorners.capacity() == 0) return;  // moved from
    if (SpareStore::gone || spareStore.storage.size() >= maxSpareStorage) return;
    sprites.clear();
    shapeCorners.clear();
    spareStore.storage.push_back({std::move(sprites), std::move(shapeCorners)});
}

SpriteBatch::SpriteBatchBuilder SpriteBatch::create() {
    return SpriteBatchBuilder();
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::addSprite(const Sprite& sprite) {
    sprites.push_back(sprite);
    // A shape's stand-in taken from another builder's list has no corners here.
    sprites.back().shapeQuads = 0;
    sprites.back().roundShape = false;
    sprites.back().smoothShape = false;
    sprites.back().blend = blend;
    return *this;
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::addShape(const Shape& shape) {
    if (shapeTexel.getTexture() == nullptr) {
        const std::shared_ptr<Texture> white = Texture::getWhiteTexture();
        if (white == nullptr) return *this;  // no renderer: reported by the texture
        shapeTexel = Sprite(*white);
        shapesOnWhite = true;
    }
    const size_t first = shapeCorners.size();
    // Only the shape shader cuts discs, and it draws the white texture's runs alone.
    // A page's texel goes through the sprite shader, which cannot smooth edges.
    const bool round = shapesOnWhite && shape.appendDiscQuad(shapeCorners) != 0;
    const bool smooth = shapesOnWhite && !round;
    int quads = 1;
    if (!round)
        quads = smooth ? shape.appendSmoothQuads(shapeCorners) : shape.appendQuads(shapeCorners);
    if (quads == 0) return *this;
    Sprite standIn = shapeTexel;
    standIn.roundShape = round;
    standIn.smoothShape = smooth;
    standIn.setColor(shape.getColor());
    standIn.setOrderInBatch(shape.getOrderInBatch());
    standIn.shapeQuads = static_cast<std::uint32_t>(quads);
    standIn.firstShapeCorner = static_cast<std::uint32_t>(first);
    standIn.blend = blend;
    sprites.push_back(standIn);
    return *this;
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::addText(const Text& text) {
    if (text.getFont() == nullptr) return *this;
    // Texts mostly share a font or two: the list stays short.
    if (std::find(fonts.begin(), fonts.end(), text.getFont()) == fonts.end()) {
        fonts.push_back(text.getFont());
    }
    const size_t first = sprites.size();
    text.appendSprites(sprites);
    for (size_t i = first; i < sprites.size(); i++) sprites[i].blend = blend;
    return *this;
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::withShapeTexel(
    const Sprite& white) {
    shapeTexel = white;
    shapeTexel.shapeQuads = 0;
    shapeTexel.roundShape = false;
    shapeTexel.smoothShape = false;
    shapesOnWhite =
        white.getTexture() != nullptr && white.getTexture() == Texture::getWhiteTexture().get();
    return *this;
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::withAddedOrder(bool keep) {
    addedOrder = keep;
    return *this;
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::withBlendMode(BlendType mode) {
    const int value = static_cast<int>(mode);
    if (value < static_cast<int>(BlendType::Disabled) ||
        value > static_cast<int>(BlendType::PremultipliedAlphaBlending)) {
        ORKA_LOG_ERROR("Unknown blend mode %i for a sprite batch; it keeps blending as before",
                       value);
        return *this;
    }
    blend = static_cast<std::uint8_t>(value);
    return *this;
}

void SpriteBatch::SpriteBatchBuilder::clear() {
    sprites.clear();
    shapeCorners.clear();
    fonts.clear();
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::reserve(size_t count) {
    sprites.reserve(count);
    return *this;
}

std::shared_ptr<SpriteBatch> SpriteBatch::SpriteBatchBuilder::build() {
    if (shader == nullptr || byteColorShader == nullptr || shapeShader == nullptr) {
        ORKA_LOG_ERROR("Cannot build a sprite batch: the sprite shader is missing");
        return {};
    }
    return std::shared_ptr<SpriteBatch>(new SpriteBatch(*this));
}

SpriteBatch::SpriteBatch(SpriteBatchBuilder& builder) {
    refill(builder);
}

void SpriteBatch::refill(SpriteBatchBuilder& builder) {
    runs.clear();
    spriteMeshes.clear();
    shapeCorners = builder.shapeCorners.data();
    whiteTexture = Texture::getWhiteTexture().get();
    shapeShader = builder.shapeShader.get();
    std::vector<Sprite>& sprites = builder.sprites;
    Shader& shader = *builder.shader;
    Shader& byteColorShader = *builder.byteColorShader;
    // Lower orders first; within an order, sprites of one texture side by side so runs are long.
    // Stable: sprites of one order and texture overlap in the order they were added. Sprites
    // usually arrive in order already (one atlas, one order): checking is cheaper.
    // In added order only the orders are sorted; runs then form from neighbours alone.
    if (builder.addedOrder) {
        sortStably(sprites, [](const Sprite& a, const Sprite& b) { return ordersBefore(a, b); });
    } else {
        sortStably(sprites, [](const Sprite& a, const Sprite& b) { return drawsBefore(a, b); });
    }
    Renderer* renderer = Renderer::instance;
    if (renderer == nullptr) return;  // the shader could not have been made either
    std::shared_ptr<BatchBufferPool>& pool = resourcesOf(*renderer).builtIns.batchBuffers;
    if (pool == nullptr) pool = std::make_shared<BatchBufferPool>();

    // Sprites without a texture (their texture coordinates need its size) are skipped.
    size_t next = 0;
    while (next < sprites.size()) next = addMesh(*pool, shader, byteColorShader, sprites, next);
    shapeCorners = nullptr;
    whiteTexture = nullptr;
    shapeShader = nullptr;
}

size_t SpriteBatch::addMesh(BatchBufferPool& pool, Shader& floatColorShader,
                            Shader& byteColorShader, const std::vector<Sprite>& sprites,
                            size_t first) {
    size_t end = first;
    int count = 0;
    bool byteColors = true;
    // Sprites mostly share a colour: only a change of colour is checked.
    const glm::vec4* checkedColor = nullptr;
    while (end < sprites.size()) {
        const Sprite& sprite = sprites[end];
        if (sprite.getTexture() == nullptr) {
            ++end;
            continue;
        }
        // A shape stays whole in one mesh (shapes have far fewer quads than a mesh holds).
        if (count + quadsOf(sprite) > maxSpritesPerMesh) break;
        ++end;
        count += quadsOf(sprite);
        if (!byteColors || (checkedColor != nullptr && sprite.color == *checkedColor)) continue;
        byteColors = bytesHoldExactly(sprite.color);
        checkedColor = &sprite.color;
    }
    if (count == 0) return end;
    const size_t stride = byteColors ? sizeof(ByteColorVertex) : sizeof(FloatColorVertex);
    Shader& shader = byteColors ? byteColorShader : floatColorShader;
    const auto bytes = static_cast<GLsizeiptr>(count) * verticesPerSprite * stride;
    const BatchBufferPool::Buffers buffers = pool.acquire(bytes);
    // The whole buffer is invalidated: a frame still drawing from it keeps its old storage.
    void* vertices = glMapBufferRange(GL_ARRAY_BUFFER, 0, bytes,
                                      GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
    if (vertices == nullptr) {
        ORKA_LOG_ERROR("Cannot map a sprite batch vertex buffer (GL error %u)", glGetError());
        pool.release(buffers);
        return end;
    }
    const int mesh = static_cast<int>(spriteMeshes.size());
    int written = 0;
    // A run is the sprites of one texture; sprites without one do not end it.
    size_t next = first;
    while (next < end) {
        Texture* texture = sprites[next].getTexture();
        if (texture == nullptr) {
            ++next;
            continue;
        }
        const std::uint8_t blend = sprites[next].blend;
        size_t runEnd = next;
        int runCount = 0;
        for (; runEnd < end; ++runEnd) {
            const Texture* own = sprites[runEnd].getTexture();
            if (own == texture && sprites[runEnd].blend == blend) {
                runCount += quadsOf(sprites[runEnd]);
            } else if (own != nullptr) {
                break;
            }
        }
        const size_t offset = static_cast<size_t>(written) * verticesPerSprite;
        if (byteColors) {
            writeVertices(static_cast<ByteColorVertex*>(vertices) + offset, *texture,
                          &sprites[next], &sprites[0] + runEnd);
        } else {
            writeVertices(static_cast<FloatColorVertex*>(vertices) + offset, *texture,
                          &sprites[next], &sprites[0] + runEnd);
        }
        runs.push_back({mesh, materialFor(shader, *texture, blend), written, runCount});
        written += runCount;
        next = runEnd;
    }
    glUnmapBuffer(GL_ARRAY_BUFFER);
    const std::string name = meshNamePrefix + std::to_string(mesh);
    spriteMeshes.push_back(std::shared_ptr<Mesh>(new Mesh(name, buffers, count, byteColors)));
    return end;
}

int SpriteBatch::materialFor(Shader& spriteShader, Texture& texture, std::uint8_t blend) {
    Shader* shader = &texture == whiteTexture ? shapeShader : &spriteShader;
    if (blend != static_cast<std::uint8_t>(BlendType::AlphaBlending)) {
        // Variants are kept by the renderer; the batch's materials hold them.
        const std::shared_ptr<Shader> variant =
            Shader::getBatchShader(shader->shared_from_this(), static_cast<BlendType>(blend));
        if (variant != nullptr) shader = variant.get();
    }
    // Batches hold few textures: a scan from the latest beats hashing.
    for (size_t i = materialTextures.size(); i-- > 0;) {
        if (materialTextures[i] == &texture && materials[i]->getShader().get() == shader) {
            return static_cast<int>(i);
        }
    }
    std::shared_ptr<Material> material = shader->createMaterial();
    material->setTexture(texture.shared_from_this());
    materials.push_back(std::move(material));
    materialTextures.push_back(&texture);
    return static_cast<int>(materials.size()) - 1;
}

template <typename VertexType>
void SpriteBatch::writeVertices(VertexType* vertices, const Texture& texture, const Sprite* first,
                                const Sprite* last) const {
    // Corners lower right, upper right, upper left, lower left, as Sprite::getCorners and
    // getUVs give them; written out here, as this runs for every sprite of every frame.
    const float texelWidth = 1.0f / static_cast<float>(texture.getWidth());
    const float texelHeight = 1.0f / static_cast<float>(texture.getHeight());
    // Converted when it changes, which is seldom.
    VertexColor color(first->color);
    for (const Sprite* sprite = first; sprite != last; ++sprite) {
        if (sprite->texture == nullptr) continue;
        if (sprite->color != color.floats) color = VertexColor(sprite->color);
        if (sprite->shapeQuads != 0) {
            // Every corner samples the middle of the shape's white texel area.
            const float u = (static_cast<float>(sprite->spritePos.x) +
                             0.5f * static_cast<float>(sprite->spriteSize.x)) *
                            texelWidth;
            const float v = (static_cast<float>(sprite->spritePos.y) +
                             0.5f * static_cast<float>(sprite->spriteSize.y)) *
                            texelHeight;
            const glm::vec2* corner = shapeCorners + sprite->firstShapeCorner;
            if (sprite->roundShape) {
                // The disc's box about (3, 3), radius 1, as the shape shader reads it.
                const glm::vec2 low = 3.0f - corner[4];
                const glm::vec2 high = 3.0f + corner[4];
                setVertex(vertices[0], corner[0].x, corner[0].y, low.x, low.y, color);
                setVertex(vertices[1], corner[1].x, corner[1].y, high.x, low.y, color);
                setVertex(vertices[2], corner[2].x, corner[2].y, high.x, high.y, color);
                setVertex(vertices[3], corner[3].x, corner[3].y, low.x, high.y, color);
                vertices += verticesPerSprite;
                continue;
            }
            const size_t cornerCount = sprite->shapeQuads * verticesPerSprite;
            if (sprite->smoothShape) {
                for (size_t i = 0; i < cornerCount; i++, corner += 2) {
                    setVertex(vertices[i], corner[0].x, corner[0].y, corner[1].x, corner[1].y,
                              color);
                }
                vertices += cornerCount;
                continue;
            }
            for (size_t i = 0; i < cornerCount; i++, corner++) {
                setVertex(vertices[i], corner->x, corner->y, u, v, color);
            }
            vertices += cornerCount;
            continue;
        }
        const glm::vec2 size(sprite->spriteSize);
        const glm::vec2 anchor = sprite->spriteAnchor * size;
        const glm::vec2& scale = sprite->scale;
        const float left = -anchor.x * scale.x;
        const float right = (size.x - anchor.x) * scale.x;
        const float bottom = -anchor.y * scale.y;
        const float top = (size.y - anchor.y) * scale.y;
        float uLeft = static_cast<float>(sprite->spritePos.x) * texelWidth;
        float uRight = static_cast<float>(sprite->spritePos.x + sprite->spriteSize.x) * texelWidth;
        float vBottom = static_cast<float>(sprite->spritePos.y) * texelHeight;
        float vTop = static_cast<float>(sprite->spritePos.y + sprite->spriteSize.y) * texelHeight;
        if (sprite->flip.x) std::swap(uLeft, uRight);
        if (sprite->flip.y) std::swap(vBottom, vTop);
        const glm::vec2& at = sprite->position;
        if (sprite->rotation == 0.0f) {
            setVertex(vertices[0], at.x + right, at.y + bottom, uRight, vBottom, color);
            setVertex(vertices[1], at.x + right, at.y + top, uRight, vTop, color);
            setVertex(vertices[2], at.x + left, at.y + top, uLeft, vTop, color);
            setVertex(vertices[3], at.x + left, at.y + bottom, uLeft, vBottom, color);
        } else {
            const float radians = sprite->rotation * degreesToRadians;
            const float c = std::cos(radians);
            const float s = std::sin(radians);
            auto place = [&](VertexType& vertex, float x, float y, float u, float v) {
                setVertex(vertex, at.x + c * x - s * y, at.y + s * x + c * y, u, v, color);
            };
            place(vertices[0], right, bottom, uRight, vBottom);
            place(vertices[1], right, top, uRight, vTop);
            place(vertices[2], left, top, uLeft, vTop);
            place(vertices[3], left, bottom, uLeft, vBottom);
        }
        vertices += verticesPerSprite;
    }
}

}  // namespace orka
