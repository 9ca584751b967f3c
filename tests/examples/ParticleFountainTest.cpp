#include "showcase/ParticleFountain.hpp"

#include <gtest/gtest.h>

#include "orka/GLTestEnvironment.hpp"
#include "orka/Shader.hpp"

namespace showcase {
namespace {

TEST(ParticleFountainTest, SparksStayAboveTheNozzleAndKeepTheirNumberFrameAfterFrame) {
    orka::test::testRenderer();
    ParticleFountain fountain(50);
    const std::shared_ptr<orka::Mesh> mesh = fountain.getMesh();
    EXPECT_EQ(mesh->getMeshTopology(0), orka::MeshTopology::Points);
    std::string missing;
    EXPECT_TRUE(orka::Shader::getStandardParticles()->validateMesh(mesh.get(), missing)) << missing;

    const std::vector<glm::vec3> start = mesh->getPositions();
    constexpr int frames = 240;  // four seconds: every spark is thrown again at least once
    for (int i = 0; i < frames; ++i) fountain.update(1.0f / 60.0f);
    EXPECT_EQ(fountain.getMesh(), mesh);
    const std::vector<glm::vec3> positions = mesh->getPositions();
    ASSERT_EQ(positions.size(), 50u);
    EXPECT_NE(positions, start);
    for (const glm::vec3& position : positions) {
        EXPECT_GE(position.y, 0.0f);
        EXPECT_LT(glm::length(glm::vec2(position.x, position.z)), 3.0f);
    }
    EXPECT_EQ(mesh->getColors().size(), 50u);
    EXPECT_EQ(mesh->getParticleSizes().size(), 50u);
}

}  // namespace
}  // namespace showcase
