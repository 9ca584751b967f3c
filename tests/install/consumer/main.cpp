// Built against an installed orka outside the engine's tree: draws one frame of a red quad
// that covers the window, prints the colour at the window's centre and exits.
#include <GL/glew.h>

#include <cstdio>
#include <memory>

#include "orka/Camera.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/Shader.hpp"
#include "orka/Version.hpp"

int main() {
    orka::SDLRenderer window;
    window.setWindowTitle("Installed orka");
    window.init();
    if (window.getSDLWindow() == nullptr) return 1;

    orka::Camera camera;
    camera.setOrthographicProjection(1.0f, 0.1f, 10.0f);
    camera.lookAt({0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f});
    std::shared_ptr<orka::Mesh> quad = orka::Mesh::create().withQuad(4.0f).build();
    std::shared_ptr<orka::Material> material = orka::Shader::getUnlit()->createMaterial();
    material->setColor({1.0f, 0.0f, 0.0f, 1.0f});

    window.frameRender = [&] {
        {
            orka::RenderPass pass = orka::RenderPass::create().withCamera(camera).build();
            pass.draw(quad, glm::mat4(1.0f), material);
        }  // drawn once the pass ends
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window.getSDLWindow(), &width, &height);
        unsigned char rgba[4] = {};
        glReadPixels(width / 2, height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        std::printf("orka %s drew centre %d %d %d\n", orka::kEngineVersion, rgba[0], rgba[1],
                    rgba[2]);
        window.stopEventLoop();
    };
    window.startEventLoop();
    return 0;
}
