#include "orka/BatchBufferPool.hpp"

#include <algorithm>

#include "orka/Renderer.hpp"

namespace orka {

namespace {

constexpr int indicesPerQuad = 6;
constexpr int verticesPerQuad = 4;
// Small runs share one size, and growth doubles, so varying counts rarely reallocate.
constexpr GLsizeiptr smallestCapacity = 2048;

GLsizeiptr capacityFor(GLsizeiptr bytes) {
    GLsizeiptr capacity = smallestCapacity;
    while (capacity < bytes) capacity *= 2;
    return capacity;
}

}  // namespace

BatchBufferPool::BatchBufferPool() : rendererSerial(Renderer::instance->getSerial()) {
    std::vector<uint16_t> quads(static_cast<size_t>(maxQuads) * indicesPerQuad);
    const uint16_t corners[indicesPerQuad] = {0, 1, 2, 0, 2, 3};
    for (size_t i = 0; i < quads.size(); i++) {
        const size_t quad = i / indicesPerQuad;
        quads[i] = static_cast<uint16_t>(quad * verticesPerQuad + corners[i % indicesPerQuad]);
    }
    GLuint name = 0;
    glGenBuffers(1, &name);
    indexBuffer = GLName(name, [](GLuint buffer) { glDeleteBuffers(1, &buffer); });
    // Element buffer bindings belong to the bound vertex array: keep everyone else's intact.
    GLint boundArray = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(quads.size() * sizeof(uint16_t)),
                 quads.data(), GL_STATIC_DRAW);
    glBindVertexArray(static_cast<GLuint>(boundArray));
}

BatchBufferPool::~BatchBufferPool() {
    const Renderer* renderer = Renderer::instance;
    if (renderer == nullptr || renderer->getSerial() != rendererSerial) {
        indexBuffer.release();
        return;
    }
    for (const Buffers& buffers : idle) destroy(buffers);
}

BatchBufferPool::Buffers BatchBufferPool::acquire(GLsizeiptr bytes) {
    Buffers buffers;
    auto fits = idle.end();
    for (auto it = idle.begin(); it != idle.end(); ++it) {
        if (it->capacity >= bytes && (fits == idle.end() || it->capacity < fits->capacity)) {
            fits = it;
        }
    }
    if (fits == idle.end() && !idle.empty()) {
        // Nothing fits: grow the largest, the one closest to fitting.
        fits = std::max_element(idle.begin(), idle.end(), [](const Buffers& a, const Buffers& b) {
            return a.capacity < b.capacity;
        });
    }
    if (fits != idle.end()) {
        buffers = *fits;
        *fits = idle.back();
        idle.pop_back();
    } else {
        glGenBuffers(1, &buffers.vertexBuffer);
    }
    glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer);
    if (buffers.capacity < bytes) {
        buffers.capacity = capacityFor(bytes);
        glBufferData(GL_ARRAY_BUFFER, buffers.capacity, nullptr, GL_STREAM_DRAW);
    }
    return buffers;
}

void BatchBufferPool::release(const Buffers& buffers) {
    if (idle.size() >= maxIdle) {
        destroy(buffers);
        return;
    }
    idle.push_back(buffers);
}

void BatchBufferPool::forgetShader(std::uint64_t shaderSerial) {
    for (Buffers& buffers : idle) {
        if (buffers.arrayShader == shaderSerial) buffers.arrayShader = 0;
    }
}

void BatchBufferPool::destroy(const Buffers& buffers) {
    if (buffers.vertexArray != 0) glDeleteVertexArrays(1, &buffers.vertexArray);
    glDeleteBuffers(1, &buffers.vertexBuffer);
}

}  // namespace orka
