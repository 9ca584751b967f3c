#include "orka/MeshPrimitives.hpp"

#include <array>
#include <cmath>
#include <cstdio>

namespace orka::primitives {

namespace {

constexpr int cornersPerFace = 4;
constexpr float twoPiFloat = 6.2831855f;
const double pi = std::acos(-1.0);

// Floats in names: two significant digits, printf's %g ("1", "0.5", "1e+02").
std::string formatParameter(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2g", value);
    return text;
}

std::string formatParameter(int value) {
    return std::to_string(value);
}

template <typename... Parameters>
std::string shapeName(const char* shape, Parameters... parameters) {
    std::string name = std::string("ORKA ") + shape + " ";
    const char* separator = "";
    ((name += separator + formatParameter(parameters), separator = "-"), ...);
    return name;
}

struct GridVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec4 uv;
};

// Two triangles per grid cell, non-indexed. The last column wraps to column 0, which repeats
// the seam vertices, so its pair of triangles has no area; coordinates fit 8 bits each.
Geometry triangulateGrid(const std::vector<GridVertex>& grid, int rows, int columns) {
    Geometry geometry;
    auto emit = [&](uint8_t row, uint8_t column) {
        const GridVertex& vertex = grid[row * (columns + 1) + column];
        geometry.positions.push_back(vertex.position);
        geometry.normals.push_back(vertex.normal);
        geometry.uvs.push_back(vertex.uv);
    };
    for (int j = 0; j < rows; j++) {
        for (int i = 0; i <= columns; i++) {
            const uint8_t row = static_cast<uint8_t>(j);
            const uint8_t nextRow = static_cast<uint8_t>(j + 1);
            const uint8_t column = static_cast<uint8_t>(i);
            const uint8_t nextColumn = static_cast<uint8_t>((i + 1) % (columns + 1));
            emit(row, column);
            emit(nextRow, nextColumn);
            emit(row, nextColumn);
            emit(row, column);
            emit(nextRow, column);
            emit(nextRow, nextColumn);
        }
    }
    return geometry;
}

}  // namespace

bool isValidGridSize(int segments) {
    return segments >= minGridSegments && segments <= maxGridSegments;
}

Geometry cube(float length) {
    const float s = length;
    struct Face {
        glm::vec3 normal;
        std::array<glm::vec3, cornersPerFace> corners;  // A, B, C, D
    };
    const std::array<Face, 6> faces = {{
        {{0, 0, 1}, {{{s, s, s}, {-s, s, s}, {-s, -s, s}, {s, -s, s}}}},
        {{1, 0, 0}, {{{s, s, -s}, {s, s, s}, {s, -s, s}, {s, -s, -s}}}},
        {{0, 0, -1}, {{{-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s}}}},
        {{-1, 0, 0}, {{{-s, s, s}, {-s, s, -s}, {-s, -s, -s}, {-s, -s, s}}}},
        {{0, 1, 0}, {{{s, s, -s}, {-s, s, -s}, {-s, s, s}, {s, s, s}}}},
        {{0, -1, 0}, {{{s, -s, s}, {-s, -s, s}, {-s, -s, -s}, {s, -s, -s}}}},
    }};
    const std::array<glm::vec4, cornersPerFace> cornerUVs = {
        {{1, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0}}};
    // Triangles (A, B, C) and (A, C, D).
    const std::array<int, 6> cornerOrder = {0, 1, 2, 0, 2, 3};

    Geometry geometry;
    geometry.name = shapeName("Cube", length);
    for (const Face& face : faces) {
        for (int corner : cornerOrder) {
            geometry.positions.push_back(face.corners[corner]);
            geometry.normals.push_back(face.normal);
            geometry.uvs.push_back(cornerUVs[corner]);
        }
    }
    return geometry;
}

Geometry quad(float size) {
    const float s = size;
    Geometry geometry;
    geometry.name = shapeName("Quad", size);
    geometry.positions = {{s, -s, 0}, {s, s, 0}, {-s, -s, 0}, {-s, s, 0}};
    geometry.normals.assign(cornersPerFace, glm::vec3(0, 0, 1));
    geometry.uvs = {{1, 0, 0, 0}, {1, 1, 0, 0}, {0, 0, 0, 0}, {0, 1, 0, 0}};
    geometry.indices = {0, 1, 2, 2, 1, 3};
    return geometry;
}

Geometry sphere(int stacks, int slices, float radius) {
    std::vector<GridVertex> grid;
    for (int j = 0; j <= stacks; j++) {
        const double phi = j * (pi / stacks) - pi / 2;
        for (int i = 0; i <= slices; i++) {
            const double theta = i * (2 * pi / slices);
            glm::dvec3 normal(std::cos(theta) * std::cos(phi), std::sin(phi),
                              std::sin(theta) * std::cos(phi));
            normal /= glm::length(normal);
            const glm::vec4 uv(1.0f - static_cast<float>(i) / static_cast<float>(slices),
                               static_cast<float>(j) / static_cast<float>(stacks), 0.0f, 0.0f);
            grid.push_back(
                {glm::vec3(normal * static_cast<double>(radius)), glm::vec3(normal), uv});
        }
    }
    Geometry geometry = triangulateGrid(grid, stacks, slices);
    geometry.name = shapeName("Sphere", stacks, slices, radius);
    return geometry;
}

Geometry torus(int ringSegments, int tubeSegments, float ringRadius, float tubeRadius) {
    const float R = ringRadius;
    const float r = tubeRadius;
    std::vector<GridVertex> grid;
    for (int j = 0; j <= ringSegments; j++) {
        const float c = static_cast<float>(j) * twoPiFloat / static_cast<float>(ringSegments);
        const float cosC = static_cast<float>(std::cos(static_cast<double>(c)));
        const float sinC = static_cast<float>(std::sin(static_cast<double>(c)));
        for (int i = 0; i <= tubeSegments; i++) {
            const float a = static_cast<float>(i) * twoPiFloat / static_cast<float>(tubeSegments);
            const float cosA = static_cast<float>(std::cos(static_cast<double>(a)));
            const float sinA = static_cast<float>(std::sin(static_cast<double>(a)));
            const glm::vec3 position((R + r * cosA) * cosC, (R + r * cosA) * sinC, r * sinA);
            // Away from the ring's centre circle.
            const glm::vec3 normal =
                glm::normalize(glm::vec3(r * cosA * cosC, r * cosA * sinC, r * sinA));
            const glm::vec4 uv(1.0f - static_cast<float>(j) / static_cast<float>(ringSegments),
                               static_cast<float>(i) / static_cast<float>(tubeSegments), 0.0f,
                               0.0f);
            grid.push_back({position, normal, uv});
        }
    }
    Geometry geometry = triangulateGrid(grid, ringSegments, tubeSegments);
    geometry.name = shapeName("Torus", ringSegments, tubeSegments, ringRadius, tubeRadius);
    return geometry;
}

}  // namespace orka::primitives
