#include "orka/ShaderSources.hpp"

namespace orka::shader_sources {

const ShaderSourcePair standard = {
    R"(#version 140
in vec3 position;
in vec3 normal;
in vec4 uv;
out vec3 vNormal;
out vec2 vUV;
out vec3 vEyePos;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;
uniform mat3 g_normal;

void main(void) {
    vec4 eyePos = g_view * g_model * vec4(position, 1.0);
    vEyePos = eyePos.xyz;
    vNormal = normalize(g_normal * normal);
    vUV = uv.xy;
    gl_Position = g_projection * eyePos;
}
)",
    R"(#version 140
out vec4 fragColor;
in vec3 vNormal;
in vec2 vUV;
in vec3 vEyePos;

uniform vec4 color;
uniform sampler2D tex;
uniform float specularity;

uniform vec3 g_ambientLight;
uniform vec4 g_lightPosType[4];
uniform vec4 g_lightColorRange[4];

// Diffuse and specular light of the four slots; the ambient light is a floor, not an addition.
vec3 computeLight() {
    vec3 lightColor = vec3(0.0);
    vec3 n = normalize(vNormal);
    for (int i = 0; i < 4; i++) {
        vec4 posType = g_lightPosType[i];
        vec3 L;
        float attenuation = 1.0;
        if (posType.w == 0.0) {
            L = posType.xyz;
        } else if (posType.w == 1.0) {
            vec3 toLight = posType.xyz - vEyePos;
            float d = length(toLight);
            float range = g_lightColorRange[i].w;
            L = normalize(toLight);
            if (range <= 0.0) {
                attenuation = 1.0;
            } else if (d >= range) {
                attenuation = 0.0;
            } else {
                attenuation = pow(1.0 - d / range, 1.5);
            }
        } else {
            continue;
        }
        float diffuse = dot(L, n);
        if (max(0.0, diffuse) > 0.0) {
            lightColor += attenuation * diffuse * g_lightColorRange[i].xyz;
        }
        if (specularity > 0.0) {
            vec3 H = normalize(L - normalize(vEyePos));
            float nDotH = dot(n, H);
            if (nDotH > 0.0) {
                lightColor += vec3(attenuation * pow(nDotH, specularity));
            }
        }
    }
    return max(g_ambientLight, lightColor);
}

void main(void) {
    vec4 c = color * texture(tex, vUV);
    vec3 l = computeLight();
    fragColor = c * vec4(l, 1.0);
}
)"};

const ShaderSourcePair unlit = {
    R"(#version 140
in vec3 position;
in vec3 normal;
in vec4 uv;
out vec2 vUV;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;

void main(void) {
    gl_Position = g_projection * g_view * g_model * vec4(position, 1.0);
    vUV = uv.xy;
}
)",
    R"(#version 140
out vec4 fragColor;
in vec2 vUV;

uniform vec4 color;
uniform sampler2D tex;

void main(void) {
    fragColor = color * texture(tex, vUV);
}
)"};

const ShaderSourcePair unlitSprite = {
    R"(#version 140
in vec3 position;
in vec4 uv;
in vec4 color;
out vec2 vUV;
flat out vec4 vColor;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;

void main(void) {
    gl_Position = g_projection * (g_view * (g_model * vec4(position, 1.0)));
    vUV = uv.xy;
    vColor = color;
}
)",
    R"(#version 140
out vec4 fragColor;
in vec2 vUV;
flat in vec4 vColor;

uniform sampler2D tex;

void main(void) {
    fragColor = vColor * texture(tex, vUV);
}
)"};

const ShaderSourcePair unlitSpriteByteColor = {
    R"(#version 140
in vec3 position;
in vec4 uv;
in vec4 color;
out vec4 vUVColor;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;

// One output instead of two: under llvmpipe every fragment input costs setup and rasterizer
// time per triangle, which dominates for small sprites. The colour's bytes (0 to 255) go two
// to a float, plus one half: a value equal at all corners interpolates to itself within far
// less than the half, so the fragment stage's floor gives the pair back.
void main(void) {
    gl_Position = g_projection * (g_view * (g_model * vec4(position, 1.0)));
    vec4 bytes = floor(color * 255.0 + 0.5);
    vUVColor = vec4(uv.xy, bytes.r * 256.0 + bytes.g + 0.5, bytes.b * 256.0 + bytes.a + 0.5);
}
)",
    R"(#version 140
out vec4 fragColor;
in vec4 vUVColor;

uniform sampler2D tex;

void main(void) {
    vec2 pairs = floor(vUVColor.zw);
    vec2 high = floor(pairs * (1.0 / 256.0));
    vec4 bytes = vec4(high.x, pairs.x - high.x * 256.0, high.y, pairs.y - high.y * 256.0);
    fragColor = (bytes * (1.0 / 255.0)) * texture(tex, vUVColor.xy);
}
)"};

const ShaderSourcePair unlitShape = {
    R"(#version 140
in vec3 position;
in vec4 uv;
in vec4 color;
out vec2 vCut;
flat out vec4 vColor;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;
uniform vec4 g_viewport;

// Texture coordinates from 8 up mark a corner of a smoothed edge: 8 plus the angle of its
// mitre, and the mitre's length, positive to move the corner half a pixel out, negative half a
// pixel in. The pixel is measured along the mitre through the transforms, so edges stay one
// pixel soft however the picture is scaled. Coverage goes to the fragment stage as 6 (out) to
// 7 (in).
void main(void) {
    vec2 at = position.xy;
    vCut = uv.xy;
    if (uv.x > 7.5) {
        float angle = uv.x - 8.0;
        vec2 direction = vec2(cos(angle), sin(angle));
        vec4 across = g_projection * (g_view * (g_model * vec4(direction, 0.0, 0.0)));
        float pixels = max(length(across.xy * 0.5 * g_viewport.xy), 1e-6);
        at += direction * (0.5 * uv.y / pixels);
        vCut = vec2(uv.y > 0.0 ? 6.0 : 7.0, 0.0);
    }
    gl_Position = g_projection * (g_view * (g_model * vec4(at, position.z, 1.0)));
    vColor = color;
}
)",
    R"(#version 140
out vec4 fragColor;
in vec2 vCut;
flat in vec4 vColor;

// The texture is white, so only the colour is drawn. Texture coordinates from 1.6 to 4.4 are
// a disc's quad: (3, 3) is its centre and 1 its edge, which fades out over about one pixel
// (the distance's change to the next pixel) instead of stepping. From 6 to 7 they are the
// coverage of a smoothed edge's band, less 6. Any texture coordinate a sprite can have (0 to
// 1) draws its whole quad.
void main(void) {
    if (vCut.x > 5.5) {
        fragColor = vec4(vColor.rgb, vColor.a * min(vCut.x - 6.0, 1.0));
        return;
    }
    if (vCut.x > 1.5) {
        float fromCentre = length(vCut - 3.0);
        float perPixel = max(fwidth(fromCentre), 1e-5);
        float coverage = clamp((1.0 - fromCentre) / perPixel + 0.5, 0.0, 1.0);
        if (coverage <= 0.0) discard;
        fragColor = vec4(vColor.rgb, vColor.a * coverage);
        return;
    }
    fragColor = vColor;
}
)"};

const ShaderSourcePair standardParticles = {
    R"(#version 140
in vec3 position;
in float particleSize;
in vec4 uv;
in vec4 color;
out mat3 vUVMat;
out vec4 vUVRect;
out vec4 vColor;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;
uniform vec4 g_viewport;

mat3 translate(vec2 offset) {
    return mat3(1.0, 0.0, 0.0, 0.0, 1.0, 0.0, offset.x, offset.y, 1.0);
}

mat3 scale(float factor) {
    return mat3(factor, 0.0, 0.0, 0.0, factor, 0.0, 0.0, 0.0, 1.0);
}

mat3 rotate(float radians) {
    float c = cos(radians);
    float s = sin(radians);
    return mat3(c, s, 0.0, -s, c, 0.0, 0.0, 0.0, 1.0);
}

void main(void) {
    vec4 eyePos = g_view * g_model * vec4(position, 1.0);
    gl_Position = g_projection * eyePos;
    // Sizes are given for a 600 pixel high viewport; perspective shrinks them with distance.
    float viewportScale = g_viewport.y / 600.0;
    if (g_projection[2][3] != 0.0) {
        gl_PointSize = viewportScale * particleSize / -eyePos.z;
    } else {
        gl_PointSize = particleSize * viewportScale;
    }
    vUVMat = translate(uv.xy) * scale(uv.z) * translate(vec2(0.5, 0.5)) * rotate(uv.w) *
             translate(vec2(-0.5, -0.5));
    vUVRect = uv;
    vColor = color;
}
)",
    R"(#version 140
out vec4 fragColor;
in mat3 vUVMat;
in vec4 vUVRect;
in vec4 vColor;

uniform highp vec4 g_viewport;
uniform sampler2D tex;

void main(void) {
    vec2 texCoord = (vUVMat * vec3(gl_PointCoord, 1.0)).xy;
    // A rotated sprite reaches outside its rectangle; those texels belong to other sprites.
    if (any(lessThan(texCoord, vUVRect.xy)) || any(greaterThan(texCoord, vUVRect.xy + vUVRect.zz))) {
        discard;
    }
    fragColor = vColor * texture(tex, texCoord);
}
)"};

const ShaderSourcePair debugUV = {
    R"(#version 140
in vec3 position;
in vec4 uv;
out vec2 vUV;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;

void main(void) {
    gl_Position = g_projection * g_view * g_model * vec4(position, 1.0);
    vUV = uv.xy;
}
)",
    R"(#version 140
out vec4 fragColor;
in vec2 vUV;

void main(void) {
    fragColor = vec4(vUV,0.0,1.0);
}
)"};

const ShaderSourcePair debugNormals = {
    R"(#version 140
in vec3 position;
in vec3 normal;
out vec3 vNormal;

uniform mat4 g_model;
uniform mat4 g_view;
uniform mat4 g_projection;
uniform mat3 g_normal;

void main(void) {
    gl_Position = g_projection * g_view * g_model * vec4(position, 1.0);
    vNormal = normalize(g_normal * normal);
}
)",
    R"(#version 140
out vec4 fragColor;
in vec3 vNormal;

void main(void) {
    fragColor = vec4(vNormal*0.5+0.5,1.0);
}
)"};

}  // namespace orka::shader_sources
