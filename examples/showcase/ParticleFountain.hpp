#pragma once

#include <glm/glm.hpp>
#include <memory>
#include <random>
#include <vector>

#include "orka/Material.hpp"
#include "orka/Mesh.hpp"

namespace showcase {

/// Glowing sparks thrown up from a nozzle at the origin; they fall back under gravity and are
/// thrown again when their life ends. Simulated on the CPU and drawn as one mesh of points with
/// the Standard Particles shader (additive blending, point sprites of the engine's sphere
/// texture); the mesh is uploaded again every update. Seeded, so runs repeat exactly. Needs the
/// renderer while it exists. World units and seconds.
class ParticleFountain {
public:
    static constexpr int defaultCount = 300;
    static constexpr unsigned int defaultSeed = 7;

    explicit ParticleFountain(int count = defaultCount, unsigned int seed = defaultSeed);

    /// Advances every spark by `deltaTimeSec` and uploads the new points. A spark whose life
    /// is over or that fell below the nozzle is thrown again.
    void update(float deltaTimeSec);
    const std::shared_ptr<orka::Mesh>& getMesh() const { return mesh; }
    const std::shared_ptr<orka::Material>& getMaterial() const { return material; }

private:
    struct Spark {
        glm::vec3 position{0.0f};
        glm::vec3 velocity{0.0f};
        float age = 0.0f;       ///< seconds since it left the nozzle
        float lifetime = 1.0f;  ///< seconds
        float spin = 0.0f;      ///< texture rotation in radians
    };

    Spark launch();
    Spark launchMidFlight();
    void advance(Spark& spark, float deltaTimeSec) const;
    void upload();

    std::mt19937 random;
    std::vector<Spark> sparks;
    std::shared_ptr<orka::Mesh> mesh;
    std::shared_ptr<orka::Material> material;
};

}  // namespace showcase
