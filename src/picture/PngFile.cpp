#include "picture/PngFile.hpp"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "orka/Image.hpp"

void WritePngWhole(const Image& picture, const std::string& path) {
    // The engine writes every PNG file of the project; here it is only given the bytes.
    const orka::Image png(picture.width(), picture.height(), picture.bytes());
    const std::string temporary = path + ".tmp";
    if (!png.savePng(temporary)) {
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot write " + path + ": " + SDL_GetError());
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot replace " + path + ": " + reason);
    }
}
