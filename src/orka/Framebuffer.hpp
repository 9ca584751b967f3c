#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <memory>
#include <string>
#include <vector>

namespace orka {

class Texture;

/// An off-screen render target: a GL framebuffer object with colour textures (attachments
/// 0 … n−1) and, optionally, a depth buffer. Render passes draw into it (see
/// RenderPassBuilder::withFramebuffer); its textures can then be used by materials like any
/// other texture. Always held by std::shared_ptr; it shares its textures, so they outlive it
/// when someone else holds them. Sizes are in pixels.
class Framebuffer {
public:
    /// Describes a framebuffer. Defaults: no size (required), no depth buffer, one new RGBA
    /// colour texture when none is added, name "Unnamed Framebuffer".
    class FramebufferBuilder {
    public:
        /// Width and height in pixels, both more than 0; the size of every colour texture.
        FramebufferBuilder& withSize(unsigned int width, unsigned int height);
        /// Adds a new RGBA colour texture of the framebuffer's size (linear filtering,
        /// clamped coordinates) as the next attachment.
        FramebufferBuilder& withColorTexture();
        /// Adds an existing 2D texture as the next attachment; it must have the framebuffer's
        /// size.
        FramebufferBuilder& withColorTexture(std::shared_ptr<Texture> texture);
        /// A depth buffer, needed for shaders that test depth.
        FramebufferBuilder& withDepth(bool enabled);
        /// The name log messages give it; its new colour textures are named after it.
        FramebufferBuilder& withName(const std::string& name);
        /// The framebuffer, or an empty pointer after an error log (no size, an unusable
        /// texture, too many attachments, an incomplete framebuffer). Leaves the current
        /// framebuffer binding as it was. Needs the renderer (fatal log otherwise).
        std::shared_ptr<Framebuffer> build();

    private:
        FramebufferBuilder() = default;
        friend class Framebuffer;
        bool checkTextures(int maxAttachments) const;

        unsigned int width = 0;
        unsigned int height = 0;
        bool depth = false;
        std::string name;
        /// Null entries stand for textures build() makes.
        std::vector<std::shared_ptr<Texture>> textures;
    };

    /// A builder for a new framebuffer.
    static FramebufferBuilder create();

    /// Deletes the GL objects, only while the renderer that made them is the current one.
    ~Framebuffer();
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    /// Binds the framebuffer object; after a texture change it attaches the textures first.
    void bind();

    /// Size in pixels, as built.
    ///@{
    unsigned int getWidth() const { return width; }
    unsigned int getHeight() const { return height; }
    glm::uvec2 getSize() const { return {width, height}; }
    ///@}
    /// The name log messages give it.
    const std::string& getName() const { return name; }
    /// Colour attachment i is texture i.
    const std::vector<std::shared_ptr<Texture>>& getTextures() const { return textures; }
    /// Replaces colour attachment `index` (taking effect at the next bind). False, with an
    /// error log, for a bad index or a texture that is not a 2D texture of this size.
    bool setColorTexture(int index, std::shared_ptr<Texture> texture);

private:
    Framebuffer(unsigned int width, unsigned int height, std::string name,
                std::vector<std::shared_ptr<Texture>> textures);
    bool attach(bool depth);

    unsigned int width;
    unsigned int height;
    std::string name;
    std::vector<std::shared_ptr<Texture>> textures;
    unsigned int framebufferId = 0;        // GLuint
    unsigned int depthRenderbufferId = 0;  // GLuint
    bool texturesChanged = true;
    /// Renderer::getSerial() of the renderer whose context holds the framebuffer and depth
    /// buffer: in another context the same names may be someone else's.
    std::uint64_t rendererSerial;
};

}  // namespace orka
