#include "orka/MultisampleTarget.hpp"

namespace orka {

namespace {

void deleteFramebuffer(GLuint name) {
    glDeleteFramebuffers(1, &name);
}

void deleteRenderbuffer(GLuint name) {
    glDeleteRenderbuffers(1, &name);
}

// The window's own encoding: resolving an sRGB target into an sRGB back buffer averages in
// linear light, as the blending did; a plain window keeps plain bytes.
GLenum windowColorFormat() {
    GLint previous = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    GLint encoding = GL_LINEAR;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_BACK_LEFT,
                                          GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING, &encoding);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previous));
    return encoding == GL_SRGB ? GL_SRGB8_ALPHA8 : GL_RGBA8;
}

GLName makeRenderbuffer(GLenum format, glm::ivec2 size, int samples) {
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, size.x, size.y);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return GLName(name, deleteRenderbuffer);
}

}  // namespace

MultisampleTarget::MultisampleTarget(glm::ivec2 size, int samples) : size(size), samples(samples) {
    const GLenum colorFormat = windowColorFormat();
    colorBuffer = makeRenderbuffer(colorFormat, size, samples);
    depthStencilBuffer = makeRenderbuffer(GL_DEPTH24_STENCIL8, size, samples);
    GLuint name = 0;
    glGenFramebuffers(1, &name);
    framebuffer = GLName(name, deleteFramebuffer);
    GLint previous = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, name);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              colorBuffer.get());
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              depthStencilBuffer.get());
    complete = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void MultisampleTarget::resolveIntoWindow() const {
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    // The copy is clipped by the scissor box like any drawing.
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer.get());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, size.x, size.y, 0, 0, size.x, size.y, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

void MultisampleTarget::abandon() {
    framebuffer.release();
    colorBuffer.release();
    depthStencilBuffer.release();
}

}  // namespace orka
