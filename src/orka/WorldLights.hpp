#pragma once

#include <glm/glm.hpp>
#include <vector>

#include "orka/Light.hpp"

namespace orka {

/// The lights of a scene and its ambient light. A render pass hands a pointer to it to every
/// shader it binds; only the first Renderer::maxSceneLights lights reach a shader.
class WorldLights {
public:
    /// Ambient (0.2, 0.2, 0.2), no lights.
    WorldLights() = default;

    /// Appends a copy; returns its index.
    int addLight(const Light& light);
    /// Erases the light at `index`; later lights move down by one. An index outside the list
    /// is an error log and changes nothing.
    void removeLight(int index);
    /// The light at `index`, or null when there is none. Valid until the next add or remove.
    Light* getLight(int index);
    /// Lights in the list, including those beyond what a shader receives.
    int lightCount() const { return static_cast<int>(lights.size()); }

    /// The least light every lit surface gets: a floor under the lights' share, not added to it.
    ///@{
    void setAmbientLight(const glm::vec3& light) { ambientLight = light; }
    glm::vec3 getAmbientLight() const { return ambientLight; }
    ///@}

private:
    glm::vec3 ambientLight{0.2f, 0.2f, 0.2f};
    std::vector<Light> lights;
};

}  // namespace orka
