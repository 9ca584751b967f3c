#include "orka/Mesh.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "orka/BatchBufferPool.hpp"
#include "orka/Log.hpp"
#include "orka/MeshPrimitives.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/RendererResources.hpp"
#include "orka/Shader.hpp"

namespace orka {

namespace {

constexpr int vertexAlignment = 16;
constexpr int bytesPerIndex = sizeof(uint16_t);
constexpr int spriteRunVerticesPerQuad = 4;
constexpr int spriteRunIndicesPerQuad = 6;
constexpr float largestFloat = std::numeric_limits<float>::max();

/// How one element type sits in the vertex buffer.
template <typename T>
struct AttributeTraits;

template <>
struct AttributeTraits<float> {
    static constexpr GLenum dataType = GL_FLOAT;
    static constexpr int elementCount = 1;
    static constexpr GLenum attributeType = GL_FLOAT;
    static constexpr int slotBytes = 4;
    static constexpr const char* name = "float";
};

template <>
struct AttributeTraits<glm::vec2> {
    static constexpr GLenum dataType = GL_FLOAT;
    static constexpr int elementCount = 2;
    static constexpr GLenum attributeType = GL_FLOAT_VEC2;
    static constexpr int slotBytes = 8;
    static constexpr const char* name = "vec2";
};

template <>
struct AttributeTraits<glm::vec3> {
    static constexpr GLenum dataType = GL_FLOAT;
    static constexpr int elementCount = 3;
    static constexpr GLenum attributeType = GL_FLOAT_VEC3;
    static constexpr int slotBytes = 16;
    static constexpr const char* name = "vec3";
};

template <>
struct AttributeTraits<glm::vec4> {
    static constexpr GLenum dataType = GL_FLOAT;
    static constexpr int elementCount = 4;
    static constexpr GLenum attributeType = GL_FLOAT_VEC4;
    static constexpr int slotBytes = 16;
    static constexpr const char* name = "vec4";
};

template <>
struct AttributeTraits<glm::ivec4> {
    static constexpr GLenum dataType = GL_INT;
    static constexpr int elementCount = 4;
    static constexpr GLenum attributeType = GL_INT_VEC4;
    static constexpr int slotBytes = 16;
    static constexpr const char* name = "ivec4";
};

template <typename T>
std::vector<T> copyOf(const std::map<std::string, std::vector<T>>& store, const std::string& name) {
    const auto found = store.find(name);
    return found == store.end() ? std::vector<T>{} : found->second;
}

bool isFloatVector(int glType) {
    return glType >= GL_FLOAT_VEC2 && glType <= GL_FLOAT_VEC4;
}

bool isIntVector(int glType) {
    return glType >= GL_INT_VEC2 && glType <= GL_INT_VEC4;
}

bool isIntegerType(int glType) {
    return glType == GL_INT || isIntVector(glType);
}

// A shader input takes a mesh attribute of its own type or, for vectors, of fewer components.
bool canFeed(int shaderType, const Mesh::Attribute& attribute) {
    if (shaderType == attribute.attributeType) return true;
    return (isFloatVector(shaderType) || isIntVector(shaderType)) &&
           shaderType >= attribute.attributeType;
}

// An input the mesh cannot feed reads a constant zero instead.
void setZeroAttribute(GLuint location, int shaderType) {
    static const GLfloat zeroFloats[4] = {};
    static const GLint zeroInts[4] = {};
    switch (shaderType) {
        case GL_FLOAT:
            glVertexAttrib1fv(location, zeroFloats);
            break;
        case GL_FLOAT_VEC2:
            glVertexAttrib2fv(location, zeroFloats);
            break;
        case GL_FLOAT_VEC3:
            glVertexAttrib3fv(location, zeroFloats);
            break;
        case GL_FLOAT_VEC4:
            glVertexAttrib4fv(location, zeroFloats);
            break;
        case GL_INT:
            glVertexAttribI1iv(location, zeroInts);
            break;
        case GL_INT_VEC2:
            glVertexAttribI2iv(location, zeroInts);
            break;
        case GL_INT_VEC3:
            glVertexAttribI3iv(location, zeroInts);
            break;
        case GL_INT_VEC4:
            glVertexAttribI4iv(location, zeroInts);
            break;
        default:
            throw std::runtime_error("Unhandled attribute type");
    }
}

}  // namespace

std::int64_t Mesh::meshIdCount = 0;

// ---- MeshBuilder ----

Mesh::MeshBuilder& Mesh::MeshBuilder::withPositions(std::vector<glm::vec3> values) {
    return withAttribute("position", std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withNormals(std::vector<glm::vec3> values) {
    return withAttribute("normal", std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withUVs(std::vector<glm::vec4> values) {
    return withAttribute("uv", std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withColors(std::vector<glm::vec4> values) {
    return withAttribute("color", std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withParticleSizes(std::vector<float> values) {
    return withAttribute("particleSize", std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withAttribute(std::string name, std::vector<float> values) {
    return withStoreAttribute(stores.attributesFloat, std::move(name), std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withAttribute(std::string name,
                                                    std::vector<glm::vec2> values) {
    return withStoreAttribute(stores.attributesVec2, std::move(name), std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withAttribute(std::string name,
                                                    std::vector<glm::vec3> values) {
    return withStoreAttribute(stores.attributesVec3, std::move(name), std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withAttribute(std::string name,
                                                    std::vector<glm::vec4> values) {
    return withStoreAttribute(stores.attributesVec4, std::move(name), std::move(values));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withAttribute(std::string name,
                                                    std::vector<glm::ivec4> values) {
    return withStoreAttribute(stores.attributesIVec4, std::move(name), std::move(values));
}

template <typename T>
Mesh::MeshBuilder& Mesh::MeshBuilder::withStoreAttribute(Store<T>& store, std::string name,
                                                         std::vector<T> values) {
    // The vertex array objects of an updated mesh are rebuilt, but its users (materials,
    // shaders) were chosen for its structure, so an update may only replace data.
    if (updateMesh != nullptr && store.count(name) == 0) {
        // Log readers match this exact text, "dis not exist" included: keep it as it is.
        ORKA_LOG_ERROR(
            "Cannot change mesh structure. %s dis not exist in the original mesh as a %s.",
            name.c_str(), AttributeTraits<T>::name);
        return *this;
    }
    store[name] = std::move(values);
    return *this;
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withIndices(std::vector<uint16_t> newIndices,
                                                  MeshTopology topology, int indexSet) {
    if (indexSet < 0) {
        ORKA_LOG_ERROR("Invalid index set %i", indexSet);
        return *this;
    }
    const size_t needed = static_cast<size_t>(indexSet) + 1;
    if (indices.size() < needed) indices.resize(needed);
    if (topologies.size() < needed) topologies.resize(needed, MeshTopology::Points);
    indices[indexSet] = std::move(newIndices);
    topologies[indexSet] = topology;
    return *this;
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withMeshTopology(MeshTopology topology) {
    if (topologies.empty()) topologies.push_back(topology);
    topologies[0] = topology;
    return *this;
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withName(const std::string& meshName) {
    name = meshName;
    return *this;
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withGeometry(const primitives::Geometry& geometry) {
    if (name.empty()) name = geometry.name;
    withPositions(geometry.positions);
    withNormals(geometry.normals);
    withUVs(geometry.uvs);
    withMeshTopology(MeshTopology::Triangles);
    if (!geometry.indices.empty()) withIndices(geometry.indices, MeshTopology::Triangles, 0);
    return *this;
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withCube(float length) {
    return withGeometry(primitives::cube(length));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withQuad(float size) {
    return withGeometry(primitives::quad(size));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withSphere(int stacks, int slices, float radius) {
    if (!primitives::isValidGridSize(stacks) || !primitives::isValidGridSize(slices)) {
        ORKA_LOG_ERROR("Sphere needs %i to %i stacks and slices (was %i and %i).",
                       primitives::minGridSegments, primitives::maxGridSegments, stacks, slices);
        return *this;
    }
    return withGeometry(primitives::sphere(stacks, slices, radius));
}

Mesh::MeshBuilder& Mesh::MeshBuilder::withTorus(int ringSegments, int tubeSegments,
                                                float ringRadius, float tubeRadius) {
    if (!primitives::isValidGridSize(ringSegments) || !primitives::isValidGridSize(tubeSegments)) {
        ORKA_LOG_ERROR("Torus needs %i to %i ring and tube segments (was %i and %i).",
                       primitives::minGridSegments, primitives::maxGridSegments, ringSegments,
                       tubeSegments);
        return *this;
    }
    return withGeometry(primitives::torus(ringSegments, tubeSegments, ringRadius, tubeRadius));
}

std::shared_ptr<Mesh> Mesh::MeshBuilder::build() {
    if (name.empty()) name = "Unnamed Mesh";
    Renderer* renderer = Renderer::instance;
    if (updateMesh != nullptr) {
        if (renderer == nullptr) {
            ORKA_LOG_ERROR("Cannot update orka::Mesh %s without orka::Renderer.",
                           updateMesh->name.c_str());
            return {};
        }
        renderer->renderStats.meshBytes -= updateMesh->dataSize;
        updateMesh->update(stores, indices, topologies, name, renderer->renderStats);
        return updateMesh->shared_from_this();
    }
    // Without a renderer the constructor raises the fatal log; if that returns, so do we.
    RenderStats scratch;
    std::shared_ptr<Mesh> mesh(new Mesh(stores, indices, topologies, name,
                                        renderer != nullptr ? renderer->renderStats : scratch));
    if (renderer == nullptr) return {};
    renderer->renderStats.meshCount += 1;
    return mesh;
}

// ---- Mesh ----

Mesh::Mesh(AttributeStores& newStores, const std::vector<std::vector<uint16_t>>& newIndices,
           std::vector<MeshTopology> newTopologies, std::string newName, RenderStats& stats)
    : meshId(meshIdCount++), borrowed(std::make_unique<BatchBuffers>()) {
    boundsMinMax = {glm::vec3(largestFloat), glm::vec3(-largestFloat)};
    if (Renderer::instance == nullptr) {
        ORKA_LOG_FATAL("Cannot instantiate orka::Mesh before orka::Renderer is created.");
        return;
    }
    rendererSerial = Renderer::instance->getSerial();
    glGenBuffers(1, &vertexBufferId);
    update(newStores, newIndices, std::move(newTopologies), std::move(newName), stats);
    resourcesOf(*Renderer::instance).meshes.push_back(this);
}

Mesh::Mesh(std::string newName, const BatchBuffers& buffers, int quads, bool byteColors)
    : meshId(meshIdCount++), borrowed(std::make_unique<BatchBuffers>()) {
    // SpriteBatch makes these only while the renderer and its pool exist.
    Renderer* renderer = Renderer::instance;
    rendererSerial = renderer->getSerial();
    name = std::move(newName);
    topologies = {MeshTopology::Triangles};
    *borrowed = buffers;
    vertexBufferId = buffers.vertexBuffer;
    elementBufferIds = {resourcesOf(*renderer).builtIns.batchBuffers->quadIndexBuffer()};
    vertexCount = quads * spriteRunVerticesPerQuad;
    totalBytesPerVertex = byteColors ? spriteRunByteColorStride : spriteRunFloatColorStride;
    attributeByName["position"] = {0, 2, GL_FLOAT, GL_FLOAT_VEC2};
    attributeByName["uv"] = {8, 2, GL_FLOAT, GL_FLOAT_VEC2};
    attributeByName["color"] = {16, 4, byteColors ? GL_UNSIGNED_BYTE : GL_FLOAT, GL_FLOAT_VEC4};
    const int indexCount = quads * spriteRunIndicesPerQuad;
    indexCounts = {indexCount};
    cpuCopyPending = true;
    dataSize = vertexCount * totalBytesPerVertex + indexCount * bytesPerIndex;
    renderer->renderStats.meshCount += 1;
    renderer->renderStats.meshBytes += dataSize;
    renderer->renderStats.meshBytesAllocated += dataSize;
    resourcesOf(*renderer).meshes.push_back(this);
}

Mesh::~Mesh() {
    Renderer* renderer = Renderer::instance;
    // Without its renderer the GL context is gone, and with it every GL object of the mesh;
    // another renderer's context may have objects of the same names.
    if (renderer == nullptr || renderer->getSerial() != rendererSerial || vertexBufferId == 0) {
        return;
    }
    renderer->renderStats.meshBytes -= dataSize;
    renderer->renderStats.meshBytesDeallocated += dataSize;
    renderer->renderStats.meshCount -= 1;
    auto& registry = resourcesOf(*renderer).meshes;
    // Meshes of a batch go in the order they came: look from the end.
    const auto found = std::find(registry.rbegin(), registry.rend(), this);
    if (found != registry.rend()) registry.erase(std::next(found).base());
    deleteVertexArrayObjects();
    if (borrowed->vertexBuffer != 0) {
        returnBuffers();
        return;
    }
    glDeleteBuffers(1, &vertexBufferId);
    if (!elementBufferIds.empty()) {
        glDeleteBuffers(static_cast<GLsizei>(elementBufferIds.size()), elementBufferIds.data());
    }
}

Mesh::MeshBuilder Mesh::create() {
    return {};
}

Mesh::MeshBuilder Mesh::update() {
    loadCpuCopy();
    MeshBuilder builder;
    builder.stores = stores;
    builder.indices = indices;
    builder.topologies = topologies;
    builder.updateMesh = this;
    return builder;
}

void Mesh::update(AttributeStores& newStores, const std::vector<std::vector<uint16_t>>& newIndices,
                  std::vector<MeshTopology> newTopologies, std::string newName,
                  RenderStats& stats) {
    topologies = std::move(newTopologies);
    name = std::move(newName);
    meshId = meshIdCount++;
    vertexCount = totalBytesPerVertex = dataSize = 0;
    deleteVertexArrayObjects();
    if (borrowed->vertexBuffer != 0) {
        // A sprite-run mesh becomes an ordinary one: the vertex buffer is its own from now on,
        // and it gets index buffers of its own instead of the shared one.
        if (borrowed->vertexArray != 0) glDeleteVertexArrays(1, &borrowed->vertexArray);
        *borrowed = {};
        elementBufferIds.clear();
    }

    // The mesh takes the builder's data over; its old stores go back to the builder, emptied.
    std::swap(stores, newStores);
    newStores = AttributeStores{};
    assignLayout();
    const std::vector<char>& vertexData = interleave();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBufferId);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexData.size()), vertexData.data(),
                 GL_STATIC_DRAW);
    uploadIndices(newIndices);
    // Vertex array 0 and this mesh's buffers are bound now, whatever a pass bound before.
    RenderPass::forgetBindings();
    indices = newIndices;
    indexCounts.clear();
    for (const auto& set : indices) indexCounts.push_back(static_cast<int>(set.size()));
    updateBounds();

    dataSize += vertexCount * totalBytesPerVertex;
    stats.meshBytes += dataSize;
    stats.meshBytesAllocated += dataSize;
}

void Mesh::assignLayout() {
    attributeByName.clear();
    auto place = [this](const auto& store) {
        using T = typename std::decay_t<decltype(store)>::mapped_type::value_type;
        using Traits = AttributeTraits<T>;
        for (const auto& [attributeName, values] : store) {
            vertexCount = std::max(vertexCount, static_cast<int>(values.size()));
            attributeByName[attributeName] = {totalBytesPerVertex, Traits::elementCount,
                                              static_cast<int32_t>(Traits::dataType),
                                              static_cast<int32_t>(Traits::attributeType)};
            totalBytesPerVertex += Traits::slotBytes;
        }
    };
    place(stores.attributesVec3);
    place(stores.attributesVec4);
    place(stores.attributesIVec4);
    place(stores.attributesVec2);
    place(stores.attributesFloat);
    totalBytesPerVertex =
        (totalBytesPerVertex + vertexAlignment - 1) / vertexAlignment * vertexAlignment;
}

const std::vector<char>& Mesh::interleave() const {
    // Kept between calls: a mesh rebuilt every frame (a sprite batch) would otherwise fault
    // megabytes of fresh pages in each time. Zeroed, as padding must read as zero.
    static std::vector<char> data;
    data.assign(static_cast<size_t>(vertexCount) * totalBytesPerVertex, 0);
    auto write = [this](const auto& store) {
        using T = typename std::decay_t<decltype(store)>::mapped_type::value_type;
        for (const auto& [attributeName, values] : store) {
            if (values.empty()) continue;  // and the buffer may be empty too
            char* slot = data.data() + attributeByName.at(attributeName).offset;
            for (const T& value : values) {
                std::memcpy(slot, &value, sizeof(T));
                slot += totalBytesPerVertex;
            }
        }
    };
    write(stores.attributesVec3);
    write(stores.attributesVec4);
    write(stores.attributesIVec4);
    write(stores.attributesVec2);
    write(stores.attributesFloat);
    return data;
}

void Mesh::uploadIndices(const std::vector<std::vector<uint16_t>>& newIndices) {
    for (size_t i = 0; i < newIndices.size(); i++) {
        if (i == elementBufferIds.size()) {
            GLuint id = 0;
            glGenBuffers(1, &id);
            elementBufferIds.push_back(id);
        }
        const int bytes = static_cast<int>(newIndices[i].size()) * bytesPerIndex;
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBufferIds[i]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, bytes, newIndices[i].data(), GL_STATIC_DRAW);
        dataSize += bytes;
    }
}

void Mesh::updateBounds() const {
    boundsMinMax = {glm::vec3(largestFloat), glm::vec3(-largestFloat)};
    const auto positions = stores.attributesVec3.find("position");
    if (positions == stores.attributesVec3.end()) return;
    for (const glm::vec3& position : positions->second) {
        boundsMinMax[0] = glm::min(boundsMinMax[0], position);
        boundsMinMax[1] = glm::max(boundsMinMax[1], position);
    }
}

void Mesh::deleteVertexArrayObjects() {
    for (const auto& entry : shaderToVertexArrayObject) glDeleteVertexArrays(1, &entry.second);
    shaderToVertexArrayObject.clear();
}

std::vector<glm::vec3> Mesh::getPositions() const {
    loadCpuCopy();
    return copyOf(stores.attributesVec3, "position");
}

std::vector<glm::vec3> Mesh::getNormals() const {
    loadCpuCopy();
    return copyOf(stores.attributesVec3, "normal");
}

std::vector<glm::vec4> Mesh::getUVs() const {
    loadCpuCopy();
    return copyOf(stores.attributesVec4, "uv");
}

std::vector<glm::vec4> Mesh::getColors() const {
    loadCpuCopy();
    return copyOf(stores.attributesVec4, "color");
}

std::vector<float> Mesh::getParticleSizes() const {
    loadCpuCopy();
    return copyOf(stores.attributesFloat, "particleSize");
}

std::vector<std::string> Mesh::getAttributeNames() const {
    std::vector<std::string> names;
    for (const auto& entry : attributeByName) names.push_back(entry.first);
    return names;
}

std::pair<int, int> Mesh::getType(const std::string& attributeName) const {
    const auto found = attributeByName.find(attributeName);
    if (found == attributeByName.end()) return {-1, -1};
    return {found->second.dataType, found->second.elementCount};
}

const std::vector<uint16_t>& Mesh::getIndices(int indexSet) const {
    loadCpuCopy();
    return indices.at(static_cast<size_t>(indexSet));
}

int Mesh::getIndicesSize(int indexSet) const {
    return indexCounts.at(static_cast<size_t>(indexSet));
}

std::array<glm::vec3, 2> Mesh::getBoundsMinMax() const {
    loadCpuCopy();
    return boundsMinMax;
}

void Mesh::loadCpuCopy() const {
    if (!cpuCopyPending) return;
    cpuCopyPending = false;
    std::vector<char> bytes(static_cast<size_t>(vertexCount) * totalBytesPerVertex);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBufferId);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes.size()), bytes.data());
    // The stored components widen to the conventional types; missing ones read zero.
    auto read = [&](const Attribute& attribute, size_t vertex, int component) {
        const char* at = &bytes[vertex * totalBytesPerVertex + attribute.offset];
        if (component >= attribute.elementCount) return 0.0f;
        if (attribute.dataType == GL_UNSIGNED_BYTE) {
            return static_cast<float>(static_cast<unsigned char>(at[component])) / 255.0f;
        }
        float value = 0.0f;
        std::memcpy(&value, at + component * sizeof(float), sizeof(float));
        return value;
    };
    const auto vertices = static_cast<size_t>(vertexCount);
    std::vector<glm::vec3>& positions = stores.attributesVec3["position"];
    const Attribute& position = attributeByName.at("position");
    for (size_t k = 0; k < vertices; k++) {
        positions.emplace_back(read(position, k, 0), read(position, k, 1), read(position, k, 2));
    }
    for (const char* name : {"uv", "color"}) {
        std::vector<glm::vec4>& values = stores.attributesVec4[name];
        const Attribute& attribute = attributeByName.at(name);
        for (size_t k = 0; k < vertices; k++) {
            values.emplace_back(read(attribute, k, 0), read(attribute, k, 1), read(attribute, k, 2),
                                read(attribute, k, 3));
        }
    }
    std::vector<uint16_t> quads(static_cast<size_t>(indexCounts.at(0)));
    const uint16_t corners[spriteRunIndicesPerQuad] = {0, 1, 2, 0, 2, 3};
    for (size_t i = 0; i < quads.size(); i++) {
        const size_t quad = i / spriteRunIndicesPerQuad;
        quads[i] = static_cast<uint16_t>(quad * spriteRunVerticesPerQuad +
                                         corners[i % spriteRunIndicesPerQuad]);
    }
    indices = {std::move(quads)};
    updateBounds();
}

void Mesh::returnBuffers() {
    Renderer* renderer = Renderer::instance;
    BatchBufferPool* pool = resourcesOf(*renderer).builtIns.batchBuffers.get();
    if (pool == nullptr) {
        if (borrowed->vertexArray != 0) glDeleteVertexArrays(1, &borrowed->vertexArray);
        glDeleteBuffers(1, &borrowed->vertexBuffer);
    } else {
        pool->release(*borrowed);
    }
    *borrowed = {};
}

void Mesh::bind(Shader* shader) {
    // A sprite-run mesh's pooled vertex array serves one shader; it keeps its attribute
    // pointers across uploads, as the buffer and layout stay.
    // The two sprite-run layouts differ in stride: an array set up for the other is set up again.
    if (borrowed->vertexBuffer != 0 && borrowed->arrayStride != totalBytesPerVertex) {
        borrowed->arrayShader = 0;
    }
    if (borrowed->vertexBuffer != 0 &&
        (borrowed->arrayShader == shader->serial || borrowed->arrayShader == 0)) {
        if (borrowed->vertexArray == 0) glGenVertexArrays(1, &borrowed->vertexArray);
        glBindVertexArray(borrowed->vertexArray);
        if (borrowed->arrayShader == 0) {
            try {
                setVertexAttributePointers(shader);
            } catch (...) {
                glBindVertexArray(0);
                throw;
            }
            borrowed->arrayShader = shader->serial;
            borrowed->arrayStride = totalBytesPerVertex;
        }
        return;
    }
    const auto found = shaderToVertexArrayObject.find(shader->serial);
    if (found != shaderToVertexArrayObject.end()) {
        glBindVertexArray(found->second);
        return;
    }
    GLuint vertexArrayObject = 0;
    glGenVertexArrays(1, &vertexArrayObject);
    glBindVertexArray(vertexArrayObject);
    try {
        setVertexAttributePointers(shader);
    } catch (...) {
        glBindVertexArray(0);
        glDeleteVertexArrays(1, &vertexArrayObject);
        throw;
    }
    shaderToVertexArrayObject[shader->serial] = vertexArrayObject;
}

void Mesh::forgetShader(std::uint64_t shaderSerial) {
    if (borrowed->arrayShader == shaderSerial) borrowed->arrayShader = 0;
    const auto found = shaderToVertexArrayObject.find(shaderSerial);
    if (found == shaderToVertexArrayObject.end()) return;
    glDeleteVertexArrays(1, &found->second);
    shaderToVertexArrayObject.erase(found);
}

void Mesh::bindIndexSet(int indexSet) {
    if (indexCounts.empty()) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        return;
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBufferIds.at(static_cast<size_t>(indexSet)));
}

void Mesh::setVertexAttributePointers(Shader* shader) {
    glBindBuffer(GL_ARRAY_BUFFER, vertexBufferId);
    for (const auto& [attributeName, input] : shader->attributes) {
        // Built-in inputs (gl_VertexID and the like) have no location to feed.
        if (input.location < 0) continue;
        const GLuint location = static_cast<GLuint>(input.location);
        const auto found = attributeByName.find(attributeName);
        if (found == attributeByName.end() || input.arraySize != 1 ||
            !canFeed(input.type, found->second)) {
            glDisableVertexAttribArray(location);
            setZeroAttribute(location, input.type);
            continue;
        }
        const Attribute& attribute = found->second;
        const void* offset = reinterpret_cast<const void*>(static_cast<intptr_t>(attribute.offset));
        glEnableVertexAttribArray(location);
        // Integer data for an integer input must stay integer; glVertexAttribPointer would
        // convert it to float and the shader would read the float's bits.
        if (isIntegerType(input.type) && attribute.dataType == GL_INT) {
            glVertexAttribIPointer(location, attribute.elementCount, attribute.dataType,
                                   totalBytesPerVertex, offset);
        } else {
            // Bytes (a sprite-run mesh's colours) stand for 0 to 1.
            const GLboolean normalized =
                attribute.dataType == GL_UNSIGNED_BYTE ? GL_TRUE : GL_FALSE;
            glVertexAttribPointer(location, attribute.elementCount, attribute.dataType, normalized,
                                  totalBytesPerVertex, offset);
        }
    }
}

}  // namespace orka
