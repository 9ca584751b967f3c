#include "showcase/ShowcaseScene.hpp"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <vector>

#include "orka/Light.hpp"
#include "orka/Renderer.hpp"
#include "orka/Shader.hpp"
#include "orka/Texture.hpp"
#include "showcase/SceneLayout.hpp"

namespace showcase {

namespace {

const glm::mat4 identity(1.0f);
const glm::vec3 upAxis{0.0f, 1.0f, 0.0f};
const glm::vec3 rightAxis{1.0f, 0.0f, 0.0f};

// Animation speeds, in degrees per second.
constexpr float cubeSpin = 25.0f;
constexpr float torusSpin = -35.0f;
// The point lights sway around their places: amplitude in world units, speed in radians/s.
const glm::vec3 lightSway{0.6f, 0.3f, 0.0f};
constexpr float lightSwaySpeed = 0.9f;

constexpr float waveAmplitude = 0.18f;
constexpr float markerRadius = 0.12f;
constexpr int sphereStacks = 24;
constexpr int sphereSlices = 48;
constexpr int torusRingSegments = 48;
constexpr int torusTubeSegments = 24;

// Floor texture: 8 x 8 squares of 8 texels in two greys (linear values).
constexpr int checkerTexels = 64;
constexpr int checkerSquare = 8;
constexpr unsigned char checkerLight = 150;
constexpr unsigned char checkerDark = 90;

std::shared_ptr<orka::Texture> checkerTexture() {
    std::vector<char> rgb;
    rgb.reserve(checkerTexels * checkerTexels * 3);
    for (int y = 0; y < checkerTexels; ++y) {
        for (int x = 0; x < checkerTexels; ++x) {
            const bool light = (x / checkerSquare + y / checkerSquare) % 2 == 0;
            rgb.insert(rgb.end(), 3, static_cast<char>(light ? checkerLight : checkerDark));
        }
    }
    return orka::Texture::create()
        .withName("Checker")
        .withRGBData(rgb.data(), checkerTexels, checkerTexels)
        .withGenerateMipmaps(true)
        .build();
}

std::shared_ptr<orka::Material> standardMaterial(glm::vec4 color, float specularity) {
    std::shared_ptr<orka::Material> material = orka::Shader::getStandard()->createMaterial();
    material->setColor(color);
    material->setSpecularity(specularity);
    return material;
}

std::shared_ptr<orka::Material> unlitMaterial(glm::vec3 color) {
    std::shared_ptr<orka::Material> material = orka::Shader::getUnlit()->createMaterial();
    material->setColor(glm::vec4(color, 1.0f));
    return material;
}

glm::mat4 turnedAboutY(glm::vec3 position, float degrees) {
    return glm::rotate(glm::translate(identity, position), glm::radians(degrees), upAxis);
}

glm::mat4 placedAndScaled(glm::vec3 position, float scale) {
    return glm::scale(glm::translate(identity, position), glm::vec3(scale));
}

// The quad faces +z; the floor faces up.
glm::mat4 floorTransform() {
    return glm::rotate(identity, glm::radians(-90.0f), rightAxis);
}

}  // namespace

ShowcaseScene::ShowcaseScene()
    : viewer(layout::viewTarget, layout::viewDistance, layout::viewStartAzimuthDegrees,
             layout::viewStartElevationDegrees, layout::viewFieldOfViewDegrees),
      wave(layout::waveHalfSize, waveAmplitude),
      monitor(layout::monitorCameraEye, layout::sphereCentre) {
    floor = {orka::Mesh::create().withQuad(layout::floorHalfSize).build(),
             standardMaterial({1.0f, 1.0f, 1.0f, 1.0f}, 0.0f)};
    floor.material->setTexture(checkerTexture());
    cube = {orka::Mesh::create().withCube(layout::cubeHalfEdge).build(),
            standardMaterial({0.85f, 0.25f, 0.2f, 1.0f}, 16.0f)};
    // A unit sphere, scaled where it is drawn: the light markers share it.
    sphere = {orka::Mesh::create().withSphere(sphereStacks, sphereSlices, 1.0f).build(),
              standardMaterial({0.9f, 0.9f, 0.9f, 1.0f}, 48.0f)};
    torus = {orka::Mesh::create()
                 .withTorus(torusRingSegments, torusTubeSegments, layout::torusRingRadius,
                            layout::torusTubeRadius)
                 .build(),
             standardMaterial({0.25f, 0.7f, 0.35f, 1.0f}, 24.0f)};
    waveMaterial = standardMaterial({0.3f, 0.6f, 1.0f, 1.0f}, 32.0f);
    warmMarker = unlitMaterial(layout::warmLightColor);
    coolMarker = unlitMaterial(layout::coolLightColor);
    setUpLights();
}

void ShowcaseScene::setUpLights() {
    lights.setAmbientLight(layout::ambientLight);
    lights.addLight(orka::Light::create()
                        .withDirectionalLight(glm::normalize(layout::keyLightTowards))
                        .withColor(layout::keyLightColor)
                        .build());
    lights.addLight(orka::Light::create()
                        .withPointLight(layout::warmLightPosition)
                        .withColor(layout::warmLightColor)
                        .withRange(layout::pointLightRange)
                        .build());
    lights.addLight(orka::Light::create()
                        .withPointLight(layout::coolLightPosition)
                        .withColor(layout::coolLightColor)
                        .withRange(layout::pointLightRange)
                        .build());
}

void ShowcaseScene::update(float deltaTimeSec) {
    timeSec += deltaTimeSec;
    viewer.update(deltaTimeSec);
    moveLights();
    wave.update(timeSec);
    fountain.update(deltaTimeSec);
}

// The two point lights sway in opposite directions. Only their places change, so a light
// switched off stays off.
void ShowcaseScene::moveLights() {
    const float phase = lightSwaySpeed * timeSec;
    const glm::vec3 sway = lightSway * glm::vec3(std::sin(phase), std::sin(2.0f * phase), 0.0f);
    if (orka::Light* warm = lights.getLight(warmLightIndex)) {
        warm->position = layout::warmLightPosition + sway;
    }
    if (orka::Light* cool = lights.getLight(coolLightIndex)) {
        cool->position = layout::coolLightPosition - sway;
    }
}

void ShowcaseScene::render() {
    if (monitor.getFramebuffer() != nullptr) renderMonitorView();
    orka::RenderPass pass = orka::RenderPass::create()
                                .withName("Showcase")
                                .withCamera(viewer.getCamera())
                                .withWorldLights(&lights)
                                .withClearColor(true, layout::backgroundColor)
                                .build();
    // Lit shapes first, then the unlit ones, then the additive sparks, which test depth but
    // do not write it: grouped by shader, the pass switches programs only three times.
    pass.draw(floor.mesh, floorTransform(), floor.material);
    drawSolids(pass);
    pass.draw(wave.getMesh(), glm::translate(identity, layout::waveCentre), waveMaterial);
    monitor.draw(pass, placedAndScaled(layout::monitorCentre, layout::monitorHalfSize));
    drawMarkers(pass);
    pass.draw(fountain.getMesh(), glm::translate(identity, layout::fountainBase),
              fountain.getMaterial());
    statsWindow.draw(orka::Renderer::instance->getRenderStats());
    // The pass ends here: the GUI is rendered and the window's framebuffer stays bound.
}

void ShowcaseScene::renderMonitorView() {
    orka::RenderPass pass = monitor.beginPass(&lights, layout::monitorClearColor);
    drawSolids(pass);
}

void ShowcaseScene::drawSolids(orka::RenderPass& pass) const {
    pass.draw(cube.mesh, cubeTransform(), cube.material);
    pass.draw(sphere.mesh, sphereTransform(), sphere.material);
    pass.draw(torus.mesh, torusTransform(), torus.material);
}

void ShowcaseScene::drawMarkers(orka::RenderPass& pass) {
    if (const orka::Light* warm = lights.getLight(warmLightIndex)) {
        pass.draw(sphere.mesh, placedAndScaled(warm->position, markerRadius), warmMarker);
    }
    if (const orka::Light* cool = lights.getLight(coolLightIndex)) {
        pass.draw(sphere.mesh, placedAndScaled(cool->position, markerRadius), coolMarker);
    }
}

glm::mat4 ShowcaseScene::cubeTransform() const {
    return turnedAboutY(layout::cubeCentre, layout::cubeStartYawDegrees + cubeSpin * timeSec);
}

glm::mat4 ShowcaseScene::sphereTransform() const {
    return placedAndScaled(layout::sphereCentre, layout::sphereRadius);
}

glm::mat4 ShowcaseScene::torusTransform() const {
    return turnedAboutY(layout::torusCentre, torusSpin * timeSec);
}

}  // namespace showcase
