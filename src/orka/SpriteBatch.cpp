#include "orka/SpriteBatch.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <glm/glm.hpp>
#include <string>

#include "orka/Log.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/Shader.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

constexpr int verticesPerSprite = 4;
constexpr int indicesPerSprite = 6;
const char* const meshNamePrefix = "DynamicSpriteBatch";
const char* const colorAttribute = "color";

// The vertex data of the mesh being filled; the mesh takes it over when it is built.
struct VertexLists {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec4> uvs;
    std::vector<glm::vec4> colors;
    std::vector<uint16_t> indices;

    void reserve(size_t sprites) {
        positions.reserve(sprites * verticesPerSprite);
        uvs.reserve(sprites * verticesPerSprite);
        colors.reserve(sprites * verticesPerSprite);
        indices.reserve(sprites * indicesPerSprite);
    }
    size_t spriteCount() const { return positions.size() / verticesPerSprite; }

    // Two triangles (b, b+1, b+2) and (b, b+2, b+3) over the corners lower right, upper right,
    // upper left, lower left.
    void append(const Sprite& sprite) {
        const auto base = static_cast<uint16_t>(positions.size());
        const uint16_t quad[indicesPerSprite] = {0, 1, 2, 0, 2, 3};
        for (uint16_t offset : quad) indices.push_back(static_cast<uint16_t>(base + offset));
        const std::array<glm::vec2, 4> corners = sprite.getCorners();
        const std::array<glm::vec2, 4> uv = sprite.getUVs();
        for (int i = 0; i < verticesPerSprite; i++) {
            positions.emplace_back(corners[i], 0.0f);
            uvs.emplace_back(uv[i], 0.0f, 0.0f);
            colors.push_back(sprite.getColor());
        }
    }
};

bool drawsBefore(const Sprite& a, const Sprite& b) {
    if (a.getOrderInBatch() != b.getOrderInBatch()) {
        return a.getOrderInBatch() < b.getOrderInBatch();
    }
    return std::less<const Texture*>()(a.getTexture(), b.getTexture());
}

}  // namespace

SpriteBatch::SpriteBatchBuilder::SpriteBatchBuilder() : shader(Shader::getUnlitSprite()) {}

SpriteBatch::SpriteBatchBuilder SpriteBatch::create() {
    return SpriteBatchBuilder();
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::addSprite(const Sprite& sprite) {
    sprites.push_back(sprite);
    return *this;
}

SpriteBatch::SpriteBatchBuilder& SpriteBatch::SpriteBatchBuilder::reserve(size_t count) {
    sprites.reserve(count);
    return *this;
}

std::shared_ptr<SpriteBatch> SpriteBatch::SpriteBatchBuilder::build() {
    if (shader == nullptr) {
        ORKA_LOG_ERROR("Cannot build a sprite batch: the sprite shader is missing");
        return {};
    }
    return std::shared_ptr<SpriteBatch>(new SpriteBatch(shader, sprites));
}

SpriteBatch::SpriteBatch(const std::shared_ptr<Shader>& shader, std::vector<Sprite>& sprites) {
    // Lower orders first; within an order, sprites of one texture side by side so runs are long.
    // Sprites usually arrive in order already (one atlas, one order): checking is cheaper.
    if (!std::is_sorted(sprites.begin(), sprites.end(), drawsBefore)) {
        std::sort(sprites.begin(), sprites.end(), drawsBefore);
    }

    // Each mesh's lists are reserved once, for its own run (at most a mesh's worth), and
    // handed over to the mesh without a copy: room for more would stay allocated with it.
    VertexLists lists;
    Texture* current = nullptr;
    size_t next = 0;  // the sprite being added
    const auto reserveLists = [&](VertexLists& lists) {
        size_t end = next;
        const Texture* texture = nullptr;
        while (end < sprites.size() && end - next < static_cast<size_t>(maxSpritesPerMesh)) {
            const Texture* own = sprites[end].getTexture();
            if (own != nullptr && texture != nullptr && own != texture) break;
            if (own != nullptr) texture = own;
            ++end;
        }
        lists.reserve(end - next);
    };
    auto flush = [&]() {
        const std::string name = meshNamePrefix + std::to_string(spriteMeshes.size());
        spriteMeshes.push_back(
            Mesh::create()
                .withName(name)
                .withPositions(std::move(lists.positions))
                .withUVs(std::move(lists.uvs))
                .withIndices(std::move(lists.indices), MeshTopology::Triangles, 0)
                .withAttribute(colorAttribute, std::move(lists.colors))
                .build());
        std::shared_ptr<Material> material = shader->createMaterial();
        material->setTexture(current->shared_from_this());
        materials.push_back(std::move(material));
        lists = VertexLists();
    };

    for (; next < sprites.size(); ++next) {
        const Sprite& sprite = sprites[next];
        // Texture coordinates need the texture's size; a sprite without one cannot be drawn.
        if (sprite.getTexture() == nullptr) continue;
        const bool newRun = current != nullptr && sprite.getTexture() != current;
        const bool meshFull = lists.spriteCount() == static_cast<size_t>(maxSpritesPerMesh);
        if (newRun || meshFull) flush();
        if (lists.positions.capacity() == 0) reserveLists(lists);
        current = sprite.getTexture();
        lists.append(sprite);
    }
    if (!lists.positions.empty()) flush();
}

}  // namespace orka
