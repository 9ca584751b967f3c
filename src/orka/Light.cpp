#include "orka/Light.hpp"

namespace orka {

Light::LightBuilder Light::create() {
    return LightBuilder();
}

Light::LightBuilder Light::update() {
    return LightBuilder(*this);
}

Light::LightBuilder& Light::LightBuilder::withPointLight(glm::vec3 position) {
    light().lightType = LightType::Point;
    light().position = position;
    return *this;
}

Light::LightBuilder& Light::LightBuilder::withDirectionalLight(glm::vec3 direction) {
    light().lightType = LightType::Directional;
    light().direction = direction;
    return *this;
}

Light::LightBuilder& Light::LightBuilder::withColor(glm::vec3 color) {
    light().color = color;
    return *this;
}

Light::LightBuilder& Light::LightBuilder::withRange(float range) {
    light().range = range;
    return *this;
}

Light::LightBuilder& Light::LightBuilder::withUnused() {
    light().lightType = LightType::Unused;
    return *this;
}

Light Light::LightBuilder::build() const {
    return light();
}

}  // namespace orka
