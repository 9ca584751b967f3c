#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <vector>

#include "orka/GLName.hpp"

namespace orka {

/// GL vertex buffers and vertex arrays that sprite batch meshes borrow for one upload and give
/// back when they are released, so a batch built every frame makes no GL objects; plus one
/// element buffer of quad indices (0, 1, 2, 0, 2, 3, 4, 5, 6, ...) for `maxQuads` quads that
/// all of them share. Kept by the renderer (Renderer::BuiltIns); main thread only.
class BatchBufferPool {
public:
    /// A vertex buffer with its storage size, and the vertex array last set up for it (0: none
    /// yet) with the serial of the shader it was set up for (0: none).
    struct Buffers {
        GLuint vertexBuffer = 0;
        GLsizeiptr capacity = 0;
        GLuint vertexArray = 0;
        std::uint64_t arrayShader = 0;
    };

    /// Quads the shared index buffer covers: four vertices each must fit 16-bit indices.
    static constexpr int maxQuads = 16384;
    /// Idle buffers kept for the next frames; more are deleted when given back.
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
    GLuint quadIndexBuffer() const { return indexBuffer.get(); }

private:
    static void destroy(const Buffers& buffers);

    std::vector<Buffers> idle;
    GLName indexBuffer;
    std::uint64_t rendererSerial;
};

}  // namespace orka
