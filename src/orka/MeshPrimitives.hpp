#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <string>
#include <vector>

/// Vertex data of the shapes that Mesh::MeshBuilder generates (withCube, withQuad, withSphere,
/// withTorus). Pure CPU code; the builder turns the result into attributes "position",
/// "normal" and "uv" (uv.zw zero), topology Triangles, and an index set for the quad only.
namespace orka::primitives {

/// One generated shape: per-vertex arrays of equal length, and indices into them.
struct Geometry {
    std::string name;                  ///< e.g. "ORKA Sphere 16-32-1"
    std::vector<glm::vec3> positions;  ///< in the shape's own units, centred on the origin
    std::vector<glm::vec3> normals;    ///< unit length, pointing out of the shape
    std::vector<glm::vec4> uvs;        ///< texture coordinates in xy (0..1), zw zero
    std::vector<uint16_t> indices;     ///< empty for non-indexed triangle lists
};

/// Sphere and torus grids keep their coordinates in 8 bits: 1 to 255 segments per direction.
constexpr int minGridSegments = 1;
/// The most segments per direction of a sphere or torus grid.
constexpr int maxGridSegments = 255;
/// True for minGridSegments to maxGridSegments.
bool isValidGridSize(int segments);

/// Axis-aligned cube with half edge `length`: 36 vertices, faces +z, +x, -z, -x, +y, -y.
Geometry cube(float length);
/// Square in the z = 0 plane facing +z with half edge `size`: 4 vertices, indices 0 1 2 2 1 3.
Geometry quad(float size);
/// UV sphere around the origin, pole of row 0 at -y: 6 * stacks * (slices + 1) vertices.
/// Stacks and slices must pass isValidGridSize.
Geometry sphere(int stacks, int slices, float radius);
/// Torus around the z axis (ring in the xy plane): 6 * ringSegments * (tubeSegments + 1)
/// vertices. Both segment counts must pass isValidGridSize.
Geometry torus(int ringSegments, int tubeSegments, float ringRadius, float tubeRadius);

}  // namespace orka::primitives
