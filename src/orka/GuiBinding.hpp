#pragma once

#include <SDL.h>

#include <cstdint>

struct ImDrawData;

namespace orka {

/// Everything the GUI binding keeps between calls; one instance per process.
struct GuiState {
    double time = 0.0;                             ///< seconds (SDL ticks) at the previous newFrame
    bool mousePressed[3] = {false, false, false};  ///< left, right, middle went down this frame
    float mouseWheel = 0.0f;                       ///< -1, 0 or +1 since the previous frame
    unsigned int fontTexture = 0;                  ///< 0 while the device objects do not exist
    unsigned int shaderHandle = 0;                 ///< GL program drawing the GUI, 0 while none
    unsigned int vertHandle = 0;                   ///< its vertex shader
    unsigned int fragHandle = 0;                   ///< its fragment shader
    int attribLocationTex = 0;                     ///< uniform location of the font sampler
    int attribLocationProjMtx = 0;                 ///< uniform location of the projection
    int attribLocationPosition = 0;                ///< attribute location of the 2D position
    int attribLocationUV = 0;               ///< attribute location of the texture coordinates
    int attribLocationColor = 0;            ///< attribute location of the RGBA8 colour
    unsigned int vboHandle = 0;             ///< GL vertex buffer of the draw lists
    unsigned int vaoHandle = 0;             ///< GL vertex array over it
    unsigned int elementsHandle = 0;        ///< GL index buffer of the draw lists
    SDL_GLContext deviceContext = nullptr;  ///< the GL context the device objects belong to
    std::uint64_t eventCount = 0;  ///< events offered to processEvent so far (for debug views)
    SDL_Event lastEvent{};         ///< the last of them
};

/// Binds Dear ImGui to SDL2 input and an OpenGL 3 context. All functions are main-thread only.
/// The Renderer initialises the binding before it creates its GL context; GL objects are made
/// lazily by the first newFrame and released when the Renderer releases its context.
class GuiBinding {
public:
    /// Creates the Dear ImGui context if there is none yet and sets key map and clipboard.
    /// Always returns true.
    static bool init(SDL_Window* window);

    /// Feeds one SDL event to Dear ImGui; true when it was GUI input (wheel, button, text, key).
    static bool processEvent(SDL_Event* event);

    /// Begins a GUI frame for `window`: creates the device objects on first use, then hands
    /// display size, time, mouse and wheel to Dear ImGui and calls ImGui::NewFrame().
    static void newFrame(SDL_Window* window);

    /// Draws Dear ImGui's draw lists (call it with ImGui::GetDrawData() right after
    /// ImGui::Render()). Leaves every piece of GL state it touches as it found it.
    static void renderDrawLists(ImDrawData* drawData);

    /// Makes the GUI program, buffers, vertex array and font texture in the current context.
    /// Returns false (after an error log) when the GUI program does not build.
    static bool createDeviceObjects();

    /// Deletes the device objects if they were made in `context`, which must be current, and
    /// returns the binding to its initial state; the next newFrame makes them again. The
    /// Renderer calls it before it deletes its context.
    static void shutdown(SDL_GLContext context);

    /// Read-only view of the binding's state.
    static const GuiState& state();
};

}  // namespace orka
