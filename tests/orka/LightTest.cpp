#include "orka/Light.hpp"

#include <gtest/gtest.h>

namespace orka {
namespace {

TEST(LightBuilder, ChainsPointAndDirectionalSettings) {
    const Light point = Light::create()
                            .withPointLight({1.0f, 2.0f, 3.0f})
                            .withColor({0.5f, 0.25f, 1.0f})
                            .withRange(12.0f)
                            .build();
    EXPECT_EQ(point.lightType, Light::LightType::Point);
    EXPECT_EQ(point.position, glm::vec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(point.color, glm::vec3(0.5f, 0.25f, 1.0f));
    EXPECT_EQ(point.range, 12.0f);

    const Light sun = Light::create().withDirectionalLight({0.0f, 1.0f, 1.0f}).build();
    EXPECT_EQ(sun.lightType, Light::LightType::Directional);
    EXPECT_EQ(sun.direction, glm::vec3(0.0f, 1.0f, 1.0f));
    EXPECT_EQ(Light::create().withUnused().build().lightType, Light::LightType::Unused);
}

TEST(LightBuilder, UpdateChangesTheLightInPlaceAndCopiesShareIt) {
    Light light;
    Light::LightBuilder builder = light.update();
    builder.withColor({0.0f, 1.0f, 0.0f});
    EXPECT_EQ(light.color, glm::vec3(0.0f, 1.0f, 0.0f));
    Light::LightBuilder copy = builder;
    copy.withRange(3.0f);
    EXPECT_EQ(light.range, 3.0f);

    // Builders from create() own their light: copies diverge.
    Light::LightBuilder first = Light::create();
    Light::LightBuilder second = first;
    second.withRange(7.0f);
    EXPECT_EQ(first.build().range, 0.0f);
    EXPECT_EQ(second.build().range, 7.0f);
}

}  // namespace
}  // namespace orka
