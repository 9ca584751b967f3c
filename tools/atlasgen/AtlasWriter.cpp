#include "AtlasWriter.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "common/TextFile.hpp"

namespace {

constexpr int bitsPerPixel = 32;
constexpr int bytesPerPixel = 4;

std::string formatNumber(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(value));
    return text;
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string AtlasWriter::toJson(const PackedAtlas& atlas, const std::string& imageName) {
    std::ostringstream out;
    out << "{\n  \"frames\": [\n";
    for (std::size_t i = 0; i < atlas.frames.size(); ++i) {
        const PackedFrame& f = atlas.frames[i];
        out << "    {\"filename\": \"" << f.number << ".png\", \"frame\": {\"x\": " << f.x
            << ", \"y\": " << f.y << ", \"w\": " << f.width << ", \"h\": " << f.height
            << "}, \"pivot\": {\"x\": " << formatNumber(f.pivotX)
            << ", \"y\": " << formatNumber(f.pivotY) << "}}"
            << (i + 1 < atlas.frames.size() ? "," : "") << "\n";
    }
    out << "  ],\n  \"meta\": {\"image\": \"" << imageName
        << "\", \"size\": {\"w\": " << atlas.page.width() << ", \"h\": " << atlas.page.height()
        << "}, \"generator\": \"atlasgen\"}\n}\n";
    return out.str();
}

void AtlasWriter::writePng(const Image& page, const std::string& path) {
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, page.width(), page.height(), bitsPerPixel,
                                       SDL_PIXELFORMAT_RGBA32),
        &SDL_FreeSurface);
    if (!surface) {
        throw std::runtime_error("cannot create a surface for " + path + ": " + SDL_GetError());
    }
    const std::size_t rowBytes = static_cast<std::size_t>(page.width()) * bytesPerPixel;
    auto* pixels = static_cast<std::uint8_t*>(surface->pixels);
    for (int y = 0; y < page.height(); ++y) {
        std::memcpy(pixels + static_cast<std::size_t>(y) * surface->pitch,
                    page.bytes().data() + y * rowBytes, rowBytes);
    }
    const std::string temporary = path + ".tmp";
    if (IMG_SavePNG(surface.get(), temporary.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot write " + path + ": " + IMG_GetError());
    }
    TextFile::moveIntoPlace(temporary, path);
}

void AtlasWriter::write(const PackedAtlas& atlas, const std::string& base) {
    const std::string pngPath = base + ".png";
    writePng(atlas.page, pngPath);
    TextFile::write(base + ".json", toJson(atlas, baseName(pngPath)));
}
