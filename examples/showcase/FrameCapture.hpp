#pragma once

#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace showcase {

/// A picture read back from the window: 8-bit RGBA, rows from the bottom up as OpenGL gives
/// them, so pixel (x, y) uses the window's pixel coordinates with the origin at the lower left.
class FrameCapture {
public:
    /// Reads the whole window now. Call it after drawing and before the frame is presented
    /// (the back buffer is undefined after the swap). Needs the renderer.
    static FrameCapture readWindow();

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool isEmpty() const { return rgba.empty(); }
    /// Colour of pixel (x, y) in 0…1; (0, 0, 0, 0) outside the picture.
    glm::vec4 pixel(int x, int y) const;
    /// Writes a PNG file (top row first, as pictures are stored). On failure returns false and
    /// puts the reason, naming the file, into `error`.
    bool savePng(const std::string& path, std::string& error) const;

private:
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

}  // namespace showcase
