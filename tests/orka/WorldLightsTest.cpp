#include "orka/WorldLights.hpp"

#include <gtest/gtest.h>

#include "orka/LogCapture.hpp"

namespace orka {
namespace {

Light lightWithRange(float range) {
    return Light::create().withRange(range).build();
}

TEST(WorldLights, StartsEmptyWithDimAmbientLight) {
    WorldLights lights;
    EXPECT_EQ(lights.lightCount(), 0);
    EXPECT_EQ(lights.getAmbientLight(), glm::vec3(0.2f, 0.2f, 0.2f));
    EXPECT_EQ(lights.getLight(0), nullptr);
    lights.setAmbientLight({0.1f, 0.3f, 0.5f});
    EXPECT_EQ(lights.getAmbientLight(), glm::vec3(0.1f, 0.3f, 0.5f));
}

TEST(WorldLights, AddReturnsIndicesAndRemoveMovesLaterLightsDown) {
    WorldLights lights;
    EXPECT_EQ(lights.addLight(lightWithRange(1.0f)), 0);
    EXPECT_EQ(lights.addLight(lightWithRange(2.0f)), 1);
    lights.removeLight(0);
    ASSERT_EQ(lights.lightCount(), 1);
    ASSERT_NE(lights.getLight(0), nullptr);
    EXPECT_EQ(lights.getLight(0)->range, 2.0f);
    // The pointer reaches the stored light, not a copy.
    lights.getLight(0)->range = 5.0f;
    EXPECT_EQ(lights.getLight(0)->range, 5.0f);
}

TEST(WorldLights, IndicesOutsideTheListGiveNullOrAnError) {
    WorldLights lights;
    for (int i = 0; i < 4; ++i) lights.addLight(lightWithRange(static_cast<float>(i)));
    EXPECT_EQ(lights.getLight(4), nullptr);
    EXPECT_EQ(lights.getLight(-1), nullptr);
    EXPECT_NE(lights.getLight(3), nullptr);

    test::LogCapture capture;
    lights.removeLight(4);
    lights.removeLight(-1);
    EXPECT_EQ(lights.lightCount(), 4);
    ASSERT_EQ(capture.records.size(), 2u);
    EXPECT_EQ(capture.records[0].type, LogType::Error);
    EXPECT_EQ(capture.records[0].file, "src/orka/WorldLights");
    EXPECT_EQ(capture.records[0].message,
              "WorldLights::removeLight() index 4 out of range (4 lights)");
}

}  // namespace
}  // namespace orka
