// Tests of the shapes Mesh::MeshBuilder generates (withCube, withQuad, withSphere, withTorus).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"
#include "orka/Mesh.hpp"

namespace orka {
namespace {

using test::LogCapture;
using ::testing::ElementsAre;

constexpr float tolerance = 1e-5f;

class PrimitivesTest : public ::testing::Test {
protected:
    void SetUp() override { test::testRenderer(); }
};

void expectNear(const glm::vec3& actual, const glm::vec3& expected, const std::string& what) {
    for (int c = 0; c < 3; c++)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << what << " [" << c << "]";
}

void expectUnitNormals(const Mesh& mesh) {
    for (const glm::vec3& normal : mesh.getNormals()) {
        ASSERT_NEAR(glm::length(normal), 1.0f, tolerance) << mesh.getName();
    }
}

void expectConventionalAttributes(const Mesh& mesh) {
    EXPECT_THAT(mesh.getAttributeNames(), ElementsAre("normal", "position", "uv"));
    EXPECT_EQ(mesh.getMeshTopology(0), MeshTopology::Triangles);
    for (const glm::vec4& uv : mesh.getUVs()) {
        ASSERT_EQ(uv.z, 0.0f);
        ASSERT_EQ(uv.w, 0.0f);
    }
}

TEST_F(PrimitivesTest, CubeFacesCornersAndUVs) {
    auto cube = Mesh::create().withCube(0.5f).build();
    EXPECT_EQ(cube->getName(), "ORKA Cube 0.5");
    ASSERT_EQ(cube->getVertexCount(), 36);
    EXPECT_EQ(cube->getIndexSets(), 0);
    EXPECT_EQ(cube->getBoundsMinMax()[0], glm::vec3(-0.5f));
    EXPECT_EQ(cube->getBoundsMinMax()[1], glm::vec3(0.5f));
    expectConventionalAttributes(*cube);
    expectUnitNormals(*cube);

    const auto positions = cube->getPositions();
    const auto normals = cube->getNormals();
    const auto uvs = cube->getUVs();
    const float s = 0.5f;
    // The +z face: triangles (A, B, C) and (A, C, D).
    EXPECT_THAT(std::vector<glm::vec3>(positions.begin(), positions.begin() + 6),
                ElementsAre(glm::vec3(s, s, s), glm::vec3(-s, s, s), glm::vec3(-s, -s, s),
                            glm::vec3(s, s, s), glm::vec3(-s, -s, s), glm::vec3(s, -s, s)));
    EXPECT_THAT(std::vector<glm::vec4>(uvs.begin(), uvs.begin() + 6),
                ElementsAre(glm::vec4(1, 1, 0, 0), glm::vec4(0, 1, 0, 0), glm::vec4(0, 0, 0, 0),
                            glm::vec4(1, 1, 0, 0), glm::vec4(0, 0, 0, 0), glm::vec4(1, 0, 0, 0)));
    // Face order +z, +x, -z, -x, +y, -y; the normal is shared by the face's six vertices.
    const std::vector<glm::vec3> faceNormals = {{0, 0, 1},  {1, 0, 0}, {0, 0, -1},
                                                {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int face = 0; face < 6; face++) {
        for (int k = 0; k < 6; k++) EXPECT_EQ(normals[face * 6 + k], faceNormals[face]);
    }
    EXPECT_EQ(positions[6], glm::vec3(s, s, -s)) << "+x face starts at its A corner";
    EXPECT_EQ(positions[35], glm::vec3(s, -s, -s)) << "-y face ends at its D corner";
    // Every triangle faces outwards (counter-clockwise seen from outside).
    for (int t = 0; t < 12; t++) {
        const glm::vec3 a = positions[t * 3], b = positions[t * 3 + 1], c = positions[t * 3 + 2];
        EXPECT_GT(glm::dot(glm::cross(b - a, c - a), normals[t * 3]), 0.0f) << "triangle " << t;
    }
}

TEST_F(PrimitivesTest, QuadHasFourVerticesAndOneIndexSet) {
    auto quad = Mesh::create().withQuad(1.0f).build();
    EXPECT_EQ(quad->getName(), "ORKA Quad 1");
    expectConventionalAttributes(*quad);
    EXPECT_THAT(quad->getPositions(), ElementsAre(glm::vec3(1, -1, 0), glm::vec3(1, 1, 0),
                                                  glm::vec3(-1, -1, 0), glm::vec3(-1, 1, 0)));
    EXPECT_THAT(quad->getUVs(), ElementsAre(glm::vec4(1, 0, 0, 0), glm::vec4(1, 1, 0, 0),
                                            glm::vec4(0, 0, 0, 0), glm::vec4(0, 1, 0, 0)));
    for (const glm::vec3& normal : quad->getNormals()) EXPECT_EQ(normal, glm::vec3(0, 0, 1));
    ASSERT_EQ(quad->getIndexSets(), 1);
    EXPECT_THAT(quad->getIndices(0), ElementsAre(0, 1, 2, 2, 1, 3));
    EXPECT_EQ(quad->getMeshTopology(0), MeshTopology::Triangles);
}

TEST_F(PrimitivesTest, SphereGridVerticesAndCounts) {
    auto small = Mesh::create().withSphere(2, 4, 1.0f).build();
    EXPECT_EQ(small->getVertexCount(), 6 * 2 * 5);
    EXPECT_EQ(small->getName(), "ORKA Sphere 2-4-1");

    const float radius = 2.5f;
    auto sphere = Mesh::create().withSphere(16, 32, radius).build();
    EXPECT_EQ(sphere->getName(), "ORKA Sphere 16-32-2.5");
    ASSERT_EQ(sphere->getVertexCount(), 6 * 16 * 33);
    expectConventionalAttributes(*sphere);
    expectUnitNormals(*sphere);
    const auto positions = sphere->getPositions();
    const auto normals = sphere->getNormals();
    const auto uvs = sphere->getUVs();
    for (size_t k = 0; k < positions.size(); k++) {
        ASSERT_NEAR(glm::length(positions[k]), radius, 1e-4f);
        expectNear(positions[k], normals[k] * radius, "position = normal * radius");
    }
    // First cell (j = 0, i = 0): grid vertices (0,0), (1,1), (0,1), (0,0), (1,0), (1,1).
    expectNear(positions[0], {0, -radius, 0}, "row 0 is the -y pole");
    const double phi1 = M_PI / 16 - M_PI / 2;
    const double theta1 = 2 * M_PI / 32;
    const glm::vec3 grid11(std::cos(theta1) * std::cos(phi1) * radius, std::sin(phi1) * radius,
                           std::sin(theta1) * std::cos(phi1) * radius);
    expectNear(positions[1], grid11, "grid (1, 1)");
    expectNear(positions[5], grid11, "grid (1, 1) again");
    EXPECT_EQ(uvs[1], glm::vec4(1.0f - 1.0f / 32, 1.0f / 16, 0, 0));
    EXPECT_EQ(uvs[4], glm::vec4(1.0f, 1.0f / 16, 0, 0)) << "grid (1, 0)";
    // The last column wraps to column 0: its pair of triangles has no area. Row 1, off the pole.
    const size_t seam = 33 * 6 + 32 * 6;
    expectNear(positions[seam], positions[seam + 2], "column 32 coincides with column 0");
    EXPECT_EQ(uvs[seam + 2].x, 1.0f) << "wrapped vertex is column 0";
    EXPECT_EQ(uvs[seam].x, 0.0f);
}

TEST_F(PrimitivesTest, TorusGridVerticesAndNormals) {
    auto torus = Mesh::create().withTorus(24, 12, 1.0f, 0.25f).build();
    EXPECT_EQ(torus->getName(), "ORKA Torus 24-12-1-0.25");
    ASSERT_EQ(torus->getVertexCount(), 6 * 24 * 13);
    expectConventionalAttributes(*torus);
    expectUnitNormals(*torus);
    const auto positions = torus->getPositions();
    const auto normals = torus->getNormals();
    expectNear(positions[0], {1.25f, 0, 0}, "grid (0, 0): outer rim on +x");
    const float a = 6.2831855f / 12;
    expectNear(positions[2], {1.0f + 0.25f * std::cos(a), 0, 0.25f * std::sin(a)}, "grid (0, 1)");
    for (size_t k = 0; k < positions.size(); k++) {
        // The normal points from the nearest point of the ring's centre circle to the vertex.
        const glm::vec3 p = positions[k];
        const glm::vec3 center = glm::vec3(glm::normalize(glm::vec2(p.x, p.y)), 0.0f);
        ASSERT_NEAR(glm::length(p - center), 0.25f, 1e-5f);
        expectNear(normals[k], (p - center) / 0.25f, "normal away from the centre circle");
    }
    EXPECT_EQ(torus->getUVs()[0], glm::vec4(1, 0, 0, 0));
    EXPECT_EQ(torus->getBoundsMinMax()[1].z, 0.25f);
}

TEST_F(PrimitivesTest, NamesFormatParametersAndYieldToGivenNames) {
    EXPECT_EQ(Mesh::create().withCube(100.0f).build()->getName(), "ORKA Cube 1e+02");
    EXPECT_EQ(Mesh::create().withQuad(0.123f).build()->getName(), "ORKA Quad 0.12");
    EXPECT_EQ(Mesh::create().withName("mine").withCube(0.5f).build()->getName(), "mine");
    EXPECT_EQ(Mesh::create().withCube(0.5f).withName("later").build()->getName(), "later");
    EXPECT_EQ(Mesh::create().withCube(0.5f).withQuad(1.0f).build()->getName(), "ORKA Cube 0.5")
        << "the first generator names the mesh";
}

TEST_F(PrimitivesTest, GridSizesBeyondEightBitsAreRefused) {
    auto largest = Mesh::create().withSphere(255, 3, 1.0f).build();
    EXPECT_EQ(largest->getVertexCount(), 6 * 255 * 4);
    const auto positions = largest->getPositions();
    expectNear(positions.back(), {0, 1, 0}, "the last row reaches the +y pole");

    struct Case {
        int first;
        int second;
        bool torus;
    };
    for (const Case& c : {Case{256, 4, false}, Case{4, 256, false}, Case{0, 4, false},
                          Case{4, -1, false}, Case{256, 4, true}, Case{4, 0, true}}) {
        LogCapture capture;
        auto builder = Mesh::create();
        if (c.torus) {
            builder.withTorus(c.first, c.second, 1.0f, 0.5f);
        } else {
            builder.withSphere(c.first, c.second, 1.0f);
        }
        ASSERT_EQ(capture.records.size(), 1u) << c.first << " x " << c.second;
        EXPECT_EQ(capture.records[0].type, LogType::Error);
        const std::string expected =
            std::string(c.torus ? "Torus needs 1 to 255 ring and tube segments"
                                : "Sphere needs 1 to 255 stacks and slices") +
            " (was " + std::to_string(c.first) + " and " + std::to_string(c.second) + ").";
        EXPECT_EQ(capture.records[0].message, expected);
        auto mesh = builder.build();
        EXPECT_EQ(mesh->getVertexCount(), 0) << "the builder is unchanged";
        EXPECT_EQ(mesh->getName(), "Unnamed Mesh");
    }
}

}  // namespace
}  // namespace orka
