#include "game/UserDataFolder.hpp"

#include <SDL.h>

namespace {

const char* const kOrganisation = "orka";
const char* const kApplication = "platformer";

}  // namespace

std::string UserDataFolder::Path(std::string* whyNot) {
    char* path = SDL_GetPrefPath(kOrganisation, kApplication);
    if (path == nullptr) {
        if (whyNot != nullptr) *whyNot = SDL_GetError();
        return {};
    }
    std::string folder(path);
    SDL_free(path);
    return folder;
}
