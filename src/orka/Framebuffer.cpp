#include "orka/Framebuffer.hpp"

#include <GL/glew.h>

#include <utility>

#include "orka/Log.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

const char* const defaultName = "Unnamed Framebuffer";

// Restores the framebuffer binding of whoever was drawing when we are done.
class FramebufferBindingGuard {
public:
    FramebufferBindingGuard() { glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous); }
    ~FramebufferBindingGuard() { glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous)); }
    FramebufferBindingGuard(const FramebufferBindingGuard&) = delete;
    FramebufferBindingGuard& operator=(const FramebufferBindingGuard&) = delete;

private:
    GLint previous = 0;
};

bool fits(const Texture& texture, unsigned int width, unsigned int height) {
    return !texture.isCubemap() && texture.getWidth() == static_cast<int>(width) &&
           texture.getHeight() == static_cast<int>(height);
}

}  // namespace

// ---- FramebufferBuilder ----

Framebuffer::FramebufferBuilder Framebuffer::create() {
    return {};
}

Framebuffer::FramebufferBuilder& Framebuffer::FramebufferBuilder::withSize(unsigned int w,
                                                                           unsigned int h) {
    width = w;
    height = h;
    return *this;
}

Framebuffer::FramebufferBuilder& Framebuffer::FramebufferBuilder::withColorTexture() {
    textures.emplace_back();
    return *this;
}

Framebuffer::FramebufferBuilder& Framebuffer::FramebufferBuilder::withColorTexture(
    std::shared_ptr<Texture> texture) {
    if (texture == nullptr) {
        ORKA_LOG_ERROR("Framebuffer colour texture must not be empty");
        return *this;
    }
    textures.push_back(std::move(texture));
    return *this;
}

Framebuffer::FramebufferBuilder& Framebuffer::FramebufferBuilder::withDepth(bool enabled) {
    depth = enabled;
    return *this;
}

Framebuffer::FramebufferBuilder& Framebuffer::FramebufferBuilder::withName(
    const std::string& newName) {
    name = newName;
    return *this;
}

bool Framebuffer::FramebufferBuilder::checkTextures(GLint maxAttachments) const {
    if (width == 0 || height == 0) {
        ORKA_LOG_ERROR("Framebuffer %s needs a size (was %u x %u)", name.c_str(), width, height);
        return false;
    }
    if (static_cast<GLint>(textures.size()) > maxAttachments) {
        ORKA_LOG_ERROR("Framebuffer %s has %i colour textures; at most %i are supported",
                       name.c_str(), static_cast<int>(textures.size()), maxAttachments);
        return false;
    }
    for (const auto& texture : textures) {
        if (texture == nullptr || fits(*texture, width, height)) continue;
        ORKA_LOG_ERROR("Framebuffer %s (%u x %u) cannot use texture %s (%i x %i%s)", name.c_str(),
                       width, height, texture->getName().c_str(), texture->getWidth(),
                       texture->getHeight(), texture->isCubemap() ? ", cube map" : "");
        return false;
    }
    return true;
}

std::shared_ptr<Framebuffer> Framebuffer::FramebufferBuilder::build() {
    if (Renderer::instance == nullptr) {
        ORKA_LOG_FATAL("Cannot instantiate orka::Framebuffer before orka::Renderer is created.");
        return {};
    }
    if (name.empty()) name = defaultName;
    GLint maxAttachments = 0;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &maxAttachments);
    if (!checkTextures(maxAttachments)) return {};

    std::vector<std::shared_ptr<Texture>> colorTextures = textures;
    if (colorTextures.empty()) colorTextures.emplace_back();
    for (size_t i = 0; i < colorTextures.size(); i++) {
        if (colorTextures[i] != nullptr) continue;
        colorTextures[i] =
            Texture::create()
                .withRGBAData(nullptr, static_cast<int>(width), static_cast<int>(height))
                .withWrappedTextureCoordinates(false)
                .withName(name + " colour " + std::to_string(i))
                .build();
        if (colorTextures[i] == nullptr) return {};
    }
    std::shared_ptr<Framebuffer> framebuffer(
        new Framebuffer(width, height, name, std::move(colorTextures)));
    if (!framebuffer->attach(depth)) return {};
    return framebuffer;
}

// ---- Framebuffer ----

Framebuffer::Framebuffer(unsigned int width, unsigned int height, std::string name,
                         std::vector<std::shared_ptr<Texture>> textures)
    : width(width),
      height(height),
      name(std::move(name)),
      textures(std::move(textures)),
      rendererSerial(Renderer::instance->getSerial()) {
    glGenFramebuffers(1, &framebufferId);
}

Framebuffer::~Framebuffer() {
    // The names went with the context that made them; another context's objects may carry
    // the same names now.
    const Renderer* renderer = Renderer::instance;
    if (renderer == nullptr || renderer->getSerial() != rendererSerial) return;
    if (depthRenderbufferId != 0) glDeleteRenderbuffers(1, &depthRenderbufferId);
    glDeleteFramebuffers(1, &framebufferId);
}

bool Framebuffer::attach(bool depth) {
    const FramebufferBindingGuard guard;
    bind();
    if (depth) {
        glGenRenderbuffers(1, &depthRenderbufferId);
        glBindRenderbuffer(GL_RENDERBUFFER, depthRenderbufferId);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast<GLsizei>(width),
                              static_cast<GLsizei>(height));
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  depthRenderbufferId);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
    }
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        ORKA_LOG_ERROR("Framebuffer %s is incomplete (status 0x%x)", name.c_str(), status);
        return false;
    }
    return true;
}

void Framebuffer::bind() {
    glBindFramebuffer(GL_FRAMEBUFFER, framebufferId);
    if (!texturesChanged) return;
    std::vector<GLenum> drawBuffers;
    for (size_t i = 0; i < textures.size(); i++) {
        const GLenum attachment = GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i);
        glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D,
                               RenderPass::textureName(*textures[i]), 0);
        drawBuffers.push_back(attachment);
    }
    glDrawBuffers(static_cast<GLsizei>(drawBuffers.size()), drawBuffers.data());
    texturesChanged = false;
}

bool Framebuffer::setColorTexture(int index, std::shared_ptr<Texture> texture) {
    if (index < 0 || index >= static_cast<int>(textures.size())) {
        ORKA_LOG_ERROR("Framebuffer %s has no colour texture %i", name.c_str(), index);
        return false;
    }
    if (texture == nullptr || !fits(*texture, width, height)) {
        ORKA_LOG_ERROR("Framebuffer %s (%u x %u) cannot use that texture", name.c_str(), width,
                       height);
        return false;
    }
    textures[static_cast<size_t>(index)] = std::move(texture);
    texturesChanged = true;
    return true;
}

}  // namespace orka
