#include "showcase/WaveSurface.hpp"

#include <algorithm>
#include <cmath>

namespace showcase {

namespace {

// Waves per world unit along x and z, and their speeds in radians per second.
constexpr float waveNumberX = 2.2f;
constexpr float waveNumberZ = 1.7f;
constexpr float angularSpeedX = 2.0f;
constexpr float angularSpeedZ = 1.3f;

}  // namespace

WaveSurface::WaveSurface(float halfSize, float amplitude, int cellsPerSide)
    : halfSize(halfSize),
      amplitude(amplitude),
      cellsPerSide(std::clamp(cellsPerSide, 1, maxCellsPerSide)) {
    computeVertices(0.0f);
    mesh = orka::Mesh::create()
               .withName("Wave surface")
               .withPositions(positions)
               .withNormals(normals)
               .withUVs(gridUVs())
               .withIndices(gridIndices())
               .build();
}

void WaveSurface::update(float timeSec) {
    computeVertices(timeSec);
    // Same attributes and indices, new values: the mesh keeps its GL buffers.
    mesh->update().withName("Wave surface").withPositions(positions).withNormals(normals).build();
}

float WaveSurface::heightAt(float x, float z, float timeSec) const {
    return amplitude * std::sin(waveNumberX * x + angularSpeedX * timeSec) *
           std::cos(waveNumberZ * z + angularSpeedZ * timeSec);
}

// The normal of the height field y = h(x, z) is (-dh/dx, 1, -dh/dz), normalised.
glm::vec3 WaveSurface::normalAt(float x, float z, float timeSec) const {
    const float phaseX = waveNumberX * x + angularSpeedX * timeSec;
    const float phaseZ = waveNumberZ * z + angularSpeedZ * timeSec;
    const float slopeX = amplitude * waveNumberX * std::cos(phaseX) * std::cos(phaseZ);
    const float slopeZ = -amplitude * waveNumberZ * std::sin(phaseX) * std::sin(phaseZ);
    return glm::normalize(glm::vec3(-slopeX, 1.0f, -slopeZ));
}

void WaveSurface::computeVertices(float timeSec) {
    const int verticesPerSide = cellsPerSide + 1;
    const float step = 2.0f * halfSize / static_cast<float>(cellsPerSide);
    positions.resize(static_cast<size_t>(verticesPerSide * verticesPerSide));
    normals.resize(positions.size());
    for (int row = 0; row < verticesPerSide; ++row) {
        for (int column = 0; column < verticesPerSide; ++column) {
            const float x = -halfSize + step * static_cast<float>(column);
            const float z = -halfSize + step * static_cast<float>(row);
            const size_t index = static_cast<size_t>(row * verticesPerSide + column);
            positions[index] = {x, heightAt(x, z, timeSec), z};
            normals[index] = normalAt(x, z, timeSec);
        }
    }
}

// Two triangles per cell, counter-clockwise seen from above so back-face culling keeps them.
std::vector<uint16_t> WaveSurface::gridIndices() const {
    const int verticesPerSide = cellsPerSide + 1;
    std::vector<uint16_t> indices;
    indices.reserve(static_cast<size_t>(cellsPerSide * cellsPerSide * 6));
    for (int row = 0; row < cellsPerSide; ++row) {
        for (int column = 0; column < cellsPerSide; ++column) {
            const auto corner = static_cast<uint16_t>(row * verticesPerSide + column);
            const auto right = static_cast<uint16_t>(corner + 1);
            const auto below = static_cast<uint16_t>(corner + verticesPerSide);
            const auto belowRight = static_cast<uint16_t>(below + 1);
            indices.insert(indices.end(), {corner, below, right, right, below, belowRight});
        }
    }
    return indices;
}

std::vector<glm::vec4> WaveSurface::gridUVs() const {
    const int verticesPerSide = cellsPerSide + 1;
    std::vector<glm::vec4> uvs;
    uvs.reserve(positions.size());
    for (int row = 0; row < verticesPerSide; ++row) {
        for (int column = 0; column < verticesPerSide; ++column) {
            uvs.emplace_back(static_cast<float>(column) / static_cast<float>(cellsPerSide),
                             static_cast<float>(row) / static_cast<float>(cellsPerSide), 0.0f,
                             0.0f);
        }
    }
    return uvs;
}

}  // namespace showcase
