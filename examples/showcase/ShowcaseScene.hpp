#pragma once

#include <memory>

#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderPass.hpp"
#include "orka/WorldLights.hpp"
#include "showcase/MonitorScreen.hpp"
#include "showcase/OrbitCamera.hpp"
#include "showcase/ParticleFountain.hpp"
#include "showcase/StatsWindow.hpp"
#include "showcase/WaveSurface.hpp"

namespace showcase {

/// What the showcase draws (positions in SceneLayout.hpp): a checkered floor quad, a cube, a
/// sphere and a torus with the Standard shader under one directional and two point lights, a
/// rippling surface whose mesh is updated every frame, a particle fountain, a monitor showing
/// an off-screen view of the solids, small unlit markers where the point lights are, and the
/// statistics window. Needs the renderer for its whole life; main thread only.
///
/// One frame is two render passes: the monitor's view (3 draws: cube, sphere, torus) and the
/// window (9 draws: floor, cube, sphere, torus, surface, monitor, two markers, fountain).
class ShowcaseScene {
public:
    ShowcaseScene();

    /// Advances animations and the orbiting viewer by `deltaTimeSec` seconds.
    void update(float deltaTimeSec);
    /// Draws the frame into the window (the GUI included); the caller presents it.
    void render();

    OrbitCamera& getViewer() { return viewer; }
    /// The lights the passes use; index 0 is the directional key light, 1 the warm and 2 the
    /// cool point light.
    orka::WorldLights& getLights() { return lights; }

    static constexpr int keyLightIndex = 0;
    static constexpr int warmLightIndex = 1;
    static constexpr int coolLightIndex = 2;

private:
    /// A mesh drawn with one material.
    struct Shape {
        std::shared_ptr<orka::Mesh> mesh;
        std::shared_ptr<orka::Material> material;
    };

    void setUpLights();
    void moveLights();
    void renderMonitorView();
    void drawSolids(orka::RenderPass& pass) const;
    void drawMarkers(orka::RenderPass& pass);

    glm::mat4 cubeTransform() const;
    glm::mat4 sphereTransform() const;
    glm::mat4 torusTransform() const;

    float timeSec = 0.0f;
    OrbitCamera viewer;
    orka::WorldLights lights;
    Shape floor;
    Shape cube;
    Shape sphere;
    Shape torus;
    std::shared_ptr<orka::Material> waveMaterial;
    std::shared_ptr<orka::Material> warmMarker;
    std::shared_ptr<orka::Material> coolMarker;
    WaveSurface wave;
    ParticleFountain fountain;
    MonitorScreen monitor;
    StatsWindow statsWindow;
};

}  // namespace showcase
