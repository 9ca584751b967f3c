#pragma once

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <glm/glm.hpp>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "orka/GLTestEnvironment.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderStats.hpp"
#include "orka/Renderer.hpp"
#include "orka/Shader.hpp"
#include "orka/Texture.hpp"

namespace orka {

/// The tests' view of what render passes use: GL names, layouts and the private bind calls.
struct GpuTestAccess {
    // Shader
    static GLuint program(const Shader& shader) { return shader.shaderProgramId; }
    static std::uint64_t serial(const Shader& shader) { return shader.serial; }
    static void bind(Shader& shader) { shader.bind(); }
    static bool setLights(Shader& shader, WorldLights* lights, const glm::mat4& view) {
        return shader.setLights(lights, view);
    }
    /// g_model, g_view, g_projection, g_normal, g_viewport, g_ambientLight, g_lightPosType,
    /// g_lightColorRange.
    static std::array<int, 8> engineLocations(const Shader& shader) {
        return {shader.uniformLocationModel,        shader.uniformLocationView,
                shader.uniformLocationProjection,   shader.uniformLocationNormal,
                shader.uniformLocationViewport,     shader.uniformLocationAmbientLight,
                shader.uniformLocationLightPosType, shader.uniformLocationLightColorRange};
    }
    static std::vector<Uniform> uniforms(const Shader& shader) { return shader.uniforms; }

    // Mesh
    static std::map<std::string, Mesh::Attribute> layout(const Mesh& mesh) {
        return mesh.attributeByName;
    }
    static int stride(const Mesh& mesh) { return mesh.totalBytesPerVertex; }
    static std::int64_t meshId(const Mesh& mesh) { return mesh.meshId; }
    static GLuint vertexBuffer(const Mesh& mesh) { return mesh.vertexBufferId; }
    static std::vector<GLuint> elementBuffers(const Mesh& mesh) { return mesh.elementBufferIds; }
    /// Vertex array objects by shader serial.
    static std::map<std::uint64_t, GLuint> vertexArrays(const Mesh& mesh) {
        return mesh.shaderToVertexArrayObject;
    }
    static void bind(Mesh& mesh, Shader& shader) { mesh.bind(&shader); }
    static void bindIndexSet(Mesh& mesh, int indexSet) { mesh.bindIndexSet(indexSet); }

    // Material
    static void bind(Material& material) { material.bind(); }
    /// A material built in `storage` (sizeof(Material) bytes, aligned for it), so that a test
    /// can make one exactly where a released one lived. The caller destroys it in place.
    static Material* materialAt(void* storage, std::shared_ptr<Shader> shader) {
        return new (storage) Material(std::move(shader));
    }

    // Texture
    static GLuint textureId(const Texture& texture) { return texture.textureId; }
    static GLenum target(const Texture& texture) { return texture.target; }
};

namespace test {

/// The statistics of the frame being drawn, which resources update.
inline RenderStats& currentStats() {
    return testRenderer().renderStats;
}

/// Drains GL's error queue; returns the first error (GL_NO_ERROR when there was none).
inline GLenum takeGLError() {
    const GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}

}  // namespace test
}  // namespace orka
