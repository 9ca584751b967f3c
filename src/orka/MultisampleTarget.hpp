#pragma once

#include <glm/glm.hpp>

#include "orka/GLName.hpp"

namespace orka {

/// The multisampled stand-in for the window's framebuffer: a framebuffer with a multisampled
/// colour and depth-stencil renderbuffer that render passes into the window draw into, resolved
/// (averaged) into the window's back buffer before the frame is presented. Windows get no
/// multisampled visual on every X server (Xvfb offers none), a framebuffer works everywhere.
/// Engine-internal; owned by the Renderer, made and used with its context current.
class MultisampleTarget {
public:
    /// Makes the buffers for `size` pixels and `samples` samples a pixel, in the window's colour
    /// encoding (sRGB when the window's back buffer is). Check isComplete() afterwards.
    MultisampleTarget(glm::ivec2 size, int samples);
    MultisampleTarget(const MultisampleTarget&) = delete;
    MultisampleTarget& operator=(const MultisampleTarget&) = delete;

    /// Whether the driver accepted the buffers; an incomplete target must not be drawn into.
    bool isComplete() const { return complete; }
    /// Size in pixels it was made for.
    glm::ivec2 getSize() const { return size; }
    /// Samples a pixel it was made with.
    int getSamples() const { return samples; }
    /// The GL framebuffer name render passes bind instead of the window's (0).
    GLuint getFramebuffer() const { return framebuffer.get(); }

    /// Averages the samples into the window's back buffer and leaves the window's framebuffer
    /// bound for reading and drawing. The scissor test is off during the copy and restored.
    void resolveIntoWindow() const;
    /// Forgets its names without deleting them, for when its context is gone or not current
    /// (they die with the context).
    void abandon();

private:
    glm::ivec2 size;
    int samples;
    GLName framebuffer;
    GLName colorBuffer;
    GLName depthStencilBuffer;
    bool complete = false;
};

}  // namespace orka
