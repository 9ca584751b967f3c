#include "orka/WorldLights.hpp"

#include "orka/Log.hpp"

namespace orka {

int WorldLights::addLight(const Light& light) {
    lights.push_back(light);
    return lightCount() - 1;
}

void WorldLights::removeLight(int index) {
    if (index < 0 || index >= lightCount()) {
        ORKA_LOG_ERROR("WorldLights::removeLight() index %i out of range (%i lights)", index,
                       lightCount());
        return;
    }
    lights.erase(lights.begin() + index);
}

Light* WorldLights::getLight(int index) {
    if (index < 0 || index >= lightCount()) return nullptr;
    return &lights[static_cast<std::size_t>(index)];
}

}  // namespace orka
