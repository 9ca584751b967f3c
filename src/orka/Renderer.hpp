#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <glm/glm.hpp>
#include <memory>
#include <vector>

#include "orka/BlendingSpace.hpp"
#include "orka/RenderStats.hpp"

namespace orka {

class Image;
struct RendererResources;

/// A rectangle of whole pixels: lower-left corner and size.
struct PixelArea {
    glm::ivec2 offset{0, 0};  ///< pixels from the lower-left corner of the drawable
    glm::ivec2 size{0, 0};    ///< width and height in pixels
    /// Same offset and size.
    bool operator==(const PixelArea& other) const {
        return offset == other.offset && size == other.size;
    }
};

/// The single owner of the OpenGL context. Created for a window by SDLRenderer::init; it loads
/// the GL entry points, sets the global GL state every draw assumes, counts resources and draw
/// work in RenderStats and presents frames. The window must outlive the renderer.
class Renderer {
public:
    /// Creates the GL context for `window`; requests vsync when `vsync` is true. A second live
    /// renderer is an error log and replaces the first as `instance`. A failing context or GLEW
    /// set-up is a fatal log (an exception with the default handler); nothing is left behind.
    /// With glibc it also raises the process's malloc trim and mmap thresholds (to 64 and
    /// 32 MiB), so a software driver's per-frame working memory stays mapped between frames;
    /// up to 64 MiB of freed heap may therefore stay resident. `blendingSpace` is fixed for the
    /// renderer's life: the window must have been made for it (see SDLRenderer).
    Renderer(SDL_Window* window, bool vsync, BlendingSpace blendingSpace = BlendingSpace::Linear);
    /// Releases the built-in resources (unless something else still holds them), the GUI's GL
    /// objects and the context; the registered objects are not touched.
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    /// Window size in screen coordinates; (0, 0) when SDL cannot tell.
    glm::ivec2 getWindowSize() const;
    /// Size of the default framebuffer in pixels (what render passes set viewports from).
    glm::ivec2 getDrawableSize() const;
    /// A fixed logical size for the window's picture: render passes into the window then draw
    /// into the largest centred part of the drawable with its aspect ratio (the rest of the
    /// drawable stays black) and compute projections for this size, so a window of any size
    /// shows the same view, scaled. (0, 0), the default, draws into the whole drawable.
    void setLogicalSize(glm::ivec2 size);
    /// The size set by setLogicalSize; (0, 0) when none is.
    glm::ivec2 getLogicalSize() const { return logicalSize; }
    /// The part of the drawable that render passes into the window draw into, in pixels.
    PixelArea getWindowArea() const;
    /// The largest rectangle of `logical`'s aspect ratio centred in `drawable`; all of
    /// `drawable` when `logical` has no extent.
    static PixelArea fitAspect(glm::ivec2 drawable, glm::ivec2 logical);

    /// Statistics of the last presented frame.
    const RenderStats& getRenderStats() const { return renderStatsLast; }
    /// True only if vsync was requested and the driver accepted it.
    bool usesVSync() const { return vsync; }
    /// Where colours are mixed, as chosen before the window opened.
    BlendingSpace getBlendingSpace() const { return blendingSpace; }

    /// Ends the frame: finishes a render pass that is still current, hands the window's
    /// picture to the captures asked for, rolls the statistics over (renderStatsLast =
    /// renderStats, frame + 1, per-frame counters zeroed) and presents.
    void swapWindow();

    /// Asks for a screenshot: `receive` is called once with the window's whole drawable, rows
    /// from the top, in the colours seen on screen, when the frame being drawn is complete (in
    /// the next swapWindow, before it is presented). Captures run in the order asked; one asked
    /// from inside `receive` waits for the frame after.
    void captureWindow(std::function<void(const Image&)> receive);

    /// The live renderer, or null. Objects that need GL refuse to be created without it.
    static Renderer* instance;
    /// Lights a shader receives.
    static constexpr int maxSceneLights = 4;

    /// Hook for RenderPass: it stores its static finish() here when a pass begins, and
    /// swapWindow calls it (when set) so that a pass still current at the end of the frame is
    /// finished (GUI rendered). finish() itself does nothing when no pass is current.
    ///@{
    using RenderPassFinisher = void (*)();
    static RenderPassFinisher renderPassFinisher;
    ///@}

    /// Counters of the frame being drawn; resources and render passes update them directly.
    RenderStats renderStats;

    /// Tells this renderer (and its context) apart from every other one of the process, even
    /// one made later at the same address: GL objects are deleted only by the renderer, and
    /// in the context, that made them.
    std::uint64_t getSerial() const { return serial; }

private:
    /// Reaches the engine-internal registries and built-ins.
    friend RendererResources& resourcesOf(Renderer& renderer);

    bool createContext();
    void setGlobalGLState();
    void release();

    void deliverWindowCaptures();

    SDL_Window* window;
    std::uint64_t serial;
    std::vector<std::function<void(const Image&)>> windowCaptures;
    SDL_GLContext glcontext = nullptr;
    bool vsync;
    BlendingSpace blendingSpace;
    RenderStats renderStatsLast;
    glm::ivec2 logicalSize{0, 0};
    // The engine's registries and built-ins (engine-internal); never null.
    std::unique_ptr<RendererResources> resources;
};

}  // namespace orka
