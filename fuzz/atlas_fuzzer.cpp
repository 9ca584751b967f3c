// Fuzzes the sprite atlas reader: each input is the JSON description of a 256 x 128 page, read
// through SpriteAtlas::create from memory. Every sprite of an atlas that loads is then asked for
// its corners and texture coordinates, as a sprite batch would.
//
//   build-fuzz/fuzz/atlas_fuzzer [libFuzzer options] CORPUS_DIR...
//
// The atlas needs a texture and so a GL context: one hidden window is made at start-up, which
// needs an X display (scripts/test.sh starts Xvfb).
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "FuzzSupport.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/SpriteAtlas.hpp"
#include "orka/Texture.hpp"

namespace {

constexpr int pageWidth = 256;
constexpr int pageHeight = 128;

// Made once and never destroyed: tearing GL down per input would cost more than the parsing.
struct Page {
    orka::SDLRenderer window;
    std::shared_ptr<orka::Texture> texture;
};
Page* page = nullptr;

void checkSprites(const orka::SpriteAtlas& atlas) {
    for (const std::string& name : atlas.getNames()) {
        const orka::Sprite sprite = atlas.get(name);
        orka::fuzz::require(sprite.getTexture() == page->texture.get(),
                            "a sprite of the atlas does not point at its page");
        sprite.getCorners();
        sprite.getUVs();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    orka::fuzz::quietLog();
    orka::fuzz::silence(std::cerr);  // the reader reports JSON syntax errors there
    setenv("SDL_VIDEODRIVER", "x11", 0);
    page = new Page;
    page->window.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN, false);
    if (page->window.getSDLWindow() == nullptr) {
        std::fprintf(stderr, "atlas_fuzzer needs an X display for its GL context: %s\n",
                     SDL_GetError());
        std::exit(EXIT_FAILURE);
    }
    page->texture = orka::Texture::create().withWhiteData(pageWidth, pageHeight).build();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream json(std::string(reinterpret_cast<const char*>(data), size));
    // Both pivot conventions, chosen by the input so that each stays reproducible.
    const bool flipAnchorY = size % 2 == 1;
    const auto atlas = orka::SpriteAtlas::create(json, "fuzz.json", page->texture, flipAnchorY);
    if (atlas != nullptr) checkSprites(*atlas);
    return 0;
}
