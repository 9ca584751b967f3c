// A complete orka program: a window, a camera, a lit cube and one render pass per frame.
#include <glm/gtc/matrix_transform.hpp>

#include "orka/Camera.hpp"
#include "orka/Light.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/Shader.hpp"
#include "orka/WorldLights.hpp"

int main() {
    // The window owns the OpenGL context; engine objects are made after it and die before it.
    orka::SDLRenderer window;
    window.setWindowTitle("Minimal orka program");
    window.init();
    if (window.getSDLWindow() == nullptr) return 1;

    orka::Camera camera;
    camera.setPerspectiveProjection(60.0f, 0.1f, 100.0f);  // degrees, near, far
    camera.lookAt({0.0f, 1.5f, 4.0f}, {0.0f, 0.0f, 0.0f});

    orka::WorldLights lights;
    lights.addLight(orka::Light::create().withDirectionalLight({1.0f, 1.0f, 1.0f}).build());

    std::shared_ptr<orka::Mesh> cube = orka::Mesh::create().withCube(1.0f).build();
    std::shared_ptr<orka::Material> material = orka::Shader::getStandard()->createMaterial();
    material->setColor({0.9f, 0.4f, 0.1f, 1.0f});

    float angle = 0.0f;  // radians
    window.frameUpdate = [&](float deltaTimeSec) { angle += deltaTimeSec; };
    window.keyEvent = [&](SDL_Event& event) {
        if (event.key.keysym.sym == SDLK_ESCAPE) window.stopEventLoop();
    };
    window.frameRender = [&] {
        orka::RenderPass pass =
            orka::RenderPass::create().withCamera(camera).withWorldLights(&lights).build();
        pass.draw(cube, glm::rotate(glm::mat4(1.0f), angle, {0.0f, 1.0f, 0.0f}), material);
    };                        // the pass ends here; the window presents the frame
    window.startEventLoop();  // until Escape or the window is closed
    return 0;
}
