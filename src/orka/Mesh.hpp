#pragma once

#include <array>
#include <cstdint>
#include <glm/glm.hpp>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orka {

class RenderPass;
class Shader;
class SpriteBatch;
struct RenderStats;
namespace primitives {
struct Geometry;
}
struct BatchBuffers;
struct GpuTestAccess;

/// Primitive mode of an index set; the values are OpenGL's, passed unchanged to the draw calls.
enum class MeshTopology : int {
    Points = 0,
    Lines = 1,
    LineLoop = 2,
    LineStrip = 3,
    Triangles = 4,
    TriangleStrip = 5,
    TriangleFan = 6
};

/// Geometry: named per-vertex attributes of five element types (float, vec2, vec3, vec4, ivec4)
/// kept on the CPU and in one interleaved GL vertex buffer, plus index sets of 16-bit indices,
/// each with its own topology. Made and changed only through MeshBuilder; always owned by a
/// std::shared_ptr. Conventional names: "position", "normal" (vec3), "uv", "color" (vec4),
/// "particleSize" (float).
///
/// Layout: attributes take 16-byte slots (vec3, vec4, ivec4; a vec3's fourth float is zero),
/// 8 bytes (vec2) or 4 bytes (float), in store order vec3, vec4, ivec4, vec2, float and by name
/// within a store; the stride is rounded up to a multiple of 16 bytes.
///
/// Sprite batches make a second kind, the sprite-run mesh: its vertices were written straight
/// into a vertex buffer borrowed from the renderer's BatchBufferPool, in a compact layout of
/// their own: "position" (2 floats) at 0, "uv" (2 floats) at 8 and "color" at 16, as 4
/// normalized unsigned bytes (stride spriteRunByteColorStride) or 4 floats (stride
/// spriteRunFloatColorStride). Its getters give the conventional types all the same (vec3
/// positions with z = 0, vec4 uvs with z = w = 0, vec4 colours); getType() gives the stored
/// ones. Its one index set (quads, Triangles) is the pool's shared quad index buffer,
/// and it keeps no CPU copy until one is asked for: the getters read the data back from the GPU
/// then. It counts in RenderStats as if it owned its buffers: meshCount while it lives,
/// getDataSize() = its vertex bytes plus 2 bytes per index, allocated when built and
/// deallocated when released; the pool's idle buffers and the shared index buffer are not
/// counted. Releasing it gives its buffers back to the pool; update() turns it into an ordinary
/// mesh with buffers of its own.
class Mesh : public std::enable_shared_from_this<Mesh> {
    template <typename T>
    using Store = std::map<std::string, std::vector<T>>;

    /// The five CPU attribute stores.
    struct AttributeStores {
        Store<float> attributesFloat;
        Store<glm::vec2> attributesVec2;
        Store<glm::vec3> attributesVec3;
        Store<glm::vec4> attributesVec4;
        Store<glm::ivec4> attributesIVec4;
    };

public:
    /// Bytes per vertex of a sprite-run mesh whose colours are normalized bytes.
    static constexpr int spriteRunByteColorStride = 20;
    /// Bytes per vertex of a sprite-run mesh whose colours are floats.
    static constexpr int spriteRunFloatColorStride = 32;

    /// Where an attribute sits in an interleaved vertex: byte offset, component count, GL
    /// component type and GLSL type.
    struct Attribute {
        std::int32_t offset = 0;        ///< bytes from the start of the vertex
        std::int32_t elementCount = 0;  ///< components: 1 to 4
        /// GL_FLOAT, GL_INT or GL_UNSIGNED_BYTE (normalized: a sprite-run mesh's colours)
        std::int32_t dataType = 0;
        std::int32_t attributeType = 0;  ///< GL_FLOAT, GL_FLOAT_VEC2, ..., GL_INT_VEC4
    };

    /// Collects attributes and index sets; `build()` makes a new mesh or, for a builder from
    /// Mesh::update(), re-uploads that mesh in place. Starts with topology Triangles for index
    /// set 0 (also the topology of non-indexed drawing) and no name ("Unnamed Mesh").
    class MeshBuilder {
    public:
        /// The conventional attributes: withAttribute under "position" (model units),
        /// "normal", "uv", "color" (RGBA) and "particleSize" (pixels on a 600-pixel-high
        /// viewport, divided by the eye distance under a perspective projection).
        ///@{
        MeshBuilder& withPositions(std::vector<glm::vec3> values);
        MeshBuilder& withNormals(std::vector<glm::vec3> values);
        MeshBuilder& withUVs(std::vector<glm::vec4> values);
        MeshBuilder& withColors(std::vector<glm::vec4> values);
        MeshBuilder& withParticleSizes(std::vector<float> values);
        ///@}
        /// Stores the values under `name`, replacing what was there (taken over without a copy
        /// when passed with std::move). An update builder refuses names its mesh does not have
        /// with this element type (error log, nothing changes).
        ///@{
        MeshBuilder& withAttribute(std::string name, std::vector<float> values);
        MeshBuilder& withAttribute(std::string name, std::vector<glm::vec2> values);
        MeshBuilder& withAttribute(std::string name, std::vector<glm::vec3> values);
        MeshBuilder& withAttribute(std::string name, std::vector<glm::vec4> values);
        MeshBuilder& withAttribute(std::string name, std::vector<glm::ivec4> values);
        ///@}
        /// Sets index set `indexSet`; missing sets before it are added empty with topology 0.
        MeshBuilder& withIndices(std::vector<uint16_t> indices,
                                 MeshTopology topology = MeshTopology::Triangles, int indexSet = 0);
        /// The topology of index set 0, and of drawing without index sets.
        MeshBuilder& withMeshTopology(MeshTopology topology);
        /// The name log messages give it.
        MeshBuilder& withName(const std::string& name);

        /// Primitives (positions, normals, uvs; a name unless one is set). Lengths are half
        /// edges and radii in model units. Sphere and torus grids take 1 to 255 segments each;
        /// other counts are an error log and leave the builder unchanged.
        ///@{
        MeshBuilder& withCube(float length = 1.0f);
        MeshBuilder& withQuad(float size = 1.0f);
        MeshBuilder& withSphere(int stacks = 16, int slices = 32, float radius = 1.0f);
        MeshBuilder& withTorus(int ringSegments = 24, int tubeSegments = 24,
                               float ringRadius = 1.0f, float tubeRadius = 0.5f);
        ///@}

        /// The new or updated mesh. The attribute data moves into the mesh, so the builder's
        /// attribute stores are empty afterwards. Needs the renderer (fatal log otherwise).
        std::shared_ptr<Mesh> build();

    private:
        MeshBuilder() = default;
        MeshBuilder& withGeometry(const primitives::Geometry& geometry);
        template <typename T>
        MeshBuilder& withStoreAttribute(Store<T>& store, std::string name, std::vector<T> values);

        friend class Mesh;

        AttributeStores stores;
        std::vector<MeshTopology> topologies{MeshTopology::Triangles};
        std::vector<std::vector<uint16_t>> indices;
        Mesh* updateMesh = nullptr;
        std::string name;
    };

    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    /// A builder for a new mesh.
    static MeshBuilder create();
    /// A builder holding copies of this mesh's data (not its name); its build() rebuilds this
    /// mesh in place. The mesh must outlive the builder's build().
    MeshBuilder update();

    /// Copies of the conventional attributes; empty when the mesh lacks one. A sprite-run
    /// mesh reads its data back from the GPU at the first call.
    ///@{
    std::vector<glm::vec3> getPositions() const;
    std::vector<glm::vec3> getNormals() const;
    std::vector<glm::vec4> getUVs() const;
    std::vector<glm::vec4> getColors() const;
    std::vector<float> getParticleSizes() const;
    ///@}
    /// Names of every attribute, ascending.
    std::vector<std::string> getAttributeNames() const;
    /// (GL component type, component count) of an attribute, or (-1, -1) when it is missing.
    std::pair<int, int> getType(const std::string& name) const;
    /// Vertices in the vertex buffer (the length of each attribute).
    int getVertexCount() const { return vertexCount; }
    /// Bytes on the GPU: vertex buffer plus index buffers.
    int getDataSize() const { return dataSize; }
    /// The builder's name, the primitive's, or "Unnamed Mesh".
    const std::string& getName() const { return name; }
    /// Component-wise minimum and maximum of "position"; +/- the largest float without it.
    std::array<glm::vec3, 2> getBoundsMinMax() const;
    /// Number of index sets; 0 for a mesh drawn without indices.
    int getIndexSets() const { return static_cast<int>(indexCounts.size()); }
    /// Throws std::out_of_range for an index set that does not exist.
    const std::vector<uint16_t>& getIndices(int indexSet) const;
    /// Indices in the set; throws std::out_of_range for a set that does not exist.
    int getIndicesSize(int indexSet) const;
    /// The caller passes an existing index set.
    MeshTopology getMeshTopology(int indexSet) const {
        return topologies[static_cast<std::size_t>(indexSet)];
    }

private:
    Mesh(AttributeStores& stores, const std::vector<std::vector<uint16_t>>& indices,
         std::vector<MeshTopology> topologies, std::string name, RenderStats& stats);
    /// A sprite-run mesh of `quads` sprites whose vertices are in `buffers` (see above), with
    /// colours as bytes or as floats.
    Mesh(std::string name, const BatchBuffers& buffers, int quads, bool byteColors);
    /// Fills the CPU stores, index set and bounds of a sprite-run mesh from the GPU, once.
    void loadCpuCopy() const;
    /// Gives a sprite-run mesh's borrowed buffers back (or deletes them without a pool).
    void returnBuffers();
    void update(AttributeStores& stores, const std::vector<std::vector<uint16_t>>& indices,
                std::vector<MeshTopology> topologies, std::string name, RenderStats& stats);
    void assignLayout();
    /// The vertex buffer's contents, in a scratch buffer shared by all meshes (main thread
    /// only) that stays valid until the next call.
    const std::vector<char>& interleave() const;
    void uploadIndices(const std::vector<std::vector<uint16_t>>& newIndices);
    void updateBounds() const;
    void deleteVertexArrayObjects();

    /// Binds this mesh's vertex array object for `shader`, creating it on first use. A set-up
    /// that throws leaves nothing behind.
    void bind(Shader* shader);
    /// Deletes the vertex array object made for the shader of this serial, if any.
    void forgetShader(std::uint64_t shaderSerial);
    /// Binds the element buffer of an index set (none for a mesh without index sets).
    void bindIndexSet(int indexSet);
    void setVertexAttributePointers(Shader* shader);

    friend class RenderPass;
    friend class Shader;
    friend class SpriteBatch;
    friend struct GpuTestAccess;

    int totalBytesPerVertex = 0;
    /// Unique among all meshes and uploads of a run: 64 bits never wrap.
    std::int64_t meshId = 0;
    std::vector<MeshTopology> topologies;
    unsigned int vertexBufferId = 0;  // GLuint, as are the names below
    /// Vertex array objects by Shader serial.
    std::map<std::uint64_t, unsigned int> shaderToVertexArrayObject;
    std::vector<unsigned int> elementBufferIds;
    int vertexCount = 0;
    int dataSize = 0;
    std::string name;
    std::map<std::string, Attribute> attributeByName;
    // Filled lazily from the GPU for a sprite-run mesh, hence mutable.
    mutable AttributeStores stores;
    mutable std::vector<std::vector<uint16_t>> indices;
    mutable std::array<glm::vec3, 2> boundsMinMax;
    /// The length of each index set.
    std::vector<int> indexCounts;
    /// Set while a sprite-run mesh's stores, indices and bounds are only on the GPU.
    mutable bool cpuCopyPending = false;
    /// A sprite-run mesh's borrowed buffers (vertexBuffer is vertexBufferId); vertexBuffer 0
    /// for an ordinary mesh. The vertex array serves the shader of serial arrayShader.
    std::unique_ptr<BatchBuffers> borrowed;  // never null
    /// Renderer::getSerial() of the renderer whose context holds the GL objects.
    std::uint64_t rendererSerial = 0;

    static std::int64_t meshIdCount;
};

}  // namespace orka
