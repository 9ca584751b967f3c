#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orka {

class GLName;
class GlyphPage;
class Material;
class RenderPass;
struct GpuTestAccess;

/// A GL texture (2D or cube map) with its size, name, sampling state and transparency flag.
/// Made only through TextureBuilder, from image files, raw RGB/RGBA bytes or white data; always
/// owned by a std::shared_ptr. The image never changes after build(). Sizes are in texels.
class Texture : public std::enable_shared_from_this<Texture> {
public:
    /// Cube faces in OpenGL's order (+X, -X, +Y, -Y, +Z, -Z).
    enum class TextureCubemapSide : int {
        PositiveX = 0,
        NegativeX = 1,
        PositiveY = 2,
        NegativeY = 3,
        PositiveZ = 4,
        NegativeZ = 5
    };

    /// What the bytes of raw image data stand for. In linear light (the default blending
    /// space) shaders compute with linear colour; an sRGB texture is decoded to it when
    /// sampled, so the window (which encodes linear colour as sRGB) shows sRGB bytes as they
    /// are. Blending in the display's values (BlendingSpace::Display), every texture, image
    /// files included, keeps its bytes as they are and both encodings show 128 as 128.
    enum class ByteEncoding {
        Linear,  ///< byte / 255 is the linear amount of light: 128 shows as 188 in the window
        Srgb     ///< sRGB-encoded, as in image files and colour pickers: 128 shows as 128
    };

    /// Collects image data and settings. Owns a GL texture name from construction until
    /// build() hands it over; a builder dropped without building deletes it. Move-only.
    /// Defaults: no data, no name ("Unnamed Texture", or the file name for withFile), linear
    /// filtering, repeat wrapping, no mipmaps. Uploads take rows bottom-up, tightly packed.
    class TextureBuilder {
    public:
        TextureBuilder();
        /// Deletes the GL name unless build() took it.
        ~TextureBuilder();
        /// Takes over the other builder's GL name and data; `other` is left without a name.
        ///@{
        TextureBuilder(TextureBuilder&& other) noexcept;
        TextureBuilder& operator=(TextureBuilder&& other) noexcept;
        ///@}
        TextureBuilder(const TextureBuilder&) = delete;
        TextureBuilder& operator=(const TextureBuilder&) = delete;

        /// An image file (PNG, JPEG, BMP, TGA or WebP) as a 2D sRGB texture, flipped so v = 0 is
        /// the bottom of the image. Sizes that are not powers of two turn the default
        /// filtering off (a warning); filtering or mipmaps asked for explicitly, before or
        /// after this call, are kept. A file that cannot be read or decoded logs an error and
        /// leaves a 1 x 1 white placeholder (or the image loaded before); the built texture then
        /// reports loadFailed().
        TextureBuilder& withFile(std::string filename);
        /// An image file into one face of a cube map (not flipped; the name is not touched).
        /// A failure leaves that face white and is reported by loadFailed() too.
        TextureBuilder& withFileCubemap(std::string filename, TextureCubemapSide side);
        /// width * height * 3 bytes, rows bottom-up and tightly packed; linear unless `encoding`
        /// says sRGB. Null `data` leaves the texels undefined (render targets are made so). A
        /// size that is not positive, or a side over 16384 texels (or the context's limit),
        /// logs one error and leaves the placeholder of a failed load, as do the other data
        /// operations below.
        TextureBuilder& withRGBData(const char* data, int width, int height,
                                    ByteEncoding encoding = ByteEncoding::Linear);
        /// width * height * 4 bytes, rows bottom-up; colour linear unless `encoding` says sRGB
        /// (the alpha is linear either way). The same bytes given as sRGB draw as a PNG file
        /// holding them does.
        TextureBuilder& withRGBAData(const char* data, int width, int height,
                                     ByteEncoding encoding = ByteEncoding::Linear);
        /// An opaque white 2D texture of `width` x `height` texels.
        TextureBuilder& withWhiteData(int width, int height);
        /// An opaque white cube map, every face `width` x `height` texels (square).
        TextureBuilder& withWhiteCubemapData(int width, int height);
        /// Linear filtering when true, nearest texel when false.
        TextureBuilder& withFilterSampling(bool enable);
        /// Nearest texel and coordinates clamped to the edge, in one call: for sprite sheets
        /// and pixel art, where neither a neighbouring frame nor the opposite edge may bleed
        /// into a frame.
        TextureBuilder& withPixelArtSampling();
        /// Mipmaps (of any size), sampled trilinearly when filtering is on.
        TextureBuilder& withGenerateMipmaps(bool enable);
        /// Coordinates outside 0..1 repeat the image when true, clamp to its edge when false.
        TextureBuilder& withWrappedTextureCoordinates(bool enable);
        /// The name log messages give it.
        TextureBuilder& withName(const std::string& name);

        /// The texture. Building without data or a second time is a fatal log (an exception
        /// with the default handler); so is building before the renderer exists.
        std::shared_ptr<Texture> build();

    private:
        // GL enums are passed as unsigned int (GLenum) so that this header needs no GL header.
        bool loadFile(const std::string& filename, unsigned int faceTarget, bool flipVertically);
        /// A 2D texture of `format` (GL_RGB or GL_RGBA) texels from `data`.
        TextureBuilder& withPixels(unsigned int format, const char* data, int width, int height,
                                   ByteEncoding encoding);
        void upload(unsigned int faceTarget, unsigned int internalFormat, int width, int height,
                    unsigned int format, const char* pixels);
        void uploadPlaceholder(unsigned int faceTarget);
        /// Marks the load failed and leaves the placeholder of `textureTarget`.
        TextureBuilder& refuse(unsigned int textureTarget);

        int width = -1;
        int height = -1;
        std::string name;
        bool transparent = false;
        bool generateMipmaps = false;
        bool filterSampling = true;
        /// withFilterSampling was called: a non-power-of-two file keeps the choice.
        bool filterSamplingAsked = false;
        /// The file loaded last, when its sides are not powers of two.
        std::string nonPowerOfTwoFile;
        bool wrapTextureCoordinates = true;
        bool loadFailed = false;
        unsigned int target = 0;
        std::unique_ptr<GLName> textureId;
    };

    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    /// A builder with its own new GL texture name; needs the renderer.
    static TextureBuilder create();

    /// Size in texels (of one face for a cube map).
    ///@{
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    ///@}
    /// Bytes counted in RenderStats: 4 per texel, a third more when mipmapped, six faces for a
    /// cube map.
    std::int64_t getDataSize() const;
    /// The name given to the builder, the file name, or "Unnamed Texture".
    const std::string& getName() const { return name; }
    /// True for a cube map, false for a 2D texture.
    bool isCubemap() const;
    /// The settings it was built with (see TextureBuilder).
    ///@{
    bool isFilterSampling() const { return filterSampling; }
    bool isMipmapped() const { return generateMipmap; }
    bool isWrapTextureCoordinates() const { return wrapTextureCoordinates; }
    ///@}
    /// True when its image file had an alpha channel or transparent palette entries; false for
    /// textures made from bytes or white data.
    bool isTransparent() const { return transparent; }
    /// True when an image file given to the builder could not be read or decoded (the reason
    /// was logged): the texture holds a white placeholder instead (or the image of an earlier
    /// withFile). Drawing with it is harmless; a caller that needs the picture checks this.
    bool loadFailed() const { return failedLoad; }

    /// Shared default textures, made on first use and kept by the renderer until it is
    /// destroyed (a later renderer makes its own):
    /// 2 x 2 white ("ORKA Default White"), a 128 x 128 white disc fading to black
    /// ("ORKA Default Sphere"), a 2 x 2 white cube map ("ORKA Default Cubemap").
    ///@{
    static std::shared_ptr<Texture> getWhiteTexture();
    static std::shared_ptr<Texture> getSphereTexture();
    static std::shared_ptr<Texture> getDefaultCubemapTexture();
    ///@}

private:
    Texture(unsigned int textureId, int width, int height, unsigned int target, std::string name,
            bool transparent, bool failedLoad);
    void updateTextureSampler(bool filterSampling, bool wrapTextureCoordinates);
    void invokeGenerateMipmap();

    friend class GlyphPage;  // writes glyphs into its page's texture
    friend class Material;
    friend class RenderPass;
    friend struct GpuTestAccess;

    int width;
    int height;
    unsigned int target;  // GLenum
    bool generateMipmap = false;
    bool transparent;
    bool failedLoad;
    std::string name;
    bool filterSampling = true;
    bool wrapTextureCoordinates = true;
    unsigned int textureId;  // GLuint
    /// Renderer::getSerial() of the renderer whose context holds the texture.
    std::uint64_t rendererSerial;
};

}  // namespace orka
