// levelpreview: draws level files into PNG pictures for judging art and level layout.
//
//   levelpreview <atlas-base> <tile-folder> <output-folder> <level.json>...
//
// Each level.json gives "<output-folder>/<level name without .json>.png" at one texel per
// game unit; scale it up with any image tool. The work is levelpreview_lib's.
#include <SDL_image.h>

#include <exception>
#include <iostream>
#include <memory>

#include "levelpreview/HeadlessEngine.hpp"
#include "levelpreview/LevelPreview.hpp"
#include "orka/SDLRenderer.hpp"

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
            std::cout << "levelpreview: wrote " << preview.writePicture(argv[i], argv[2], argv[3])
                      << std::endl;
        }
    } catch (const std::exception& e) {
        std::cerr << "levelpreview: " << e.what() << std::endl;
        status = 1;
    }
    IMG_Quit();
    return status;
}
