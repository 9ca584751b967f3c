#pragma once

namespace orka {

/// Where the renderer mixes colours: the space tints, clear colours and texture bytes are
/// taken in and blending happens in. Chosen for the whole renderer before the window opens
/// (SDLRenderer::setBlendingSpace), as it decides the formats of the window, of every texture
/// and of the glyph pages.
enum class BlendingSpace {
    /// Linear light (the default): the window encodes as sRGB, image files and sRGB bytes are
    /// decoded when sampled, tints are linear amounts of light. Half-covered edges and
    /// overlays mix as light does.
    Linear,
    /// The display's values, as paint programs and most 2D libraries blend: a plain RGBA8
    /// window, texture bytes used as they are, tints given as the display shows them (0.5 shows
    /// as 128). A 0.6-alpha black overlay on (231, 58, 58) gives about (92, 23, 23).
    Display
};

}  // namespace orka
