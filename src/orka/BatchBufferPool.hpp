#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <map>
#include <vector>

#include "orka/GLName.hpp"

namespace orka {

/// A vertex buffer with its storage size, and the vertex array last set up for it (0: none
/// yet) with the serial of the shader it was set up for (0: none).
struct BatchBuffers {
    GLuint vertexBuffer = 0;        ///< GL name of the vertex buffer
    GLsizeiptr capacity = 0;        ///< its storage size in bytes
    GLuint vertexArray = 0;         ///< GL name of its vertex array, 0: none yet
    std::uint64_t arrayShader = 0;  ///< serial of the shader the array was set up for, 0: none
    int arrayStride = 0;            ///< vertex stride in bytes the array was set up for
};

/// GL vertex buffers and vertex arrays that sprite batch meshes borrow for one upload and give
/// back when they are released, so a batch built every frame makes no GL objects; plus one
/// element buffer of quad indices (0, 1, 2, 0, 2, 3, 4, 5, 6, ...) for `maxQuads` quads that
/// all of them share. Kept by the renderer (RendererResources::BuiltIns); main thread only.
class BatchBufferPool {
public:
    /// Buffers lent out (see BatchBuffers).
    using Buffers = BatchBuffers;

    /// Quads the shared index buffer covers: four vertices each must fit 16-bit indices.
    static constexpr int maxQuads = 16384;
    /// Idle buffers kept for the next frames at least. Up to as many as were lent at once in
    /// this frame or the last are kept, idle and lent together, so many batches rebuilt
    /// every frame find their buffers again; beyond that they are deleted when given back, and
    /// when the demand falls, at the first acquire of a frame.
    static constexpr size_t maxIdle = 64;

    /// Needs the renderer; its GL objects belong to the renderer's context.
    BatchBufferPool();
    /// Deletes the idle buffers and the index buffer, unless another renderer's context is
    /// current (then they went with their own context).
    ~BatchBufferPool();
    BatchBufferPool(const BatchBufferPool&) = delete;
    BatchBufferPool& operator=(const BatchBufferPool&) = delete;

    /// Buffers whose vertex buffer holds at least `bytes`, bound to GL_ARRAY_BUFFER. The
    /// smallest idle one that fits is taken; otherwise one is made or grown (GL_STREAM_DRAW).
    Buffers acquire(GLsizeiptr bytes);
    /// Takes buffers back for later uploads, or deletes them when enough are idle.
    void release(const Buffers& buffers);
    /// Vertex arrays set up for this shader's attribute locations must be set up again.
    void forgetShader(std::uint64_t shaderSerial);
    /// GL name of the shared element buffer of quad indices (16-bit, `maxQuads` quads); owned
    /// by the pool.
    GLuint quadIndexBuffer() const { return indexBuffer.get(); }

private:
    static void destroy(const Buffers& buffers);
    /// How many buffers, idle and lent together, may exist.
    size_t keepLimit() const;
    /// Starts the renderer's frame `frame`: the busiest point of the last one is remembered,
    /// and idle buffers beyond the new limit go.
    void startFrame(std::int32_t frame);
    /// Removes and returns one idle buffer of the bucket at `it`.
    Buffers take(std::map<GLsizeiptr, std::vector<Buffers>>::iterator it);

    /// Idle buffers by capacity, so that finding the smallest that fits does not scan them all.
    std::map<GLsizeiptr, std::vector<Buffers>> idleByCapacity;
    size_t idle = 0;
    size_t lent = 0;
    /// Most buffers lent at once in the current frame and in the one before.
    size_t peakLent = 0;
    size_t previousPeakLent = 0;
    std::int32_t currentFrame = -1;
    GLName indexBuffer;
    std::uint64_t rendererSerial;
};

}  // namespace orka
