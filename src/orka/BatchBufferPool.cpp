#include "orka/BatchBufferPool.hpp"

#include <algorithm>
#include <iterator>

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
    for (const auto& bucket : idleByCapacity) {
        for (const Buffers& buffers : bucket.second) destroy(buffers);
    }
}

size_t BatchBufferPool::keepLimit() const {
    return std::max({maxIdle, peakLent, previousPeakLent});
}

void BatchBufferPool::startFrame(std::int32_t frame) {
    currentFrame = frame;
    previousPeakLent = peakLent;
    peakLent = lent;
    // The smallest go first: the large ones are the expensive ones to make again.
    while (idle > 0 && idle + lent > keepLimit()) destroy(take(idleByCapacity.begin()));
}

BatchBufferPool::Buffers BatchBufferPool::take(
    std::map<GLsizeiptr, std::vector<Buffers>>::iterator it) {
    const Buffers buffers = it->second.back();
    it->second.pop_back();
    if (it->second.empty()) idleByCapacity.erase(it);
    --idle;
    return buffers;
}

BatchBufferPool::Buffers BatchBufferPool::acquire(GLsizeiptr bytes) {
    const Renderer* renderer = Renderer::instance;
    if (renderer != nullptr && renderer->renderStats.frame != currentFrame) {
        startFrame(renderer->renderStats.frame);
    }
    Buffers buffers;
    auto fits = idleByCapacity.lower_bound(bytes);
    // Nothing fits: grow the largest, the one closest to fitting.
    if (fits == idleByCapacity.end() && !idleByCapacity.empty()) fits = std::prev(fits);
    if (fits != idleByCapacity.end()) {
        buffers = take(fits);
    } else {
        glGenBuffers(1, &buffers.vertexBuffer);
    }
    ++lent;
    peakLent = std::max(peakLent, lent);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer);
    if (buffers.capacity < bytes) {
        buffers.capacity = capacityFor(bytes);
        glBufferData(GL_ARRAY_BUFFER, buffers.capacity, nullptr, GL_STREAM_DRAW);
    }
    return buffers;
}

void BatchBufferPool::release(const Buffers& buffers) {
    if (lent > 0) --lent;
    if (idle + lent >= keepLimit()) {
        destroy(buffers);
        return;
    }
    idleByCapacity[buffers.capacity].push_back(buffers);
    ++idle;
}

void BatchBufferPool::forgetShader(std::uint64_t shaderSerial) {
    for (auto& bucket : idleByCapacity) {
        for (Buffers& buffers : bucket.second) {
            if (buffers.arrayShader == shaderSerial) buffers.arrayShader = 0;
        }
    }
}

void BatchBufferPool::destroy(const Buffers& buffers) {
    if (buffers.vertexArray != 0) glDeleteVertexArrays(1, &buffers.vertexArray);
    glDeleteBuffers(1, &buffers.vertexBuffer);
}

}  // namespace orka
