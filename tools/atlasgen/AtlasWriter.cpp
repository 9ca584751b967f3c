#include "AtlasWriter.hpp"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "common/TextFile.hpp"
#include "picture/PngFile.hpp"

namespace {

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
    WritePngWhole(page, path);
}

void AtlasWriter::write(const PackedAtlas& atlas, const std::string& base) {
    const std::string pngPath = base + ".png";
    writePng(atlas.page, pngPath);
    TextFile::write(base + ".json", toJson(atlas, baseName(pngPath)));
}
