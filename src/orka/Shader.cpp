#include "orka/Shader.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <regex>
#include <sstream>

#include "orka/BatchBufferPool.hpp"
#include "orka/Log.hpp"
#include "orka/Material.hpp"
#include "orka/Mesh.hpp"
#include "orka/Renderer.hpp"
#include "orka/RendererResources.hpp"
#include "orka/ShaderCompile.hpp"
#include "orka/ShaderSources.hpp"
#include "orka/WorldLights.hpp"

namespace orka {

namespace {

constexpr const char* engineUniformPrefix = "g_";
constexpr int lightArraySize = Renderer::maxSceneLights;
// The w component of a light slot: how the Standard shader reads the slot.
constexpr float lightSlotDirectional = 0.0f;
constexpr float lightSlotPoint = 1.0f;
constexpr float lightSlotUnused = 2.0f;

const char* stageName(GLenum type, std::string& scratch) {
    switch (type) {
        case GL_VERTEX_SHADER:
            return "Vertex shader";
        case GL_FRAGMENT_SHADER:
            return "Fragment shader";
        case GL_GEOMETRY_SHADER:
            return "Geometry shader";
        case GL_TESS_CONTROL_SHADER:
            return "Tessellation control shader";
        case GL_TESS_EVALUATION_SHADER:
            return "Tessellation eval shader";
        default:
            scratch = "Unknown error type: " + std::to_string(type);
            return scratch.c_str();
    }
}

UniformType toUniformType(GLenum glType) {
    switch (glType) {
        case GL_INT:
            return UniformType::Int;
        case GL_FLOAT:
            return UniformType::Float;
        case GL_FLOAT_MAT3:
            return UniformType::Mat3;
        case GL_FLOAT_MAT4:
            return UniformType::Mat4;
        case GL_FLOAT_VEC3:
            return UniformType::Vec3;
        case GL_FLOAT_VEC4:
            return UniformType::Vec4;
        case GL_SAMPLER_2D:
            return UniformType::Texture;
        case GL_SAMPLER_CUBE:
            return UniformType::TextureCube;
        default:
            return UniformType::Invalid;
    }
}

const char* attributeTypeName(int glType) {
    switch (glType) {
        case GL_FLOAT:
            return "float";
        case GL_FLOAT_VEC2:
            return "vec2";
        case GL_FLOAT_VEC3:
            return "vec3";
        case GL_FLOAT_VEC4:
            return "vec4";
        case GL_INT_VEC4:
            return "ivec4";
        default:
            return "";
    }
}

// Name buffers sized from GL rather than fixed, so long names are never cut.
std::string nameBuffer(GLuint program, GLenum maxLengthQuery) {
    GLint maxLength = 0;
    glGetProgramiv(program, maxLengthQuery, &maxLength);
    return std::string(std::max(maxLength, 1), '\0');
}

// The renderer's built-in shader in `slot`, built on first request. Without a renderer the
// build reports that and nothing is kept.
std::shared_ptr<Shader> builtIn(std::shared_ptr<Shader> RendererResources::BuiltIns::*slot,
                                ShaderBuilder builder, const char* name) {
    Renderer* renderer = Renderer::instance;
    if (renderer == nullptr) return builder.withName(name).build();
    std::shared_ptr<Shader>& shader = resourcesOf(*renderer).builtIns.*slot;
    if (shader == nullptr) shader = builder.withName(name).build();
    return shader;
}

std::string replaceAll(const std::string& text, const std::string& pattern,
                       const std::string& replacement) {
    return std::regex_replace(text, std::regex(pattern), replacement);
}

// GLSL ES 1.00 has texture2D/textureCube instead of the overloaded texture().
std::string renameSamplerLookups(std::string source) {
    const std::regex samplerLine(R"(\s*uniform\s+sampler([\w]*)\s+([\w_]*)\s*;.*)");
    std::map<std::string, std::string> samplerKinds;
    std::istringstream lines(source);
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch match;
        if (std::regex_match(line, match, samplerLine)) samplerKinds[match[2]] = match[1];
    }
    for (const auto& [samplerName, kind] : samplerKinds) {
        source = replaceAll(source, R"(texture\s*\(\s*)" + samplerName + R"(\s*,)",
                            "texture" + kind + "(" + samplerName + ",");
    }
    return source;
}

}  // namespace

const char* uniformTypeName(UniformType type) {
    switch (type) {
        case UniformType::Int:
            return "int";
        case UniformType::Float:
            return "float";
        case UniformType::Mat3:
            return "mat3";
        case UniformType::Mat4:
            return "mat4";
        case UniformType::Vec3:
            return "vec3";
        case UniformType::Vec4:
            return "vec4";
        case UniformType::Texture:
            return "texture";
        case UniformType::TextureCube:
            return "textureCube";
        default:
            return "invalid";
    }
}

// ---- ShaderBuilder ----

ShaderBuilder& ShaderBuilder::withSource(const std::string& vertexShader,
                                         const std::string& fragmentShader) {
    vertexShaderStr = vertexShader;
    fragmentShaderStr = fragmentShader;
    return *this;
}

ShaderBuilder& ShaderBuilder::withSourceStandard() {
    return withSource(shader_sources::standard.vertex, shader_sources::standard.fragment);
}

ShaderBuilder& ShaderBuilder::withSourceUnlit() {
    return withSource(shader_sources::unlit.vertex, shader_sources::unlit.fragment);
}

ShaderBuilder& ShaderBuilder::withSourceUnlitSprite() {
    return withSource(shader_sources::unlitSprite.vertex, shader_sources::unlitSprite.fragment);
}

ShaderBuilder& ShaderBuilder::withSourceStandardParticles() {
    return withSource(shader_sources::standardParticles.vertex,
                      shader_sources::standardParticles.fragment);
}

ShaderBuilder& ShaderBuilder::withSourceDebugUV() {
    return withSource(shader_sources::debugUV.vertex, shader_sources::debugUV.fragment);
}

ShaderBuilder& ShaderBuilder::withSourceDebugNormals() {
    return withSource(shader_sources::debugNormals.vertex, shader_sources::debugNormals.fragment);
}

ShaderBuilder& ShaderBuilder::withBlend(BlendType blendType) {
    blend = blendType;
    return *this;
}

ShaderBuilder& ShaderBuilder::withDepthTest(bool enable) {
    depthTest = enable;
    return *this;
}

ShaderBuilder& ShaderBuilder::withDepthWrite(bool enable) {
    depthWrite = enable;
    return *this;
}

ShaderBuilder& ShaderBuilder::withOffset(float factor, float units) {
    offset = {factor, units};
    return *this;
}

ShaderBuilder& ShaderBuilder::withName(const std::string& shaderName) {
    name = shaderName;
    return *this;
}

std::shared_ptr<Shader> ShaderBuilder::build() {
    if (name.empty()) name = "Unnamed shader";
    std::shared_ptr<Shader> shader(new Shader());
    if (Renderer::instance == nullptr) return {};
    if (!shader->compileAndLink(vertexShaderStr, fragmentShaderStr)) return {};
    shader->depthTest = depthTest;
    shader->depthWrite = depthWrite;
    shader->blend = blend;
    shader->name = name;
    shader->offset = offset;
    return shader;
}

// ---- Shader ----

Shader::Shader() {
    if (Renderer::instance == nullptr) {
        ORKA_LOG_FATAL("Cannot instantiate orka::Shader before orka::Renderer is created.");
        return;
    }
    static std::uint64_t serialCount = 0;
    serial = ++serialCount;
    shaderProgramId = glCreateProgram();
    rendererSerial = Renderer::instance->getSerial();
    Renderer::instance->renderStats.shaderCount += 1;
    resourcesOf(*Renderer::instance).shaders.push_back(this);
}

Shader::~Shader() {
    Renderer* renderer = Renderer::instance;
    // The program went with its renderer's context; another context's name may be equal.
    if (renderer == nullptr || renderer->getSerial() != rendererSerial || shaderProgramId == 0) {
        return;
    }
    renderer->renderStats.shaderCount -= 1;
    auto& registry = resourcesOf(*renderer).shaders;
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
    // Vertex arrays made for this program's attribute locations serve no other shader.
    for (Mesh* mesh : resourcesOf(*renderer).meshes) mesh->forgetShader(serial);
    if (resourcesOf(*renderer).builtIns.batchBuffers != nullptr) {
        resourcesOf(*renderer).builtIns.batchBuffers->forgetShader(serial);
    }
    // A program still in use would only be flagged for deletion and outlive its shader.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    if (static_cast<GLuint>(current) == shaderProgramId) glUseProgram(0);
    glDeleteProgram(shaderProgramId);
}

ShaderBuilder Shader::create() {
    return {};
}

std::shared_ptr<Shader> Shader::getStandard() {
    return builtIn(&RendererResources::BuiltIns::standard, create().withSourceStandard(),
                   "Standard");
}

std::shared_ptr<Shader> Shader::getUnlit() {
    return builtIn(&RendererResources::BuiltIns::unlit, create().withSourceUnlit(), "Unlit");
}

std::shared_ptr<Shader> Shader::getUnlitSprite() {
    return builtIn(
        &RendererResources::BuiltIns::unlitSprite,
        create().withSourceUnlitSprite().withBlend(BlendType::AlphaBlending).withDepthTest(false),
        "Unlit Sprite");
}

std::shared_ptr<Shader> Shader::getUnlitSpriteByteColor() {
    const ShaderSourcePair& sources = shader_sources::unlitSpriteByteColor;
    return builtIn(&RendererResources::BuiltIns::unlitSpriteByteColor,
                   create()
                       .withSource(sources.vertex, sources.fragment)
                       .withBlend(BlendType::AlphaBlending)
                       .withDepthTest(false),
                   "Unlit Sprite Byte Color");
}

std::shared_ptr<Shader> Shader::getUnlitShape() {
    const ShaderSourcePair& sources = shader_sources::unlitShape;
    return builtIn(&RendererResources::BuiltIns::unlitShape,
                   create()
                       .withSource(sources.vertex, sources.fragment)
                       .withBlend(BlendType::AlphaBlending)
                       .withDepthTest(false),
                   "Unlit Shape");
}

namespace {

// The fragment stage of `fragment` with its colour premultiplied by its alpha at the end.
std::string premultiplied(const char* fragment) {
    std::string source =
        replaceAll(fragment, R"(void\s+main\s*\(\s*(void)?\s*\))", "void shadeStraight()");
    return source + "\nvoid main() {\n    shadeStraight();\n    fragColor.rgb *= fragColor.a;\n}\n";
}

const char* blendSuffix(BlendType blend) {
    switch (blend) {
        case BlendType::Disabled:
            return " Opaque";
        case BlendType::AlphaBlending:
            return "";
        case BlendType::AdditiveBlending:
            return " Additive";
        case BlendType::MultiplyBlending:
            return " Multiply";
        case BlendType::PremultipliedAlphaBlending:
            return " Premultiplied";
    }
    return "";
}

}  // namespace

std::shared_ptr<Shader> Shader::getBatchShader(const std::shared_ptr<Shader>& alphaShader,
                                               BlendType blend) {
    if (alphaShader == nullptr) return {};
    Renderer* renderer = Renderer::instance;
    if (renderer == nullptr) return {};
    RendererResources::BuiltIns& builtIns = resourcesOf(*renderer).builtIns;
    const std::shared_ptr<Shader>* kinds[] = {&builtIns.unlitSprite, &builtIns.unlitSpriteByteColor,
                                              &builtIns.unlitShape};
    const ShaderSourcePair* sources[] = {&shader_sources::unlitSprite,
                                         &shader_sources::unlitSpriteByteColor,
                                         &shader_sources::unlitShape};
    const char* names[] = {"Unlit Sprite", "Unlit Sprite Byte Color", "Unlit Shape"};
    const auto kind = std::find_if(std::begin(kinds), std::end(kinds),
                                   [&](const auto* slot) { return *slot == alphaShader; });
    if (kind == std::end(kinds)) return {};
    if (blend == BlendType::AlphaBlending) return alphaShader;
    const auto k = static_cast<size_t>(kind - std::begin(kinds));
    std::shared_ptr<Shader>& variant = builtIns.batchBlendVariants[k][static_cast<size_t>(blend)];
    if (variant != nullptr) return variant;
    const std::string fragment = blend == BlendType::MultiplyBlending
                                     ? premultiplied(sources[k]->fragment)
                                     : std::string(sources[k]->fragment);
    variant = create()
                  .withSource(sources[k]->vertex, fragment)
                  .withBlend(blend)
                  .withDepthTest(false)
                  .withName(std::string(names[k]) + blendSuffix(blend))
                  .build();
    return variant;
}

std::shared_ptr<Shader> Shader::getStandardParticles() {
    return builtIn(&RendererResources::BuiltIns::standardParticles,
                   create()
                       .withSourceStandardParticles()
                       .withBlend(BlendType::AdditiveBlending)
                       .withDepthWrite(false),
                   "Standard Particles");
}

std::shared_ptr<Material> Shader::createMaterial() {
    return std::shared_ptr<Material>(new Material(shared_from_this()));
}

bool Shader::compileAndLink(const std::string& vertexSource, const std::string& fragmentSource) {
    if (!compileStage(GL_VERTEX_SHADER, vertexSource)) return false;
    if (!compileStage(GL_FRAGMENT_SHADER, fragmentSource)) return false;
    glBindFragDataLocation(shaderProgramId, 0, "fragColor");
    std::string log;
    if (!shader_compile::linkProgram(shaderProgramId, log)) {
        ORKA_LOG_ERROR("Shader linker error: %s", log.c_str());
        return false;
    }
    updateUniformsAndAttributes();
    return true;
}

bool Shader::compileStage(GLenum type, const std::string& source) {
    std::string log;
    const GLuint stage = shader_compile::compileStage(type, source, log);
    if (stage == 0) {
        std::string scratch;
        ORKA_LOG_ERROR("Shader compile error in %s: %s", stageName(type, scratch), log.c_str());
        return false;
    }
    glAttachShader(shaderProgramId, stage);
    // Only flagged: the stage lives on while attached and goes with the program.
    glDeleteShader(stage);
    return true;
}

void Shader::updateUniformsAndAttributes() {
    uniformLocationModel = uniformLocationView = uniformLocationProjection = -1;
    uniformLocationNormal = uniformLocationViewport = uniformLocationAmbientLight = -1;
    uniformLocationLightPosType = uniformLocationLightColorRange = -1;
    uniforms.clear();

    GLint count = 0;
    glGetProgramiv(shaderProgramId, GL_ACTIVE_UNIFORMS, &count);
    std::string buffer = nameBuffer(shaderProgramId, GL_ACTIVE_UNIFORM_MAX_LENGTH);
    for (GLint i = 0; i < count; i++) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum glType = 0;
        glGetActiveUniform(shaderProgramId, i, static_cast<GLsizei>(buffer.size()), &length, &size,
                           &glType, buffer.data());
        Uniform uniform;
        // Arrays are reported as "name[0]".
        const std::string reported(buffer.data(), length);
        uniform.name = reported.substr(0, reported.find('['));
        uniform.type = toUniformType(glType);
        uniform.arraySize = size;
        if (uniform.type == UniformType::Invalid) {
            ORKA_LOG_ERROR("Unsupported shader type %s name %s", std::to_string(glType).c_str(),
                           uniform.name.c_str());
        }
        uniform.id = glGetUniformLocation(shaderProgramId, uniform.name.c_str());
        if (uniform.name.rfind(engineUniformPrefix, 0) == 0) {
            storeEngineUniform(uniform);
        } else {
            uniforms.push_back(uniform);
        }
    }
    updateAttributes();
}

void Shader::updateAttributes() {
    attributes.clear();
    GLint count = 0;
    glGetProgramiv(shaderProgramId, GL_ACTIVE_ATTRIBUTES, &count);
    std::string buffer = nameBuffer(shaderProgramId, GL_ACTIVE_ATTRIBUTE_MAX_LENGTH);
    for (GLint i = 0; i < count; i++) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum glType = 0;
        glGetActiveAttrib(shaderProgramId, i, static_cast<GLsizei>(buffer.size()), &length, &size,
                          &glType, buffer.data());
        const std::string attributeName(buffer.data(), length);
        const int location = glGetAttribLocation(shaderProgramId, attributeName.c_str());
        attributes[attributeName] = {location, static_cast<int>(glType), size};
    }
}

void Shader::storeEngineUniform(const Uniform& uniform) {
    struct EngineUniform {
        const char* name;
        UniformType type;
        int arraySize;  // 0: any (not an array uniform)
        int Shader::*location;
    };
    static const std::array<EngineUniform, 8> engineUniforms = {{
        {"g_model", UniformType::Mat4, 0, &Shader::uniformLocationModel},
        {"g_view", UniformType::Mat4, 0, &Shader::uniformLocationView},
        {"g_projection", UniformType::Mat4, 0, &Shader::uniformLocationProjection},
        {"g_normal", UniformType::Mat3, 0, &Shader::uniformLocationNormal},
        {"g_viewport", UniformType::Vec4, 0, &Shader::uniformLocationViewport},
        {"g_ambientLight", UniformType::Vec3, 0, &Shader::uniformLocationAmbientLight},
        {"g_lightPosType", UniformType::Vec4, lightArraySize, &Shader::uniformLocationLightPosType},
        {"g_lightColorRange", UniformType::Vec4, lightArraySize,
         &Shader::uniformLocationLightColorRange},
    }};
    for (const EngineUniform& expected : engineUniforms) {
        if (uniform.name != expected.name) continue;
        const char* found = uniformTypeName(uniform.type);
        if (expected.arraySize == 0 && uniform.type != expected.type) {
            ORKA_LOG_ERROR("Invalid %s uniform type. Expected %s - was %s.", expected.name,
                           uniformTypeName(expected.type), found);
        } else if (expected.arraySize != 0 &&
                   (uniform.type != expected.type || uniform.arraySize != expected.arraySize)) {
            ORKA_LOG_ERROR("Invalid %s uniform type. Expected %s[%i] - was %s[%i].", expected.name,
                           uniformTypeName(expected.type), expected.arraySize, found,
                           uniform.arraySize);
        } else {
            this->*expected.location = uniform.id;
        }
        return;
    }
}

std::vector<std::string> Shader::getUniformNames() const {
    std::vector<std::string> names;
    for (const Uniform& uniform : uniforms) names.push_back(uniform.name);
    return names;
}

Uniform Shader::getUniformType(const std::string& uniformName) const {
    for (const Uniform& uniform : uniforms) {
        if (uniform.name == uniformName) return uniform;
    }
    return {"", -1, UniformType::Invalid, -1};
}

std::vector<std::string> Shader::getAttributeNames() const {
    std::vector<std::string> names;
    for (const auto& entry : attributes) names.push_back(entry.first);
    return names;
}

std::pair<int, int> Shader::getAttibuteType(const std::string& attributeName) const {
    const auto found = attributes.find(attributeName);
    if (found == attributes.end()) return {0, 0};
    return {found->second.type, found->second.arraySize};
}

bool Shader::validateMesh(Mesh* mesh, std::string& info) const {
    bool valid = true;
    for (const auto& [attributeName, attribute] : attributes) {
        if (mesh->getType(attributeName).first != -1) continue;
        valid = false;
        info += "Cannot find vertex attribute '" + attributeName + "' in mesh of type " +
                attributeTypeName(attribute.type) + "\n";
    }
    return valid;
}

void Shader::bind() {
    glUseProgram(shaderProgramId);
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);
    switch (blend) {
        case BlendType::Disabled:
            glDisable(GL_BLEND);
            break;
        case BlendType::AlphaBlending:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            break;
        case BlendType::AdditiveBlending:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            break;
        case BlendType::MultiplyBlending:
            glEnable(GL_BLEND);
            glBlendFunc(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA);
            break;
        case BlendType::PremultipliedAlphaBlending:
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
            break;
        default:
            ORKA_LOG_ERROR("Invalid blend value - was %i", static_cast<int>(blend));
    }
    const bool offsetOff = offset.x == 0.0f && offset.y == 0.0f;
    for (GLenum mode : {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT}) {
        if (offsetOff) {
            glDisable(mode);
        } else {
            glEnable(mode);
        }
    }
    if (!offsetOff) glPolygonOffset(offset.x, offset.y);
}

bool Shader::setLights(WorldLights* worldLights, glm::mat4 viewTransform) {
    std::array<glm::vec4, lightArraySize> posType{};
    std::array<glm::vec4, lightArraySize> colorRange{};
    if (worldLights == nullptr) {
        const glm::vec3 black(0.0f);
        glUniform3fv(uniformLocationAmbientLight, 1, &black.x);
        glUniform4fv(uniformLocationLightPosType, lightArraySize, &posType[0].x);
        glUniform4fv(uniformLocationLightColorRange, lightArraySize, &colorRange[0].x);
        return false;
    }
    if (uniformLocationAmbientLight != -1) {
        const glm::vec3 ambient = worldLights->getAmbientLight();
        glUniform3fv(uniformLocationAmbientLight, 1, &ambient.x);
    }
    if (uniformLocationLightPosType == -1 || uniformLocationLightColorRange == -1) return true;
    for (int i = 0; i < lightArraySize; i++) {
        const Light* light = worldLights->getLight(i);
        posType[i] = {0.0f, 0.0f, 0.0f, lightSlotUnused};
        if (light == nullptr || light->lightType == Light::LightType::Unused) continue;
        if (light->lightType == Light::LightType::Point) {
            posType[i] = viewTransform * glm::vec4(light->position, 1.0f);
            posType[i].w = lightSlotPoint;
        } else {
            posType[i] = viewTransform * glm::vec4(light->direction, 0.0f);
            posType[i].w = lightSlotDirectional;
        }
        colorRange[i] = glm::vec4(light->color, light->range);
    }
    glUniform4fv(uniformLocationLightPosType, lightArraySize, &posType[0].x);
    glUniform4fv(uniformLocationLightColorRange, lightArraySize, &colorRange[0].x);
    return true;
}

std::string Shader::translateToGLSLES(std::string source, bool vertexShader) {
    const std::string version = "#version 140";
    const std::string replacement =
        vertexShader ? "#version 100"
                     : "#version 100\n#ifdef GL_ES\nprecision mediump float;\n#endif";
    const size_t at = source.find(version);
    if (at != std::string::npos) source.replace(at, version.size(), replacement);
    if (vertexShader) {
        source = replaceAll(source, R"(\n\s*out\b)", "\nvarying");
        source = replaceAll(source, R"(\n\s*in\b)", "\nattribute");
    } else {
        source = replaceAll(source, R"(\bfragColor\b)", "gl_FragColor");
        source = replaceAll(source, R"(\n\s*out\b)", "\n// out");
        source = replaceAll(source, R"(\n\s*in\b)", "\nvarying");
    }
    return renameSamplerLookups(source);
}

}  // namespace orka
