#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orka {

class Material;
class Mesh;
class RenderPass;
class Shader;
class WorldLights;
struct GpuTestAccess;

/// How a shader's fragments are combined with the framebuffer.
enum class BlendType : int {
    Disabled = 0,          ///< the fragment replaces the pixel
    AlphaBlending = 1,     ///< source alpha, one minus source alpha
    AdditiveBlending = 2,  ///< source alpha, one: light adds up
    /// Destination colour, one minus source alpha: the pixel is multiplied by the fragment's
    /// colour where it covers (darkens; white leaves it). Needs a fragment colour premultiplied
    /// by its alpha, as the batch shaders for this mode give it.
    MultiplyBlending = 3,
    /// One, one minus source alpha: for colours already multiplied by their alpha (textures
    /// and tints made so), which filter and mix without dark fringes.
    PremultipliedAlphaBlending = 4
};

/// The kinds of uniform the engine understands; anything else is `Invalid`.
enum class UniformType : int {
    Int = 0,
    Float = 1,
    Mat3 = 2,
    Mat4 = 3,
    Vec3 = 4,
    Vec4 = 5,
    Texture = 6,
    TextureCube = 7,
    Invalid = 8
};

/// Display name of a uniform type: "int", "float", "mat3", ..., "invalid".
const char* uniformTypeName(UniformType type);

/// A uniform found by introspection: its GL location (`id`), kind and array length.
struct Uniform {
    /// As declared, without an array's "[0]".
    std::string name;
    /// The GL uniform location (glGetUniformLocation), not an index or a GL object name; -1
    /// when the uniform is not active.
    int id = -1;
    UniformType type = UniformType::Invalid;  ///< `Invalid` for a kind the engine does not use
    int arraySize = -1;                       ///< elements; 1 for a plain uniform
};

/// Describes a shader; `build()` compiles and links it. Defaults: empty sources, depth test and
/// depth write on, no polygon offset, no blending, name "Unnamed shader".
class ShaderBuilder {
public:
    /// GLSL sources of the two stages, "#version 140" or later.
    ShaderBuilder& withSource(const std::string& vertexShader, const std::string& fragmentShader);
    /// Per-pixel lighting from the ambient light and the scene lights; material uniforms
    /// `color` (vec4), `tex` (sampler2D) and `specularity` (float).
    ShaderBuilder& withSourceStandard();
    /// `color` times `tex`, no lighting.
    ShaderBuilder& withSourceUnlit();
    /// Per-vertex colour times `tex`, as sprite batches draw.
    ShaderBuilder& withSourceUnlitSprite();
    /// Point sprites: the mesh's uv packs each sprite's texture rectangle (xy corner, z size,
    /// w rotation) and its particle sizes give their sizes.
    ShaderBuilder& withSourceStandardParticles();
    /// Shows the texture coordinates as red and green.
    ShaderBuilder& withSourceDebugUV();
    /// Shows the eye-space normal mapped from [-1, 1] to [0, 1].
    ShaderBuilder& withSourceDebugNormals();
    /// How fragments are combined with the target.
    ShaderBuilder& withBlend(BlendType blendType);
    /// Whether fragments behind what the depth buffer holds are dropped.
    ShaderBuilder& withDepthTest(bool enable);
    /// Whether drawn fragments write their depth.
    ShaderBuilder& withDepthWrite(bool enable);
    /// Polygon offset as glPolygonOffset takes it; (0, 0) switches polygon offset off.
    ShaderBuilder& withOffset(float factor, float units);
    /// The name log messages give it.
    ShaderBuilder& withName(const std::string& name);
    /// The linked shader, or an empty pointer after logging the compile or link error.
    /// Needs the renderer (fatal log otherwise).
    std::shared_ptr<Shader> build();

private:
    std::string vertexShaderStr;
    std::string fragmentShaderStr;
    bool depthTest = true;
    bool depthWrite = true;
    glm::vec2 offset{0.0f, 0.0f};
    std::string name;
    BlendType blend = BlendType::Disabled;
};

/// A linked GLSL program, the fixed-function state it draws with and the description of its
/// uniforms and vertex attributes. Always held through std::shared_ptr; materials and meshes
/// keep references to it. Uniforms whose names begin with "g_" are engine uniforms filled by
/// render passes; the others belong to materials.
class Shader : public std::enable_shared_from_this<Shader> {
public:
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    /// A builder for a new shader.
    static ShaderBuilder create();

    /// Built-in shaders, built on first request and kept by the renderer until it is destroyed
    /// (a later renderer builds its own): "Standard" and "Unlit" with the builder's defaults,
    /// "Unlit Sprite" alpha-blended without depth test, "Standard Particles" added up without
    /// depth write.
    ///@{
    static std::shared_ptr<Shader> getStandard();
    static std::shared_ptr<Shader> getUnlit();
    static std::shared_ptr<Shader> getUnlitSprite();
    static std::shared_ptr<Shader> getStandardParticles();
    ///@}
    /// "Unlit Sprite Byte Color": as "Unlit Sprite", for meshes whose colours are normalized
    /// bytes (sprite batches); it hands the fragment stage one input instead of two, which
    /// llvmpipe rasterizes small sprites noticeably faster with.
    static std::shared_ptr<Shader> getUnlitSpriteByteColor();
    /// "Unlit Shape": what sprite batches draw the runs of the white texture with (shapes, and
    /// sprites of Texture::getWhiteTexture): the vertex colour alone, alpha-blended without
    /// depth test, with no texture lookup. Quads whose texture coordinates run from 2 to 4 are
    /// cut to the disc about (3, 3), so a filled circle or ellipse takes two triangles.
    static std::shared_ptr<Shader> getUnlitShape();
    /// The three batch shaders above ("Unlit Sprite", "Unlit Sprite Byte Color", "Unlit Shape")
    /// with another blending, built on first request and kept as they are; `blend` AlphaBlending
    /// gives the shader itself. The MultiplyBlending ones premultiply their colour by its
    /// alpha. Empty for a shader that is not one of the three.
    static std::shared_ptr<Shader> getBatchShader(const std::shared_ptr<Shader>& alphaShader,
                                                  BlendType blend);

    /// A new material with default values for this shader's material uniforms.
    std::shared_ptr<Material> createMaterial();

    /// Names of the material uniforms, in the order GL reports them.
    std::vector<std::string> getUniformNames() const;
    /// The first material uniform of that name, or one with id -1 and type `Invalid`.
    Uniform getUniformType(const std::string& name) const;
    /// Active vertex attribute names, ascending.
    std::vector<std::string> getAttributeNames() const;
    /// (GL type, array size) of an active vertex attribute; (0, 0) for a name the shader lacks.
    std::pair<int, int> getAttibuteType(const std::string& name) const;
    /// True when the mesh has every vertex attribute the shader reads; otherwise false and one
    /// line per missing attribute appended to `info`.
    bool validateMesh(Mesh* mesh, std::string& info) const;

    /// The settings it was built with (see ShaderBuilder); the offset is (factor, units).
    ///@{
    const std::string& getName() const { return name; }
    BlendType getBlend() const { return blend; }
    glm::vec2 getOffset() const { return offset; }
    bool isDepthTest() const { return depthTest; }
    bool isDepthWrite() const { return depthWrite; }
    ///@}

    /// Rewrites a GLSL "#version 140" source for GLSL ES 1.00.
    static std::string translateToGLSLES(std::string source, bool vertexShader);

private:
    /// (location, GL type, array size) of an active vertex attribute.
    struct AttributeInfo {
        int location = 0;
        int type = 0;
        int arraySize = 0;
    };

    Shader();
    bool compileAndLink(const std::string& vertexSource, const std::string& fragmentSource);
    // `type` is a GLenum: GL_VERTEX_SHADER or GL_FRAGMENT_SHADER.
    bool compileStage(unsigned int type, const std::string& source);
    void updateUniformsAndAttributes();
    void updateAttributes();
    void storeEngineUniform(const Uniform& uniform);

    /// Makes the program current and applies depth, blend and polygon-offset state.
    void bind();
    /// Uploads the ambient light and the first Renderer::maxSceneLights lights in eye space.
    /// Returns false when `worldLights` is null (then everything is uploaded as zero).
    bool setLights(WorldLights* worldLights, glm::mat4 viewTransform);

    friend class ShaderBuilder;
    friend class Mesh;
    friend class Material;
    friend class RenderPass;
    friend struct GpuTestAccess;

    unsigned int shaderProgramId = 0;  // GLuint
    /// Names this shader for the caches of meshes and passes. GL may give a released program's
    /// name to the next program; serials are never reused.
    std::uint64_t serial = 0;
    /// Renderer::getSerial() of the renderer whose context holds the program.
    std::uint64_t rendererSerial = 0;
    bool depthTest = true;
    bool depthWrite = true;
    std::string name;
    BlendType blend = BlendType::Disabled;
    glm::vec2 offset{0.0f, 0.0f};
    std::vector<Uniform> uniforms;
    std::map<std::string, AttributeInfo> attributes;
    int uniformLocationModel = -1;
    int uniformLocationView = -1;
    int uniformLocationProjection = -1;
    int uniformLocationNormal = -1;
    int uniformLocationViewport = -1;
    int uniformLocationAmbientLight = -1;
    int uniformLocationLightPosType = -1;
    int uniformLocationLightColorRange = -1;
};

}  // namespace orka
