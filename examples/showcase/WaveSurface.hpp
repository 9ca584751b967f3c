#pragma once

#include <glm/glm.hpp>
#include <memory>
#include <vector>

#include "orka/Mesh.hpp"

namespace showcase {

/// A square grid in the xz plane (centred on the origin, facing +y) whose heights ripple with
/// time. Every update recomputes positions and normals and uploads them into the same mesh
/// through Mesh::update(), the way an application animates geometry on the CPU. Needs the
/// renderer while it exists. Lengths in world units, time in seconds.
class WaveSurface {
public:
    static constexpr int defaultCellsPerSide = 32;
    /// 16-bit indices reach (255 + 1)^2 vertices; larger grids are made this size.
    static constexpr int maxCellsPerSide = 255;

    WaveSurface(float halfSize, float amplitude, int cellsPerSide = defaultCellsPerSide);

    /// The surface at `timeSec`.
    void update(float timeSec);
    const std::shared_ptr<orka::Mesh>& getMesh() const { return mesh; }
    /// Height of the surface above its centre at (x, z).
    float heightAt(float x, float z, float timeSec) const;

private:
    glm::vec3 normalAt(float x, float z, float timeSec) const;
    void computeVertices(float timeSec);
    std::vector<uint16_t> gridIndices() const;
    std::vector<glm::vec4> gridUVs() const;

    float halfSize;
    float amplitude;
    int cellsPerSide;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::shared_ptr<orka::Mesh> mesh;
};

}  // namespace showcase
