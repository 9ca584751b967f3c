#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace orka {

/// A picture in memory: 8-bit red, green, blue and alpha per pixel, rows from the top, as a PNG
/// file holds them. Screenshots come as images (RenderPass::readImage, Renderer::captureWindow)
/// in the colours seen on screen, that is sRGB-encoded bytes. A plain value: copy it freely.
class Image {
public:
    /// Bytes per pixel: red, green, blue, alpha.
    static constexpr int bytesPerPixel = 4;

    /// An empty image: 0 x 0 pixels.
    Image() = default;
    /// Takes `pixels`: width × height × 4 bytes, rows from the top, each row left to right. A
    /// size that is not positive or does not match the bytes is an error log and gives an
    /// empty image.
    Image(int width, int height, std::vector<std::uint8_t> pixels);

    /// Size in pixels; 0 for an empty image.
    ///@{
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    ///@}
    /// True for an image without pixels.
    bool isEmpty() const { return pixels.empty(); }
    /// All bytes, rows from the top.
    const std::vector<std::uint8_t>& getPixels() const { return pixels; }
    /// The pixel in column `x` and row `y`, both counted from the top-left corner; (0, 0, 0, 0)
    /// outside the image.
    glm::u8vec4 getPixel(int x, int y) const;

    /// Writes the image as an 8-bit RGBA PNG file, replacing one that is there. False, after an
    /// error log naming the file and the reason, when the image is empty or the file cannot be
    /// written.
    [[nodiscard]] bool savePng(const std::string& path) const;

private:
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

}  // namespace orka
