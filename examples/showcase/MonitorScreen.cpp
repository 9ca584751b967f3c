#include "showcase/MonitorScreen.hpp"

#include "orka/Shader.hpp"

namespace showcase {

namespace {

constexpr float fieldOfViewDegrees = 60.0f;
constexpr float nearPlane = 0.1f;
constexpr float farPlane = 50.0f;

}  // namespace

MonitorScreen::MonitorScreen(glm::vec3 eye, glm::vec3 target, unsigned int pixels) {
    camera.setPerspectiveProjection(fieldOfViewDegrees, nearPlane, farPlane);
    camera.lookAt(eye, target);
    framebuffer = orka::Framebuffer::create()
                      .withName("Monitor")
                      .withSize(pixels, pixels)
                      .withColorTexture()
                      .withDepth(true)
                      .build();
    quad = orka::Mesh::create().withQuad(1.0f).build();
    material = orka::Shader::getUnlit()->createMaterial();
    material->setName("Monitor picture");
    // The framebuffer logs why when it cannot be made; the monitor then stays white.
    if (framebuffer != nullptr) material->setTexture(framebuffer->getTextures().at(0));
}

orka::RenderPass MonitorScreen::beginPass(orka::WorldLights* lights, glm::vec4 clearColor) const {
    return orka::RenderPass::create()
        .withName("Monitor view")
        .withFramebuffer(framebuffer)
        .withCamera(camera)
        .withWorldLights(lights)
        .withClearColor(true, clearColor)
        .withGUI(false)
        .build();
}

void MonitorScreen::draw(orka::RenderPass& pass, const glm::mat4& modelTransform) const {
    pass.draw(quad, modelTransform, material);
}

}  // namespace showcase
