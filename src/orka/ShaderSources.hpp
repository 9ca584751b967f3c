#pragma once

namespace orka {

/// The GLSL "#version 140" sources of the built-in shaders. Vertex inputs use the mesh's
/// conventional attribute names ("position", "normal", "uv", "color", "particleSize"), engine
/// uniforms begin with "g_" and every fragment shader writes its colour to `fragColor`.
struct ShaderSourcePair {
    const char* vertex;
    const char* fragment;
};

namespace shader_sources {

/// Per-pixel lighting from the ambient light and four light slots; material uniforms
/// `color` (vec4), `tex` (sampler2D) and `specularity` (float).
extern const ShaderSourcePair standard;
/// `color` times `tex`, no lighting.
extern const ShaderSourcePair unlit;
/// Per-vertex colour times `tex`; for sprite batches.
extern const ShaderSourcePair unlitSprite;
/// As unlitSprite, for colours of normalized bytes: they travel to the fragment stage packed
/// beside the texture coordinate, two bytes to a float.
extern const ShaderSourcePair unlitSpriteByteColor;
extern const ShaderSourcePair unlitShape;
/// Point sprites: uv packs the sprite's texture rectangle (xy corner, z size, w rotation).
extern const ShaderSourcePair standardParticles;
/// Shows the texture coordinate as red and green.
extern const ShaderSourcePair debugUV;
/// Shows the eye-space normal mapped from [-1, 1] to [0, 1].
extern const ShaderSourcePair debugNormals;

}  // namespace shader_sources
}  // namespace orka
