#pragma once

#include <cstdint>

namespace orka {

/// Counters of the renderer. The renderer keeps two copies: the frame being drawn, which
/// resources and render passes update, and the last presented frame, which applications read.
/// "Kept" fields run across frames; the others are zeroed when a frame is presented. Texture
/// bytes are 64-bit: a few large textures pass 2 GiB.
struct RenderStats {
    std::int32_t frame = 0;                    ///< kept: number of frames presented before this one
    std::int32_t meshCount = 0;                ///< kept: live meshes
    std::int32_t meshBytes = 0;                ///< kept: bytes of all live meshes
    std::int32_t meshBytesAllocated = 0;       ///< per frame: bytes of meshes created
    std::int32_t meshBytesDeallocated = 0;     ///< per frame: bytes of meshes destroyed
    std::int32_t textureCount = 0;             ///< kept: live textures
    std::int64_t textureBytes = 0;             ///< kept: bytes of all live textures
    std::int64_t textureBytesAllocated = 0;    ///< per frame: bytes of textures created
    std::int64_t textureBytesDeallocated = 0;  ///< per frame: bytes of textures destroyed
    std::int32_t shaderCount = 0;              ///< kept: live shaders
    std::int32_t drawCalls = 0;                ///< per frame: mesh draws issued by render passes
    std::int32_t stateChangesShader = 0;       ///< per frame: shader program switches
    std::int32_t stateChangesMaterial = 0;     ///< per frame: material binds
    std::int32_t stateChangesMesh = 0;         ///< per frame: mesh or index-set binds
};

}  // namespace orka
