// atlasgen: draws the sprites of the default world and writes them as one atlas.
//
//   atlasgen [output-base]
//
// output-base defaults to data/platformer-art-deluxe and gets ".png" and ".json" appended.
// Run from the repository root (or pass the path) to regenerate the committed atlas; the
// output is the same, byte for byte, on every run.
#include <SDL_image.h>

#include <exception>
#include <iostream>
#include <string>

#include "AtlasPacker.hpp"
#include "AtlasWriter.hpp"
#include "SpriteArt.hpp"

namespace {
const char* const defaultBase = "data/platformer-art-deluxe";
}

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: atlasgen [output-base]" << std::endl;
        return 2;
    }
    const std::string base = argc == 2 ? argv[1] : defaultBase;
    if ((IMG_Init(IMG_INIT_PNG) & IMG_INIT_PNG) == 0) {
        std::cerr << "atlasgen: PNG support is missing: " << IMG_GetError() << std::endl;
        return 1;
    }
    int status = 0;
    try {
        const PackedAtlas atlas = AtlasPacker().pack(allSprites());
        AtlasWriter::write(atlas, base);
        std::cout << "atlasgen: wrote " << atlas.frames.size() << " sprites to " << base << ".png ("
                  << atlas.page.width() << " x " << atlas.page.height() << ") and " << base
                  << ".json" << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "atlasgen: " << e.what() << std::endl;
        status = 1;
    }
    IMG_Quit();
    return status;
}
