#include "showcase/ShowcaseApp.hpp"

#include <ostream>
#include <sstream>
#include <utility>

#include "orka/Renderer.hpp"

namespace showcase {

ShowcaseApp::ShowcaseApp(orka::SDLRenderer& window, Options options)
    : window(window), options(std::move(options)) {}

int ShowcaseApp::run(std::ostream& out, std::ostream& err) {
    window.keyEvent = [this](SDL_Event& event) { onKey(event); };
    window.frameUpdate = [this](float deltaTimeSec) { scene.update(deltaTimeSec); };
    window.frameRender = [this] { onRender(); };
    window.startEventLoop();

    int exitCode = 0;
    if (!options.screenshotPath.empty()) {
        std::string error;
        if (lastFrame.savePng(options.screenshotPath, error)) {
            out << "showcase: wrote " << options.screenshotPath << '\n';
        } else {
            err << "showcase: " << error << '\n';
            exitCode = 1;
        }
    }
    if (options.printStats) out << statsLine(orka::Renderer::instance->getRenderStats()) << '\n';
    return exitCode;
}

void ShowcaseApp::onKey(const SDL_Event& event) {
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) {
        window.stopEventLoop();
        return;
    }
    scene.getViewer().handleKey(event);
}

void ShowcaseApp::onRender() {
    scene.render();
    ++framesDrawn;
    // The back buffer is gone after the swap, so every frame may be the last one pictured.
    if (!options.screenshotPath.empty()) lastFrame = FrameCapture::readWindow();
    if (options.frames > 0 && framesDrawn >= options.frames) window.stopEventLoop();
}

std::string ShowcaseApp::statsLine(const orka::RenderStats& stats) {
    std::ostringstream line;
    line << "showcase stats: frame=" << stats.frame << " drawCalls=" << stats.drawCalls
         << " stateChangesShader=" << stats.stateChangesShader
         << " stateChangesMaterial=" << stats.stateChangesMaterial
         << " stateChangesMesh=" << stats.stateChangesMesh << " meshCount=" << stats.meshCount
         << " meshBytes=" << stats.meshBytes << " meshBytesAllocated=" << stats.meshBytesAllocated
         << " meshBytesDeallocated=" << stats.meshBytesDeallocated
         << " textureCount=" << stats.textureCount << " textureBytes=" << stats.textureBytes
         << " textureBytesAllocated=" << stats.textureBytesAllocated
         << " textureBytesDeallocated=" << stats.textureBytesDeallocated
         << " shaderCount=" << stats.shaderCount;
    return line.str();
}

}  // namespace showcase
