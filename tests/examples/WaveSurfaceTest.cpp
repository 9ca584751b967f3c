#include "showcase/WaveSurface.hpp"

#include <gtest/gtest.h>

#include "orka/GLTestEnvironment.hpp"

namespace showcase {
namespace {

constexpr float tolerance = 1e-4f;

TEST(WaveSurfaceTest, UpdateMovesTheVerticesOfTheSameMeshToTheNewHeights) {
    orka::test::testRenderer();
    WaveSurface wave(2.0f, 0.2f, 8);
    const std::shared_ptr<orka::Mesh> mesh = wave.getMesh();
    ASSERT_EQ(mesh->getVertexCount(), 9 * 9);
    EXPECT_EQ(mesh->getIndicesSize(0), 8 * 8 * 6);

    wave.update(1.25f);
    EXPECT_EQ(wave.getMesh(), mesh);
    const std::vector<glm::vec3> positions = mesh->getPositions();
    const std::vector<glm::vec3> normals = mesh->getNormals();
    ASSERT_EQ(positions.size(), 81u);
    ASSERT_EQ(normals.size(), 81u);
    int moved = 0;
    for (const glm::vec3& position : positions) {
        EXPECT_NEAR(position.y, wave.heightAt(position.x, position.z, 1.25f), tolerance);
        if (std::abs(position.y - wave.heightAt(position.x, position.z, 0.0f)) > 0.01f) ++moved;
    }
    EXPECT_GT(moved, 40);
    EXPECT_EQ(mesh->getUVs().size(), 81u);  // untouched attributes stay
}

TEST(WaveSurfaceTest, NormalsAreUnitAndPerpendicularToTheSurface) {
    orka::test::testRenderer();
    WaveSurface wave(2.0f, 0.3f, 8);
    wave.update(0.7f);
    const std::vector<glm::vec3> positions = wave.getMesh()->getPositions();
    const std::vector<glm::vec3> normals = wave.getMesh()->getNormals();
    const float step = 1e-3f;
    for (size_t i = 0; i < positions.size(); ++i) {
        const glm::vec3 p = positions[i];
        // Tangents along x and z from the height function itself.
        const glm::vec3 alongX(
            2 * step, wave.heightAt(p.x + step, p.z, 0.7f) - wave.heightAt(p.x - step, p.z, 0.7f),
            0.0f);
        const glm::vec3 alongZ(
            0.0f, wave.heightAt(p.x, p.z + step, 0.7f) - wave.heightAt(p.x, p.z - step, 0.7f),
            2 * step);
        EXPECT_NEAR(glm::length(normals[i]), 1.0f, tolerance);
        EXPECT_NEAR(glm::dot(normals[i], glm::normalize(alongX)), 0.0f, 1e-2f) << i;
        EXPECT_NEAR(glm::dot(normals[i], glm::normalize(alongZ)), 0.0f, 1e-2f) << i;
        EXPECT_GT(normals[i].y, 0.0f);
    }
}

}  // namespace
}  // namespace showcase
