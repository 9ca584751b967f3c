#pragma once

#include <glm/glm.hpp>
#include <memory>

#include "orka/Camera.hpp"
#include "orka/Framebuffer.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderPass.hpp"
#include "orka/WorldLights.hpp"

namespace showcase {

/// A second view of the scene: a camera that renders into an off-screen framebuffer, and a quad
/// that shows the framebuffer's colour texture in the scene like a monitor (Unlit shader, so the
/// picture keeps its own lighting). Needs the renderer while it exists.
class MonitorScreen {
public:
    static constexpr unsigned int defaultPixels = 256;

    /// A square framebuffer of `pixels` x `pixels` with a depth buffer, seen through a
    /// perspective camera from `eye` towards `target` (world units).
    MonitorScreen(glm::vec3 eye, glm::vec3 target, unsigned int pixels = defaultPixels);

    /// Begins a pass into the framebuffer, cleared to `clearColor`, without the GUI. The lights
    /// are not owned and must outlive the pass. Draw into it, then let it go before drawing the
    /// monitor. Only for a monitor with a framebuffer (see getFramebuffer).
    orka::RenderPass beginPass(orka::WorldLights* lights, glm::vec4 clearColor) const;
    /// Draws the monitor quad (facing +z, half edge 1 before `modelTransform`) with the picture.
    void draw(orka::RenderPass& pass, const glm::mat4& modelTransform) const;

    /// Empty when the framebuffer could not be made (the engine logged why); the monitor then
    /// shows white.
    const std::shared_ptr<orka::Framebuffer>& getFramebuffer() const { return framebuffer; }

private:
    orka::Camera camera;
    std::shared_ptr<orka::Framebuffer> framebuffer;
    std::shared_ptr<orka::Mesh> quad;
    std::shared_ptr<orka::Material> material;
};

}  // namespace showcase
