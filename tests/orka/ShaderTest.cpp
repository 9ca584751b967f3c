#include "orka/Shader.hpp"

#include <GL/glew.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"
#include "orka/RendererResources.hpp"
#include "orka/ShaderSources.hpp"
#include "orka/WorldLights.hpp"

namespace orka {
namespace {

using test::LogCapture;
using test::takeGLError;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

const char* const minimalVertex = R"(#version 140
in vec3 position;
void main(void) { gl_Position = vec4(position, 1.0); }
)";
const char* const minimalFragment = R"(#version 140
out vec4 fragColor;
void main(void) { fragColor = vec4(1.0); }
)";

class ShaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        takeGLError();
    }
};

std::vector<std::string> messagesOf(const LogCapture& capture, LogType type) {
    std::vector<std::string> messages;
    for (const auto& record : capture.records) {
        if (record.type == type) messages.push_back(record.message);
    }
    return messages;
}

// A shader whose fragment stage reads one uniform declaration (`declaration`) through `use`.
std::shared_ptr<Shader> shaderWithUniform(const std::string& declaration, const std::string& use) {
    const std::string fragment = "#version 140\nout vec4 fragColor;\n" + declaration +
                                 "\nvoid main(void) { fragColor = " + use + "; }\n";
    return Shader::create().withSource(minimalVertex, fragment).build();
}

TEST_F(ShaderTest, BuiltInShadersLinkWithTheirStateAndNoErrors) {
    LogCapture capture;
    struct Expected {
        std::shared_ptr<Shader> shader;
        const char* name;
        BlendType blend;
        bool depthTest;
        bool depthWrite;
    };
    const std::vector<Expected> builtIns = {
        {Shader::getStandard(), "Standard", BlendType::Disabled, true, true},
        {Shader::getUnlit(), "Unlit", BlendType::Disabled, true, true},
        {Shader::getUnlitSprite(), "Unlit Sprite", BlendType::AlphaBlending, false, true},
        {Shader::getUnlitSpriteByteColor(), "Unlit Sprite Byte Color", BlendType::AlphaBlending,
         false, true},
        {Shader::getUnlitShape(), "Unlit Shape", BlendType::AlphaBlending, false, true},
        {Shader::getStandardParticles(), "Standard Particles", BlendType::AdditiveBlending, true,
         false},
    };
    for (const Expected& expected : builtIns) {
        ASSERT_TRUE(expected.shader) << expected.name;
        EXPECT_EQ(expected.shader->getName(), expected.name);
        EXPECT_EQ(expected.shader->getBlend(), expected.blend) << expected.name;
        EXPECT_EQ(expected.shader->isDepthTest(), expected.depthTest) << expected.name;
        EXPECT_EQ(expected.shader->isDepthWrite(), expected.depthWrite) << expected.name;
    }
    EXPECT_TRUE(Shader::create().withSourceDebugUV().build());
    EXPECT_TRUE(Shader::create().withSourceDebugNormals().build());
    EXPECT_TRUE(capture.records.empty()) << capture.records.front().message;
    EXPECT_EQ(Shader::getStandard(), Shader::getStandard()) << "built once and shared";
    EXPECT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderTest, IntrospectionSeparatesMaterialAndEngineUniforms) {
    auto standard = Shader::getStandard();
    EXPECT_THAT(standard->getUniformNames(), UnorderedElementsAre("color", "tex", "specularity"));
    EXPECT_THAT(standard->getAttributeNames(), ElementsAre("normal", "position", "uv"));
    const auto locations = GpuTestAccess::engineLocations(*standard);
    // Everything but g_viewport is used by the Standard shader.
    for (int i : {0, 1, 2, 3, 5, 6, 7}) EXPECT_NE(locations[i], -1) << "engine uniform " << i;
    EXPECT_EQ(locations[4], -1);

    const Uniform color = standard->getUniformType("color");
    EXPECT_EQ(color.type, UniformType::Vec4);
    EXPECT_EQ(color.arraySize, 1);
    EXPECT_EQ(color.id, glGetUniformLocation(GpuTestAccess::program(*standard), "color"));
    EXPECT_EQ(standard->getUniformType("tex").type, UniformType::Texture);
    EXPECT_EQ(standard->getUniformType("specularity").type, UniformType::Float);
    EXPECT_EQ(standard->getAttibuteType("uv"), std::make_pair(GL_FLOAT_VEC4, 1));

    auto particles = Shader::getStandardParticles();
    EXPECT_THAT(particles->getAttributeNames(),
                ElementsAre("color", "particleSize", "position", "uv"));
    EXPECT_NE(GpuTestAccess::engineLocations(*particles)[4], -1) << "g_viewport";
    EXPECT_THAT(particles->getUniformNames(), ElementsAre("tex"));
    EXPECT_THAT(Shader::getUnlitSprite()->getAttributeNames(),
                ElementsAre("color", "position", "uv"));
}

TEST_F(ShaderTest, UnknownNamesGiveEmptyAnswersWithoutChangingTheShader) {
    auto unlit = Shader::getUnlit();
    const Uniform missing = unlit->getUniformType("nothing");
    EXPECT_EQ(missing.name, "");
    EXPECT_EQ(missing.id, -1);
    EXPECT_EQ(missing.type, UniformType::Invalid);
    EXPECT_EQ(missing.arraySize, -1);
    const auto before = unlit->getAttributeNames();
    EXPECT_EQ(unlit->getAttibuteType("nothing"), std::make_pair(0, 0));
    EXPECT_EQ(unlit->getAttributeNames(), before) << "a query must not add attributes";
}

TEST_F(ShaderTest, CompileErrorsNameTheStageAndCarryTheLog) {
    const int shadersBefore = test::currentStats().shaderCount;
    {
        LogCapture capture;
        EXPECT_FALSE(Shader::create()
                         .withSource("#version 140\nvoid main(void) { oops }\n", minimalFragment)
                         .build());
        ASSERT_EQ(capture.records.size(), 1u);
        EXPECT_EQ(capture.records[0].type, LogType::Error);
        EXPECT_THAT(capture.records[0].message,
                    StartsWith("Shader compile error in Vertex shader: "));
        EXPECT_GT(capture.records[0].message.size(),
                  std::string("Shader compile error in Vertex shader: ").size());
        EXPECT_EQ(capture.records[0].file, "src/orka/Shader");
    }
    {
        LogCapture capture;
        EXPECT_FALSE(
            Shader::create()
                .withSource(
                    minimalVertex,
                    "#version 140\nout vec4 fragColor;\nvoid main(void) { fragColor = missing; }\n")
                .build());
        ASSERT_EQ(capture.records.size(), 1u);
        EXPECT_THAT(capture.records[0].message,
                    StartsWith("Shader compile error in Fragment shader: "));
        EXPECT_THAT(capture.records[0].message, HasSubstr("missing"));
    }
    EXPECT_EQ(test::currentStats().shaderCount, shadersBefore) << "failed shaders are released";
}

TEST_F(ShaderTest, LinkErrorIsReported) {
    LogCapture capture;
    // A declared but never defined function compiles and fails to link.
    const char* fragment = R"(#version 140
out vec4 fragColor;
vec4 undefinedFunction();
void main(void) { fragColor = undefinedFunction(); }
)";
    EXPECT_FALSE(Shader::create().withSource(minimalVertex, fragment).build());
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_THAT(capture.records[0].message, StartsWith("Shader linker error: "));
}

TEST_F(ShaderTest, EngineUniformsOfTheWrongTypeAreReportedAndLeftUnset) {
    struct Case {
        std::string declaration;
        std::string use;
        std::string message;
        int locationIndex;
    };
    const std::vector<Case> cases = {
        {"uniform mat3 g_model;", "vec4(g_model[0], 1.0)",
         "Invalid g_model uniform type. Expected mat4 - was mat3.", 0},
        {"uniform mat3 g_view;", "vec4(g_view[0], 1.0)",
         "Invalid g_view uniform type. Expected mat4 - was mat3.", 1},
        {"uniform vec4 g_projection;", "g_projection",
         "Invalid g_projection uniform type. Expected mat4 - was vec4.", 2},
        {"uniform mat4 g_normal;", "g_normal[0]",
         "Invalid g_normal uniform type. Expected mat3 - was mat4.", 3},
        {"uniform vec3 g_viewport;", "vec4(g_viewport, 1.0)",
         "Invalid g_viewport uniform type. Expected vec4 - was vec3.", 4},
        {"uniform vec4 g_ambientLight;", "g_ambientLight",
         "Invalid g_ambientLight uniform type. Expected vec3 - was vec4.", 5},
        {"uniform vec4 g_lightPosType[2];", "g_lightPosType[0] + g_lightPosType[1]",
         "Invalid g_lightPosType uniform type. Expected vec4[4] - was vec4[2].", 6},
        {"uniform vec3 g_lightColorRange[4];",
         "vec4(g_lightColorRange[0] + g_lightColorRange[3], 1.0)",
         "Invalid g_lightColorRange uniform type. Expected vec4[4] - was vec3[4].", 7},
    };
    for (const Case& c : cases) {
        LogCapture capture;
        auto shader = shaderWithUniform(c.declaration, c.use);
        ASSERT_TRUE(shader) << c.declaration << " still links";
        EXPECT_THAT(messagesOf(capture, LogType::Error), ElementsAre(c.message));
        EXPECT_EQ(GpuTestAccess::engineLocations(*shader)[c.locationIndex], -1) << c.declaration;
        EXPECT_TRUE(shader->getUniformNames().empty()) << "engine uniforms are not material ones";
    }
}

TEST_F(ShaderTest, OtherGPrefixedAndUnsupportedUniforms) {
    LogCapture capture;
    auto shader =
        shaderWithUniform("uniform vec4 g_custom; uniform vec2 offset; uniform vec4 tint[3];",
                          "g_custom + vec4(offset, 0.0, 0.0) + tint[2]");
    ASSERT_TRUE(shader);
    EXPECT_THAT(
        messagesOf(capture, LogType::Error),
        ElementsAre("Unsupported shader type " + std::to_string(GL_FLOAT_VEC2) + " name offset"));
    EXPECT_THAT(shader->getUniformNames(), UnorderedElementsAre("offset", "tint"));
    EXPECT_EQ(shader->getUniformType("offset").type, UniformType::Invalid);
    const Uniform tint = shader->getUniformType("tint");
    EXPECT_EQ(tint.type, UniformType::Vec4);
    EXPECT_EQ(tint.arraySize, 3) << "array names are cut at '['";
    EXPECT_NE(tint.id, -1);
}

TEST_F(ShaderTest, LongUniformNamesAreNotCut) {
    const std::string longName(70, 'u');
    auto shader = shaderWithUniform("uniform vec4 " + longName + ";", longName);
    ASSERT_TRUE(shader);
    EXPECT_THAT(shader->getUniformNames(), ElementsAre(longName));
    EXPECT_NE(shader->getUniformType(longName).id, -1);
}

TEST_F(ShaderTest, BuilderWithoutNameMakesUnnamedShader) {
    auto unnamed = Shader::create().withSource(minimalVertex, minimalFragment).build();
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(unnamed->getName(), "Unnamed shader");
    EXPECT_EQ(Shader::create().withSourceUnlit().withOffset(1.5f, 2.0f).build()->getOffset(),
              glm::vec2(1.5f, 2.0f));
}

TEST_F(ShaderTest, StatisticsAndRegistryFollowShaderLifetime) {
    Renderer& renderer = test::testRenderer();
    const int before = renderer.renderStats.shaderCount;
    auto shader = Shader::create().withSource(minimalVertex, minimalFragment).build();
    ASSERT_TRUE(shader);
    EXPECT_EQ(renderer.renderStats.shaderCount, before + 1);
    EXPECT_EQ(std::count(resourcesOf(renderer).shaders.begin(), resourcesOf(renderer).shaders.end(),
                         shader.get()),
              1);
    const GLuint program = GpuTestAccess::program(*shader);
    EXPECT_TRUE(glIsProgram(program));
    Shader* raw = shader.get();
    shader.reset();
    EXPECT_EQ(renderer.renderStats.shaderCount, before);
    EXPECT_EQ(
        std::count(resourcesOf(renderer).shaders.begin(), resourcesOf(renderer).shaders.end(), raw),
        0);
    EXPECT_FALSE(glIsProgram(program));
}

GLint glInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

TEST_F(ShaderTest, BindAppliesProgramDepthBlendAndOffset) {
    auto shader = Shader::create()
                      .withSourceUnlit()
                      .withBlend(BlendType::AlphaBlending)
                      .withDepthTest(false)
                      .withDepthWrite(false)
                      .withOffset(1.0f, 1.0f)
                      .build();
    ASSERT_TRUE(shader);
    GpuTestAccess::bind(*shader);
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_CURRENT_PROGRAM)), GpuTestAccess::program(*shader));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInteger(GL_DEPTH_WRITEMASK), GL_FALSE);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glInteger(GL_BLEND_SRC_RGB), GL_SRC_ALPHA);
    EXPECT_EQ(glInteger(GL_BLEND_DST_RGB), GL_ONE_MINUS_SRC_ALPHA);
    for (GLenum mode : {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT}) {
        EXPECT_TRUE(glIsEnabled(mode)) << mode;
    }
    GLfloat factor = 0, units = 0;
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
    glGetFloatv(GL_POLYGON_OFFSET_UNITS, &units);
    EXPECT_EQ(factor, 1.0f);
    EXPECT_EQ(units, 1.0f);

    auto additive =
        Shader::create().withSourceUnlit().withBlend(BlendType::AdditiveBlending).build();
    GpuTestAccess::bind(*additive);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInteger(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(glInteger(GL_BLEND_DST_RGB), GL_ONE);
    for (GLenum mode : {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT}) {
        EXPECT_FALSE(glIsEnabled(mode)) << "an offset of (0, 0) switches mode " << mode << " off";
    }
    GpuTestAccess::bind(*Shader::getUnlit());
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderTest, InvalidBlendValueIsReportedAtEveryBind) {
    auto shader = Shader::create().withSourceUnlit().withBlend(static_cast<BlendType>(7)).build();
    ASSERT_TRUE(shader);
    glEnable(GL_BLEND);
    LogCapture capture;
    GpuTestAccess::bind(*shader);
    GpuTestAccess::bind(*shader);
    EXPECT_THAT(messagesOf(capture, LogType::Error),
                ElementsAre("Invalid blend value - was 7", "Invalid blend value - was 7"));
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "blend state unchanged";
    glDisable(GL_BLEND);
}

TEST_F(ShaderTest, ValidateMeshListsMissingAttributes) {
    auto standard = Shader::getStandard();
    auto complete = Mesh::create().withQuad(1.0f).build();
    std::string info;
    EXPECT_TRUE(standard->validateMesh(complete.get(), info));
    EXPECT_EQ(info, "");

    auto withoutNormals = Mesh::create().withPositions({{0, 0, 0}}).withUVs({{0, 0, 0, 0}}).build();
    EXPECT_FALSE(standard->validateMesh(withoutNormals.get(), info));
    EXPECT_EQ(info, "Cannot find vertex attribute 'normal' in mesh of type vec3\n");

    auto onlyPositions = Mesh::create().withPositions({{0, 0, 0}}).build();
    info.clear();
    EXPECT_FALSE(Shader::getStandardParticles()->validateMesh(onlyPositions.get(), info));
    EXPECT_EQ(info,
              "Cannot find vertex attribute 'color' in mesh of type vec4\n"
              "Cannot find vertex attribute 'particleSize' in mesh of type float\n"
              "Cannot find vertex attribute 'uv' in mesh of type vec4\n");
}

TEST(ShaderTranslation, UnlitSourcesBecomeGLSLES) {
    const std::string fragment = Shader::translateToGLSLES(shader_sources::unlit.fragment, false);
    EXPECT_THAT(fragment,
                StartsWith("#version 100\n#ifdef GL_ES\nprecision mediump float;\n#endif\n"));
    EXPECT_THAT(fragment, HasSubstr("\n// out vec4 gl_FragColor;"));
    EXPECT_THAT(fragment, HasSubstr("\nvarying vec2 vUV;"));
    EXPECT_THAT(fragment, HasSubstr("gl_FragColor = color * texture2D(tex, vUV);"));
    EXPECT_EQ(fragment.find("fragColor"), std::string::npos);
    EXPECT_EQ(fragment.find("\nin "), std::string::npos);

    const std::string vertex = Shader::translateToGLSLES(shader_sources::unlit.vertex, true);
    EXPECT_THAT(vertex, StartsWith("#version 100\nattribute vec3 position;"));
    EXPECT_THAT(vertex, HasSubstr("\nattribute vec4 uv;"));
    EXPECT_THAT(vertex, HasSubstr("\nvarying vec2 vUV;"));
    EXPECT_EQ(vertex.find("#ifdef GL_ES"), std::string::npos);
}

TEST(ShaderTranslation, SamplerLookupsTakeTheSamplerKind) {
    const std::string source =
        "#version 140\nout vec4 fragColor;\nin vec3 dir;\nuniform samplerCube env;\n"
        "uniform sampler2D tex; // diffuse\nvoid main(void) {\n"
        "    fragColor = texture( env , dir) * texture(tex,dir.xy) * texture(other, dir.xy);\n}\n";
    const std::string translated = Shader::translateToGLSLES(source, false);
    EXPECT_THAT(translated, HasSubstr("textureCube(env, dir)"));
    EXPECT_THAT(translated, HasSubstr("texture2D(tex,dir.xy)"));
    EXPECT_THAT(translated, HasSubstr("texture(other, dir.xy)")) << "unknown samplers stay";
    EXPECT_THAT(translated, HasSubstr("\nvarying vec3 dir;"));
}

// ---- Lights ----

Light pointLight(const glm::vec3& position, const glm::vec3& color, float range) {
    return Light::create().withPointLight(position).withColor(color).withRange(range).build();
}

Light directionalLight(const glm::vec3& direction, const glm::vec3& color) {
    return Light::create().withDirectionalLight(direction).withColor(color).build();
}

Light unusedLight() {
    return Light::create().withDirectionalLight({0, 0, 1}).withUnused().build();
}

std::vector<glm::vec4> readUniformArray(GLuint program, const char* name, int count) {
    std::vector<glm::vec4> values(count);
    for (int i = 0; i < count; i++) {
        const std::string element = std::string(name) + "[" + std::to_string(i) + "]";
        glGetUniformfv(program, glGetUniformLocation(program, element.c_str()), &values[i].x);
    }
    return values;
}

glm::vec3 readAmbient(GLuint program) {
    glm::vec3 value;
    glGetUniformfv(program, glGetUniformLocation(program, "g_ambientLight"), &value.x);
    return value;
}

TEST_F(ShaderTest, SetLightsUploadsSlotsInEyeSpace) {
    auto standard = Shader::getStandard();
    const GLuint program = GpuTestAccess::program(*standard);
    GpuTestAccess::bind(*standard);
    WorldLights lights;
    lights.setAmbientLight({0.1f, 0.2f, 0.3f});
    lights.addLight(pointLight({1, 2, 3}, {0.5f, 0.6f, 0.7f}, 9.0f));
    lights.addLight(unusedLight());
    lights.addLight(directionalLight({0, 1, 0}, {1, 1, 1}));
    const glm::mat4 view = glm::translate(glm::rotate(glm::mat4(1.0f), 1.0f, {0, 0, 1}), {4, 5, 6});

    EXPECT_TRUE(GpuTestAccess::setLights(*standard, &lights, view));
    EXPECT_EQ(readAmbient(program), glm::vec3(0.1f, 0.2f, 0.3f));
    const auto posType = readUniformArray(program, "g_lightPosType", 4);
    const auto colorRange = readUniformArray(program, "g_lightColorRange", 4);
    const glm::vec4 eyePoint = view * glm::vec4(1, 2, 3, 1);
    const glm::vec4 eyeDirection = view * glm::vec4(0, 1, 0, 0);
    for (int c = 0; c < 3; c++) {
        EXPECT_NEAR(posType[0][c], eyePoint[c], 1e-5f);
        EXPECT_NEAR(posType[2][c], eyeDirection[c], 1e-5f);
    }
    EXPECT_EQ(posType[0].w, 1.0f) << "point light";
    EXPECT_EQ(posType[2].w, 0.0f) << "directional light";
    EXPECT_EQ(posType[1], glm::vec4(0, 0, 0, 2)) << "unused light";
    EXPECT_EQ(posType[3], glm::vec4(0, 0, 0, 2)) << "no light";
    EXPECT_EQ(colorRange[0], glm::vec4(0.5f, 0.6f, 0.7f, 9.0f));
    EXPECT_EQ(colorRange[1], glm::vec4(0.0f));
    EXPECT_EQ(colorRange[3], glm::vec4(0.0f));

    EXPECT_FALSE(GpuTestAccess::setLights(*standard, nullptr, view));
    EXPECT_EQ(readAmbient(program), glm::vec3(0.0f));
    for (const glm::vec4& slot : readUniformArray(program, "g_lightPosType", 4)) {
        EXPECT_EQ(slot, glm::vec4(0.0f));
    }
    EXPECT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Renders a quad facing +z at eye-space depth quadDepth that fills a 64 x 64 viewport under an
// orthographic projection of [-1, 1]^2, so pixel (x, y) shows eye-space point eyePoint(x, y).
class StandardLightingTest : public ShaderTest {
protected:
    static constexpr int size = 64;
    static constexpr float quadDepth = -2.0f;

    static glm::vec3 eyePoint(int x, int y) {
        return {(x + 0.5f) / (size / 2) - 1.0f, (y + 0.5f) / (size / 2) - 1.0f, quadDepth};
    }

    void render(WorldLights* lights, float specularity) {
        auto shader = Shader::getStandard();
        auto material = shader->createMaterial();
        material->setSpecularity(specularity);
        auto quad = Mesh::create().withQuad(1.0f).build();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, size, size);
        glDisable(GL_SCISSOR_TEST);
        // Linear values in the framebuffer, so pixels compare directly with the formulas.
        const GLboolean srgb = glIsEnabled(GL_FRAMEBUFFER_SRGB);
        glDisable(GL_FRAMEBUFFER_SRGB);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        GpuTestAccess::bind(*shader);
        const glm::mat4 view(1.0f);
        GpuTestAccess::setLights(*shader, lights, view);
        const auto locations = GpuTestAccess::engineLocations(*shader);
        const glm::mat4 model = glm::translate(glm::mat4(1.0f), {0, 0, quadDepth});
        const glm::mat4 projection = glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 10.0f);
        const glm::mat3 normal(1.0f);
        glUniformMatrix4fv(locations[0], 1, GL_FALSE, glm::value_ptr(model));
        glUniformMatrix4fv(locations[1], 1, GL_FALSE, glm::value_ptr(view));
        glUniformMatrix4fv(locations[2], 1, GL_FALSE, glm::value_ptr(projection));
        glUniformMatrix3fv(locations[3], 1, GL_FALSE, glm::value_ptr(normal));
        GpuTestAccess::bind(*material);
        GpuTestAccess::bind(*quad, *shader);
        GpuTestAccess::bindIndexSet(*quad, 0);
        glDrawElements(GL_TRIANGLES, quad->getIndicesSize(0), GL_UNSIGNED_SHORT, nullptr);
        glBindVertexArray(0);
        if (srgb) glEnable(GL_FRAMEBUFFER_SRGB);
        ASSERT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    static glm::vec3 pixel(int x, int y) {
        unsigned char rgba[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return glm::vec3(rgba[0], rgba[1], rgba[2]) / 255.0f;
    }

    // The lighting formulas, evaluated on the CPU for a surface facing +z.
    static glm::vec3 expectedLight(const WorldLights& lights, const glm::vec3& p,
                                   float specularity) {
        const glm::vec3 n(0, 0, 1);
        glm::vec3 light(0.0f);
        for (int i = 0; i < 4; i++) {
            const Light* slot = const_cast<WorldLights&>(lights).getLight(i);
            if (slot == nullptr || slot->lightType == Light::LightType::Unused) continue;
            glm::vec3 L = slot->direction;
            float attenuation = 1.0f;
            if (slot->lightType == Light::LightType::Point) {
                const float d = glm::length(slot->position - p);
                const float r = slot->range;
                L = glm::normalize(slot->position - p);
                attenuation = r <= 0 ? 1.0f : d >= r ? 0.0f : std::pow(1.0f - d / r, 1.5f);
            }
            const float diffuse = glm::dot(L, n);
            if (diffuse > 0) light += attenuation * diffuse * slot->color;
            if (specularity > 0) {
                const glm::vec3 H = glm::normalize(L - glm::normalize(p));
                const float nDotH = glm::dot(n, H);
                if (nDotH > 0) light += glm::vec3(attenuation * std::pow(nDotH, specularity));
            }
        }
        return glm::max(lights.getAmbientLight(), light);
    }

    void expectLighting(WorldLights& lights, float specularity) {
        render(&lights, specularity);
        for (int y : {0, 17, 32, 63}) {
            for (int x : {0, 20, 45, 63}) {
                const glm::vec3 expected =
                    glm::min(expectedLight(lights, eyePoint(x, y), specularity), glm::vec3(1.0f));
                const glm::vec3 actual = pixel(x, y);
                for (int c = 0; c < 3; c++) {
                    EXPECT_NEAR(actual[c], expected[c], 2.5f / 255.0f)
                        << "pixel " << x << "," << y << " channel " << c;
                }
            }
        }
    }
};

TEST_F(StandardLightingTest, AmbientAloneLightsEverything) {
    WorldLights lights;
    lights.setAmbientLight({0.3f, 0.2f, 0.1f});
    expectLighting(lights, 0.0f);
    EXPECT_NEAR(pixel(10, 10).r, 0.3f, 1.5f / 255);
}

TEST_F(StandardLightingTest, DirectionalDiffuseAndAmbientFloor) {
    WorldLights lights;
    lights.setAmbientLight({0.6f, 0.1f, 0.1f});
    lights.addLight(directionalLight({0.0f, 0.6f, 0.8f}, {0.5f, 0.5f, 0.25f}));
    expectLighting(lights, 0.0f);
    // 0.8 * 0.5 = 0.4 diffuse in red stays under the 0.6 ambient floor (max, not sum).
    EXPECT_NEAR(pixel(5, 5).r, 0.6f, 1.5f / 255);
    EXPECT_NEAR(pixel(5, 5).g, 0.4f, 1.5f / 255);
}

TEST_F(StandardLightingTest, PointLightsAttenuateWithinTheirRange) {
    WorldLights lights;
    lights.setAmbientLight({0.05f, 0.05f, 0.05f});
    lights.addLight(pointLight({0.5f, 0.25f, -1.5f}, {1.0f, 0.0f, 0.0f}, 1.5f));
    lights.addLight(pointLight({-0.5f, -0.5f, -1.0f}, {0.0f, 0.7f, 0.0f}, 0.0f));
    lights.addLight(pointLight({0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 1.0f}, 2.0f));
    expectLighting(lights, 0.0f);
    EXPECT_NEAR(pixel(63, 0).b, 0.05f, 1.5f / 255) << "beyond its range a light adds nothing";
}

TEST_F(StandardLightingTest, SpecularAddsWhiteHighlights) {
    WorldLights lights;
    lights.setAmbientLight({0.0f, 0.0f, 0.0f});
    lights.addLight(directionalLight({0.6f, 0.0f, 0.8f}, {0.2f, 0.1f, 0.0f}));
    expectLighting(lights, 16.0f);
    render(&lights, 0.0f);
    EXPECT_NEAR(pixel(32, 32).b, 0.0f, 1.5f / 255) << "no specular without specularity";
}

TEST_F(StandardLightingTest, OnlyTheFirstFourLightsCount) {
    WorldLights lights;
    lights.setAmbientLight({0.1f, 0.1f, 0.1f});
    for (int i = 0; i < 3; i++) lights.addLight(unusedLight());
    lights.addLight(directionalLight({0, 0, 1}, {0.0f, 0.3f, 0.0f}));
    lights.addLight(directionalLight({0, 0, 1}, {1.0f, 1.0f, 1.0f}));
    expectLighting(lights, 0.0f);
    const glm::vec3 center = pixel(32, 32);
    EXPECT_NEAR(center.r, 0.1f, 1.5f / 255);
    EXPECT_NEAR(center.g, 0.3f, 1.5f / 255);
}

}  // namespace
}  // namespace orka
