#pragma once

#include <glm/glm.hpp>

namespace orka {

/// One scene light, a plain value. Shaders receive the first Renderer::maxSceneLights lights of
/// a WorldLights set, transformed into eye space.
class Light {
public:
    /// What a light's position and direction mean; an `Unused` light lights nothing.
    enum class LightType { Point = 0, Directional = 1, Unused = 2 };

    class LightBuilder;

    /// A builder for a new light: white point light at the origin without attenuation.
    static LightBuilder create();
    /// A builder that changes this light in place; the light must outlive it.
    LightBuilder update();

    LightType lightType = LightType::Point;  ///< which of position and direction is used
    glm::vec3 position{0.0f, 0.0f, 0.0f};    ///< world position of a point light
    glm::vec3 direction{0.0f, 0.0f, 1.0f};   ///< world direction towards a directional light
    glm::vec3 color{1.0f, 1.0f, 1.0f};       ///< colour, also the intensity
    float range = 0.0f;  ///< point-light range in world units; 0 or less: no attenuation
};

/// Fills the Light it refers to: the one from update(), or its own copy for create().
/// Copyable: a copy refers to the same light (or copies the own one); the `with…` operations
/// chain.
class Light::LightBuilder {
public:
    /// A point light at `position`.
    LightBuilder& withPointLight(glm::vec3 position);
    /// A directional light; `direction` points from the scene towards the light.
    LightBuilder& withDirectionalLight(glm::vec3 direction);
    /// RGB, also the intensity: components above 1 make a brighter light.
    LightBuilder& withColor(glm::vec3 color);
    /// Point-light range in world units: the light fades to nothing there; 0: no attenuation.
    LightBuilder& withRange(float range);
    /// Marks the light as not lighting anything (its shader slot is skipped).
    LightBuilder& withUnused();
    /// The light as filled so far.
    Light build() const;

private:
    friend class Light;
    LightBuilder() = default;
    explicit LightBuilder(Light& changed) : target(&changed) {}
    Light& light() { return target != nullptr ? *target : own; }
    const Light& light() const { return target != nullptr ? *target : own; }

    Light own;
    Light* target = nullptr;  ///< null when the builder fills its own copy
};

}  // namespace orka
