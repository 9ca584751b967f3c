#include "orka/Renderer.hpp"

#include <GL/glew.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <utility>
#include <vector>

#include "orka/BatchBufferPool.hpp"
#include "orka/GuiBinding.hpp"
#include "orka/Image.hpp"
#include "orka/Log.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/RendererResources.hpp"
#include "orka/ScreenCapture.hpp"
#include "orka/Shader.hpp"
#include "orka/Texture.hpp"
#include "orka/Version.hpp"

namespace orka {

namespace {

// GL_POINT_SPRITE left core OpenGL with 3.1: only older contexts and compatibility profiles
// know it, and a core context rejects it with GL_INVALID_ENUM.
bool hasPointSprite() {
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (glGetError() != GL_NO_ERROR) {
        // Before 3.0 there are no such queries: an old context.
        while (glGetError() != GL_NO_ERROR) {
        }
        return true;
    }
    if (major == 3 && minor == 0) return true;
    if (major == 3 && minor == 1) return GLEW_ARB_compatibility != 0;
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    return (profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT) != 0;
}

// A software GL driver (llvmpipe) allocates and frees tens of megabytes of working memory on
// the heap every frame when many small quads are drawn. glibc gives freed memory at the top of
// the heap back to the system once more than the trim threshold (128 KiB, until a large
// block is freed) lies there, so every frame faulted those pages in again: about 5,000 page
// faults a frame for 50,000 sprites, a third of the frame. Batch builders reuse their lists,
// so no large free raises the thresholds by itself any longer; the renderer raises them once.
void keepFrameMemory() {
#ifdef __GLIBC__
    constexpr int trimThresholdBytes = 64 << 20;
    constexpr int mmapThresholdBytes = 32 << 20;  // glibc's own ceiling for its adaptive one
    mallopt(M_TRIM_THRESHOLD, trimThresholdBytes);
    mallopt(M_MMAP_THRESHOLD, mmapThresholdBytes);
#endif
}

const char* glString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "(unknown)";
}

}  // namespace

Renderer* Renderer::instance = nullptr;
Renderer::RenderPassFinisher Renderer::renderPassFinisher = nullptr;

namespace {
std::uint64_t rendererCount = 0;
}  // namespace

Renderer::Renderer(SDL_Window* window, bool vsync, BlendingSpace blendingSpace)
    : window(window),
      serial(++rendererCount),
      vsync(vsync),
      blendingSpace(blendingSpace),
      resources(std::make_unique<RendererResources>()) {
    keepFrameMemory();
    if (instance != nullptr) {
        // Log readers match this exact text ("versions" meaning instances): keep it as it is.
        ORKA_LOG_ERROR(
            "Multiple versions of Renderer initialized. Only a single instance is "
            "supported.");
    }
    GuiBinding::init(window);
    Renderer* const previous = instance;
    instance = this;
    bool ready = false;
    try {
        ready = createContext();
    } catch (...) {
        // A half-made renderer must not stay reachable through instance.
        release();
        instance = previous;
        throw;
    }
    // Without loaded entry points (a replaced handler let a fatal record return) GL is unusable.
    if (ready) setGlobalGLState();
    renderStatsLast = renderStats;
}

Renderer::~Renderer() {
    // While this is still the instance with its context current, so the GL names go.
    if (instance == this) resources->builtIns = RendererResources::BuiltIns{};
    release();
    if (instance == this) instance = nullptr;
}

RendererResources& resourcesOf(Renderer& renderer) {
    return *renderer.resources;
}

bool Renderer::createContext() {
    glcontext = SDL_GL_CreateContext(window);
    if (glcontext == nullptr) {
        ORKA_LOG_FATAL("Error creating OpenGL context: %s", SDL_GetError());
        return false;
    }
    if (vsync) vsync = SDL_GL_SetSwapInterval(1) == 0;
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    // GLEW loads the GL entry points first and the GLX extensions after them; a missing GLX
    // display only fails the latter, which the engine does not use (seen now and then on Xvfb).
    if (result == GLEW_ERROR_NO_GLX_DISPLAY && glGetString(GL_VERSION) != nullptr) {
        ORKA_LOG_INFO("GLEW found no GLX display; GLX extensions are not loaded");
    } else if (result != GLEW_OK) {
        ORKA_LOG_FATAL("Error initializing OpenGL using GLEW: %s",
                       reinterpret_cast<const char*>(glewGetErrorString(result)));
        return false;
    }
    // glewInit may leave GL_INVALID_ENUM behind on core profiles; later checks must not see it.
    while (glGetError() != GL_NO_ERROR) {
    }
    ORKA_LOG_INFO("OpenGL version %s", glString(GL_VERSION));
    ORKA_LOG_INFO("orka version %s", kEngineVersion);
    return true;
}

void Renderer::setGlobalGLState() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glEnable(GL_PROGRAM_POINT_SIZE);
    if (hasPointSprite()) glEnable(GL_POINT_SPRITE);
}

void Renderer::release() {
    if (glcontext == nullptr) return;
    // The GUI's GL objects die with the context; a later renderer must make them anew.
    if (SDL_GL_MakeCurrent(window, glcontext) == 0) GuiBinding::shutdown(glcontext);
    SDL_GL_DeleteContext(glcontext);
    glcontext = nullptr;
}

glm::ivec2 Renderer::getWindowSize() const {
    glm::ivec2 size(0);
    SDL_GetWindowSize(window, &size.x, &size.y);
    return size;
}

glm::ivec2 Renderer::getDrawableSize() const {
    glm::ivec2 size(0);
    SDL_GL_GetDrawableSize(window, &size.x, &size.y);
    return size;
}

void Renderer::setLogicalSize(glm::ivec2 size) {
    logicalSize = glm::max(size, glm::ivec2(0));
}

PixelArea Renderer::getWindowArea() const {
    return fitAspect(getDrawableSize(), logicalSize);
}

PixelArea Renderer::fitAspect(glm::ivec2 drawable, glm::ivec2 logical) {
    if (logical.x <= 0 || logical.y <= 0) return {{0, 0}, drawable};
    // Compared as cross products, so that an exact fit leaves no one-pixel bar.
    const long long wide = static_cast<long long>(drawable.x) * logical.y;
    const long long tall = static_cast<long long>(drawable.y) * logical.x;
    glm::ivec2 size = drawable;
    if (wide > tall) {
        size.x = static_cast<int>((tall + logical.y / 2) / logical.y);  // bars left and right
    } else if (tall > wide) {
        size.y = static_cast<int>((wide + logical.x / 2) / logical.x);  // bars above and below
    }
    return {(drawable - size) / 2, size};
}

void Renderer::swapWindow() {
    if (renderPassFinisher != nullptr) renderPassFinisher();
    if (!windowCaptures.empty()) deliverWindowCaptures();
    renderStatsLast = renderStats;
    renderStats.frame += 1;
    renderStats.meshBytesAllocated = 0;
    renderStats.meshBytesDeallocated = 0;
    renderStats.textureBytesAllocated = 0;
    renderStats.textureBytesDeallocated = 0;
    renderStats.drawCalls = 0;
    renderStats.stateChangesShader = 0;
    renderStats.stateChangesMaterial = 0;
    renderStats.stateChangesMesh = 0;
    // A swap that presents nothing (SDL's offscreen driver) does not flush: without this, the
    // driver would queue every frame's commands, and their buffers, for ever.
    glFlush();
    SDL_GL_SwapWindow(window);
}

void Renderer::captureWindow(std::function<void(const Image&)> receive) {
    if (receive) windowCaptures.push_back(std::move(receive));
}

void Renderer::deliverWindowCaptures() {
    // The frame is complete in the window's back buffer until it is presented.
    GLint previousRead = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    const Image picture = screen_capture::readColorBuffer({0, 0}, getDrawableSize());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
    std::vector<std::function<void(const Image&)>> captures;
    captures.swap(windowCaptures);
    for (const auto& receive : captures) receive(picture);
}

}  // namespace orka
