#include "showcase/ParticleFountain.hpp"

#include <algorithm>

#include "orka/Shader.hpp"
#include "orka/Texture.hpp"

namespace showcase {

namespace {

const glm::vec3 gravity{0.0f, -5.0f, 0.0f};  // world units per second squared
constexpr float launchSpeedMin = 4.2f;       // world units per second, upwards
constexpr float launchSpeedMax = 5.2f;
constexpr float sidewaysSpeed = 0.9f;
constexpr float lifetimeMin = 1.2f;  // seconds
constexpr float lifetimeMax = 1.9f;
// Point size in pixels at one world unit from the eye on a 600 pixel high viewport; the shader
// divides by the distance.
constexpr float sparkSizeNew = 260.0f;
constexpr float sparkSizeOld = 90.0f;
const glm::vec4 sparkColorNew{1.0f, 0.85f, 0.4f, 1.0f};
const glm::vec4 sparkColorOld{0.9f, 0.15f, 0.05f, 0.6f};
// Whole sphere texture: lower-left corner (0, 0) and size 1; uv.w carries the rotation.
constexpr float wholeTexture = 1.0f;

}  // namespace

ParticleFountain::ParticleFountain(int count, unsigned int seed) : random(seed) {
    sparks.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        // Start with sparks at every stage of their flight, not one burst.
        sparks.push_back(launchMidFlight());
    }
    material = orka::Shader::getStandardParticles()->createMaterial();
    material->setTexture(orka::Texture::getSphereTexture());
    upload();
}

void ParticleFountain::update(float deltaTimeSec) {
    for (Spark& spark : sparks) {
        advance(spark, deltaTimeSec);
        // Sparks end with their life or at the floor, whichever comes first.
        if (spark.age >= spark.lifetime || spark.position.y < 0.0f) spark = launch();
    }
    upload();
}

ParticleFountain::Spark ParticleFountain::launch() {
    std::uniform_real_distribution<float> sideways(-sidewaysSpeed, sidewaysSpeed);
    std::uniform_real_distribution<float> upwards(launchSpeedMin, launchSpeedMax);
    std::uniform_real_distribution<float> lifetime(lifetimeMin, lifetimeMax);
    std::uniform_real_distribution<float> angle(0.0f, glm::radians(360.0f));
    Spark spark;
    spark.velocity = {sideways(random), upwards(random), sideways(random)};
    spark.lifetime = lifetime(random);
    spark.spin = angle(random);
    return spark;
}

ParticleFountain::Spark ParticleFountain::launchMidFlight() {
    Spark spark = launch();
    const float age = std::uniform_real_distribution<float>(0.0f, spark.lifetime)(random);
    // Where a spark thrown `age` seconds ago is now, exactly.
    spark.position = spark.velocity * age + 0.5f * gravity * age * age;
    spark.velocity += gravity * age;
    spark.age = age;
    return spark.position.y < 0.0f ? launch() : spark;
}

void ParticleFountain::advance(Spark& spark, float deltaTimeSec) const {
    spark.velocity += gravity * deltaTimeSec;
    spark.position += spark.velocity * deltaTimeSec;
    spark.age += deltaTimeSec;
}

void ParticleFountain::upload() {
    std::vector<glm::vec3> positions;
    std::vector<float> sizes;
    std::vector<glm::vec4> uvs;
    std::vector<glm::vec4> colors;
    for (const Spark& spark : sparks) {
        const float life = std::clamp(spark.age / spark.lifetime, 0.0f, 1.0f);
        positions.push_back(spark.position);
        sizes.push_back(glm::mix(sparkSizeNew, sparkSizeOld, life));
        uvs.emplace_back(0.0f, 0.0f, wholeTexture, spark.spin);
        colors.push_back(glm::mix(sparkColorNew, sparkColorOld, life));
    }
    // The first upload makes the mesh; later ones refill it in place.
    orka::Mesh::MeshBuilder builder =
        mesh != nullptr ? mesh->update()
                        : orka::Mesh::create().withMeshTopology(orka::MeshTopology::Points);
    mesh = builder.withName("Particle fountain")
               .withPositions(positions)
               .withParticleSizes(sizes)
               .withUVs(uvs)
               .withColors(colors)
               .build();
}

}  // namespace showcase
