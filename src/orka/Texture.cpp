#include "orka/Texture.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>
#include <vector>

#include "orka/GLName.hpp"
#include "orka/Log.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/RendererResources.hpp"
#include "orka/TextureLoader.hpp"

namespace orka {

// The header stands in unsigned int for GL's types.
static_assert(std::is_same_v<GLenum, unsigned int> && std::is_same_v<GLuint, unsigned int>);

namespace {

// The internal format for bytes of `format` (GL_RGB or GL_RGBA). sRGB bytes are decoded when
// sampled in linear light; blending in the display's values takes every byte as it is.
GLenum colorFormat(GLenum format, bool srgbBytes) {
    const Renderer* renderer = Renderer::instance;
    const bool display =
        renderer != nullptr && renderer->getBlendingSpace() == BlendingSpace::Display;
    if (!srgbBytes || display) return format;
    return format == GL_RGBA ? GL_SRGB_ALPHA : GL_SRGB;
}

constexpr int bytesPerTexel = 4;
constexpr float mipmapChainShare = 0.33333334f;
constexpr int cubeFaces = 6;
constexpr unsigned char whiteByte = 0xFF;
constexpr int defaultTextureSize = 2;
constexpr int sphereTextureSize = 128;
constexpr float sphereTexelSize = 0.0078125f;  // 1 / 128
constexpr float maxChannel = 255.0f;

// Larger sides are refused before any memory is taken: few GL implementations hold them, and
// a mistyped size would ask for gigabytes.
constexpr int largestTextureSide = 16384;

// The largest side the context takes for `target`, never above largestTextureSide.
int largestSideFor(GLenum target) {
    GLint limit = 0;
    glGetIntegerv(
        target == GL_TEXTURE_CUBE_MAP ? GL_MAX_CUBE_MAP_TEXTURE_SIZE : GL_MAX_TEXTURE_SIZE, &limit);
    return limit > 0 ? std::min(limit, largestTextureSide) : largestTextureSide;
}

/// False, after logging why, for a size that holds no texel or more than the context takes.
bool isValidSize(int width, int height, GLenum target) {
    if (width <= 0 || height <= 0) {
        ORKA_LOG_ERROR("Invalid texture size %i x %i", width, height);
        return false;
    }
    const int largest = largestSideFor(target);
    if (width <= largest && height <= largest) return true;
    ORKA_LOG_ERROR("Texture size %i x %i is larger than the largest, %i x %i", width, height,
                   largest, largest);
    return false;
}

bool isPowerOfTwo(int value) {
    return value > 0 && (value & (value - 1)) == 0;
}

GLenum faceTargetOf(Texture::TextureCubemapSide side) {
    return GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(side);
}

std::vector<char> whitePixels(int width, int height) {
    return std::vector<char>(
        static_cast<size_t>(width) * static_cast<size_t>(height) * bytesPerTexel,
        static_cast<char>(whiteByte));
}

// A white disc fading linearly to black at the image's edge.
std::vector<char> spherePixels() {
    std::vector<char> pixels;
    pixels.reserve(static_cast<size_t>(sphereTextureSize) * sphereTextureSize * bytesPerTexel);
    for (int y = 0; y < sphereTextureSize; y++) {
        for (int x = 0; x < sphereTextureSize; x++) {
            const float dy = (static_cast<float>(y) + 0.5f) * sphereTexelSize - 0.5f;
            const float dx = (static_cast<float>(x) + 0.5f) * sphereTexelSize - 0.5f;
            const float d = std::sqrt(dx * dx + dy * dy);
            const float value = std::clamp(1.0f - 2.0f * d, 0.0f, 1.0f);
            const char channel = static_cast<char>(static_cast<int>(value * maxChannel));
            pixels.insert(pixels.end(), {channel, channel, channel, static_cast<char>(whiteByte)});
        }
    }
    return pixels;
}

// A builder's texture name, dropped without building. Once the renderer is gone, its context
// has taken the name with it.
void deleteTextureName(GLuint name) {
    if (Renderer::instance != nullptr) glDeleteTextures(1, &name);
}

// The builder's texture name; 0 once build() took it or the builder was moved from.
GLuint nameOf(const std::unique_ptr<GLName>& owner) {
    return owner ? owner->get() : 0;
}

}  // namespace

// ---- TextureBuilder ----

Texture::TextureBuilder::TextureBuilder() {
    // Without a renderer there are no GL entry points; build() reports the missing renderer.
    if (Renderer::instance == nullptr) return;
    GLuint name = 0;
    glGenTextures(1, &name);
    textureId = std::make_unique<GLName>(name, deleteTextureName);
}

Texture::TextureBuilder::~TextureBuilder() = default;
Texture::TextureBuilder::TextureBuilder(TextureBuilder&& other) noexcept = default;
Texture::TextureBuilder& Texture::TextureBuilder::operator=(TextureBuilder&& other) noexcept =
    default;

Texture::TextureBuilder& Texture::TextureBuilder::withFile(std::string filename) {
    if (name.empty()) name = filename;
    if (!loadFile(filename, GL_TEXTURE_2D, true)) return *this;
    // A non-power-of-two image left at the default filtering is sampled nearest; what the
    // caller asked for, before or after this call, is honoured (OpenGL 3.3 filters and
    // mipmaps any size). Decided in build(), when every request is known.
    nonPowerOfTwoFile = isPowerOfTwo(width) && isPowerOfTwo(height) ? "" : filename;
    return *this;
}

Texture::TextureBuilder& Texture::TextureBuilder::withFileCubemap(std::string filename,
                                                                  TextureCubemapSide side) {
    loadFile(filename, faceTargetOf(side), false);
    return *this;
}

bool Texture::TextureBuilder::loadFile(const std::string& filename, GLenum faceTarget,
                                       bool flipVertically) {
    target = faceTarget == GL_TEXTURE_2D ? GL_TEXTURE_2D : GL_TEXTURE_CUBE_MAP;
    bool readable = false;
    const std::vector<char> bytes = texture_loader::readAllBytes(filename, &readable);
    texture_loader::DecodedImage image;
    // An unreadable file is already reported; decoding its empty buffer would only add noise.
    if (readable) {
        image = texture_loader::loadFileFromMemory(bytes.data(), static_cast<int>(bytes.size()),
                                                   flipVertically, filename);
    }
    if (image.valid && !isValidSize(image.width, image.height, target)) image.valid = false;
    if (!image.valid) {
        loadFailed = true;
        uploadPlaceholder(faceTarget);
        return false;
    }
    width = image.width;
    height = image.height;
    transparent = image.transparent;
    // File images are sRGB-encoded colour.
    const GLenum internalFormat = colorFormat(image.bytesPerPixel == 4 ? GL_RGBA : GL_RGB, true);
    upload(faceTarget, internalFormat, width, height, image.format, image.pixels.data());
    return true;
}

// Keeps a failed load harmless: the texture stays complete, its size positive and its content
// white, like the engine's default texture. An image loaded before stays as it was.
void Texture::TextureBuilder::uploadPlaceholder(GLenum faceTarget) {
    const bool hasImage = width > 0 && height > 0;
    if (hasImage && faceTarget == GL_TEXTURE_2D) return;
    if (!hasImage) width = height = 1;
    const std::vector<char> white = whitePixels(width, height);
    upload(faceTarget, colorFormat(GL_RGBA, true), width, height, GL_RGBA, white.data());
}

void Texture::TextureBuilder::upload(GLenum faceTarget, GLenum internalFormat, int imageWidth,
                                     int imageHeight, GLenum format, const char* pixels) {
    if (nameOf(textureId) == 0) return;
    if (target == GL_TEXTURE_CUBE_MAP && imageWidth != imageHeight) {
        // Log readers match this exact text, the space before ')' included.
        ORKA_LOG_ERROR("Cube map faces must be square (was %i x %i )", imageWidth, imageHeight);
        return;
    }
    glBindTexture(target, nameOf(textureId));
    // The texture a pass's material bound on this unit is no longer there.
    RenderPass::forgetBindings();
    // Rows are tightly packed, whatever their length in bytes.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(faceTarget, 0, static_cast<GLint>(internalFormat), imageWidth, imageHeight, 0,
                 format, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
}

Texture::TextureBuilder& Texture::TextureBuilder::withRGBData(const char* data, int dataWidth,
                                                              int dataHeight,
                                                              ByteEncoding encoding) {
    return withPixels(GL_RGB, data, dataWidth, dataHeight, encoding);
}

Texture::TextureBuilder& Texture::TextureBuilder::withRGBAData(const char* data, int dataWidth,
                                                               int dataHeight,
                                                               ByteEncoding encoding) {
    return withPixels(GL_RGBA, data, dataWidth, dataHeight, encoding);
}

Texture::TextureBuilder& Texture::TextureBuilder::withPixels(GLenum format, const char* data,
                                                             int dataWidth, int dataHeight,
                                                             ByteEncoding encoding) {
    if (!isValidSize(dataWidth, dataHeight, GL_TEXTURE_2D)) return refuse(GL_TEXTURE_2D);
    width = dataWidth;
    height = dataHeight;
    target = GL_TEXTURE_2D;
    upload(GL_TEXTURE_2D, colorFormat(format, encoding == ByteEncoding::Srgb), width, height,
           format, data);
    return *this;
}

Texture::TextureBuilder& Texture::TextureBuilder::withWhiteData(int dataWidth, int dataHeight) {
    if (!isValidSize(dataWidth, dataHeight, GL_TEXTURE_2D)) return refuse(GL_TEXTURE_2D);
    return withRGBAData(whitePixels(dataWidth, dataHeight).data(), dataWidth, dataHeight);
}

Texture::TextureBuilder& Texture::TextureBuilder::withWhiteCubemapData(int dataWidth,
                                                                       int dataHeight) {
    if (!isValidSize(dataWidth, dataHeight, GL_TEXTURE_CUBE_MAP)) {
        return refuse(GL_TEXTURE_CUBE_MAP);
    }
    width = dataWidth;
    height = dataHeight;
    target = GL_TEXTURE_CUBE_MAP;
    const std::vector<char> white = whitePixels(width, height);
    for (int face = 0; face < cubeFaces; face++) {
        upload(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, colorFormat(GL_RGBA, true), width, height,
               GL_RGBA, white.data());
    }
    return *this;
}

// Data that cannot be used leaves the placeholder of a failed load, so that build() makes a
// texture that draws harmlessly and reports loadFailed(), as for a broken file.
Texture::TextureBuilder& Texture::TextureBuilder::refuse(GLenum textureTarget) {
    loadFailed = true;
    target = textureTarget;
    if (textureTarget == GL_TEXTURE_2D) {
        uploadPlaceholder(GL_TEXTURE_2D);
        return *this;
    }
    for (int face = 0; face < cubeFaces; face++) {
        uploadPlaceholder(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face));
    }
    return *this;
}

Texture::TextureBuilder& Texture::TextureBuilder::withFilterSampling(bool enable) {
    filterSampling = enable;
    filterSamplingAsked = true;
    return *this;
}

Texture::TextureBuilder& Texture::TextureBuilder::withGenerateMipmaps(bool enable) {
    generateMipmaps = enable;
    return *this;
}

Texture::TextureBuilder& Texture::TextureBuilder::withWrappedTextureCoordinates(bool enable) {
    wrapTextureCoordinates = enable;
    return *this;
}

Texture::TextureBuilder& Texture::TextureBuilder::withPixelArtSampling() {
    return withFilterSampling(false).withWrappedTextureCoordinates(false);
}

Texture::TextureBuilder& Texture::TextureBuilder::withName(const std::string& textureName) {
    name = textureName;
    return *this;
}

std::shared_ptr<Texture> Texture::TextureBuilder::build() {
    Renderer* renderer = Renderer::instance;
    if (renderer == nullptr) {
        Log::fatal("Texture", ORKA_SOURCE_NAME(), __LINE__,
                   "Cannot instantiate orka::Texture before orka::Renderer is created.");
        return {};
    }
    // Log readers match these exact texts ("contain", "build"): keep them as they are.
    if (target == 0) {
        ORKA_LOG_FATAL("Texture contain no data");
        return {};
    }
    if (nameOf(textureId) == 0) {
        ORKA_LOG_FATAL("Texture is already build");
        return {};
    }
    if (name.empty()) name = "Unnamed Texture";
    // Log readers match this exact text, spaces before ')' and at the end included.
    if (!nonPowerOfTwoFile.empty() && filterSampling && !filterSamplingAsked) {
        ORKA_LOG_WARNING("Texture %s is not power of two (was %i x %i ). filter sampling ",
                         nonPowerOfTwoFile.c_str(), width, height);
        filterSampling = false;
    }
    std::shared_ptr<Texture> texture(
        new Texture(textureId->release(), width, height, target, name, transparent, loadFailed));
    if (generateMipmaps) texture->invokeGenerateMipmap();
    texture->updateTextureSampler(filterSampling, wrapTextureCoordinates);

    const std::int64_t dataSize = texture->getDataSize();
    renderer->renderStats.textureCount += 1;
    renderer->renderStats.textureBytes += dataSize;
    renderer->renderStats.textureBytesAllocated += dataSize;
    resourcesOf(*renderer).textures.push_back(texture.get());
    return texture;
}

// ---- Texture ----

Texture::Texture(GLuint textureId, int width, int height, GLenum target, std::string name,
                 bool transparent, bool failedLoad)
    : width(width),
      height(height),
      target(target),
      transparent(transparent),
      failedLoad(failedLoad),
      name(std::move(name)),
      textureId(textureId),
      rendererSerial(Renderer::instance != nullptr ? Renderer::instance->getSerial() : 0) {}

Texture::~Texture() {
    Renderer* renderer = Renderer::instance;
    // Without its renderer the GL context, and the texture with it, is gone already; another
    // renderer's context may have a texture of the same name.
    if (renderer == nullptr || renderer->getSerial() != rendererSerial) return;
    const std::int64_t dataSize = getDataSize();
    renderer->renderStats.textureCount -= 1;
    renderer->renderStats.textureBytes -= dataSize;
    renderer->renderStats.textureBytesDeallocated += dataSize;
    auto& registry = resourcesOf(*renderer).textures;
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
    glDeleteTextures(1, &textureId);
}

Texture::TextureBuilder Texture::create() {
    return TextureBuilder();
}

bool Texture::isCubemap() const {
    return target == GL_TEXTURE_CUBE_MAP;
}

std::int64_t Texture::getDataSize() const {
    std::int64_t size = std::int64_t{width} * height * bytesPerTexel;
    if (generateMipmap) {
        size += static_cast<std::int64_t>(static_cast<double>(size) * mipmapChainShare);
    }
    if (isCubemap()) size *= cubeFaces;
    return size;
}

void Texture::invokeGenerateMipmap() {
    generateMipmap = true;
    glBindTexture(target, textureId);
    RenderPass::forgetBindings();
    glGenerateMipmap(target);
}

void Texture::updateTextureSampler(bool filter, bool wrap) {
    filterSampling = filter;
    wrapTextureCoordinates = wrap;
    glBindTexture(target, textureId);
    RenderPass::forgetBindings();
    const GLint wrapMode = wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(target, GL_TEXTURE_WRAP_S, wrapMode);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, wrapMode);
    GLint minFilter = GL_NEAREST;
    GLint magFilter = GL_NEAREST;
    if (filter) {
        minFilter = generateMipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
        magFilter = GL_LINEAR;
    }
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, minFilter);
}

namespace {

// The renderer's default texture in `slot`, made on first request. Without a renderer the
// build reports that and nothing is kept.
template <typename Make>
std::shared_ptr<Texture> builtIn(std::shared_ptr<Texture> RendererResources::BuiltIns::*slot,
                                 Make make) {
    Renderer* renderer = Renderer::instance;
    if (renderer == nullptr) return make();
    std::shared_ptr<Texture>& texture = resourcesOf(*renderer).builtIns.*slot;
    if (texture == nullptr) texture = make();
    return texture;
}

}  // namespace

std::shared_ptr<Texture> Texture::getWhiteTexture() {
    return builtIn(&RendererResources::BuiltIns::white, [] {
        return create()
            .withWhiteData(defaultTextureSize, defaultTextureSize)
            .withFilterSampling(false)
            .withName("ORKA Default White")
            .build();
    });
}

std::shared_ptr<Texture> Texture::getSphereTexture() {
    return builtIn(&RendererResources::BuiltIns::sphere, [] {
        return create()
            .withRGBAData(spherePixels().data(), sphereTextureSize, sphereTextureSize)
            .withGenerateMipmaps(true)
            .withFilterSampling(true)
            .withWrappedTextureCoordinates(true)
            .withName("ORKA Default Sphere")
            .build();
    });
}

std::shared_ptr<Texture> Texture::getDefaultCubemapTexture() {
    return builtIn(&RendererResources::BuiltIns::cubemap, [] {
        return create()
            .withWhiteCubemapData(defaultTextureSize, defaultTextureSize)
            .withFilterSampling(false)
            .withName("ORKA Default Cubemap")
            .build();
    });
}

}  // namespace orka
