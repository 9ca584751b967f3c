// levelpreview: draws level files into PNG pictures for judging art and level layout.
//
//   levelpreview <atlas-base> <tile-folder> <output-folder> <level.json>...
//
// Each level.json gives "<output-folder>/<level name without .json>.png" at one texel per
// game unit; scale it up with any image tool.
#include <SDL_image.h>

#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

#include "atlasgen/AtlasWriter.hpp"
#include "levelcheck/HeadlessEngine.hpp"
#include "orka/SDLRenderer.hpp"
#include "preview/LevelPreview.hpp"

int main(int argc, char** argv) {
    constexpr int firstLevelArgument = 4;
    if (argc <= firstLevelArgument) {
        std::cerr << "usage: levelpreview <atlas-base> <tile-folder> <output-folder> "
                     "<level.json>..."
                  << std::endl;
        return 2;
    }
    IMG_Init(IMG_INIT_PNG);
    QuietEngineLog("levelpreview");
    int status = 0;
    try {
        // The engine's atlas reader makes a texture, and so needs a GL context.
        const std::unique_ptr<orka::SDLRenderer> window = OpenHiddenWindow();
        const LevelPreview preview(argv[1]);
        for (int i = firstLevelArgument; i < argc; ++i) {
            const std::filesystem::path level = argv[i];
            const std::filesystem::path out =
                std::filesystem::path(argv[3]) / level.filename().replace_extension(".png");
            AtlasWriter::writePng(preview.render(level.string(), argv[2]), out.string());
            std::cout << "levelpreview: wrote " << out.string() << std::endl;
        }
    } catch (const std::exception& e) {
        std::cerr << "levelpreview: " << e.what() << std::endl;
        status = 1;
    }
    IMG_Quit();
    return status;
}
