#include "orka/Material.hpp"

#include <GL/glew.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"

namespace orka {
namespace {

using test::LogCapture;
using test::takeGLError;
using ::testing::ElementsAre;

class MaterialTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        takeGLError();
    }
    void TearDown() override { EXPECT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR)); }
};

// A shader whose fragment stage uses the given material uniforms (declaration and expression).
std::shared_ptr<Shader> shaderUsing(const std::string& declarations, const std::string& colour) {
    const char* vertex =
        "#version 140\nin vec3 position;\nvoid main(void) { gl_Position = vec4(position, 1.0); "
        "}\n";
    const std::string fragment = "#version 140\nout vec4 fragColor;\n" + declarations +
                                 "\nvoid main(void) { fragColor = " + colour + "; }\n";
    return Shader::create().withSource(vertex, fragment).build();
}

TEST_F(MaterialTest, DefaultsPerUniformKind) {
    auto unlit = Shader::getUnlit()->createMaterial();
    EXPECT_EQ(unlit->getName(), "Undefined material");
    EXPECT_EQ(unlit->getShader(), Shader::getUnlit());
    EXPECT_EQ(unlit->getColor(), glm::vec4(1, 1, 1, 1));
    EXPECT_EQ(unlit->getTexture(), Texture::getWhiteTexture());
    EXPECT_EQ(unlit->getSpecularity(), 0.0f) << "no such uniform";

    auto standard = Shader::getStandard()->createMaterial();
    EXPECT_EQ(standard->getSpecularity(), 0.0f);
    EXPECT_EQ(standard->getColor(), glm::vec4(1, 1, 1, 1));

    auto sprite = Shader::getUnlitSprite()->createMaterial();
    EXPECT_EQ(sprite->getColor(), glm::vec4(0, 0, 0, 0)) << "colour is per vertex there";
}

TEST_F(MaterialTest, SetAndGetByKind) {
    auto material = Shader::getStandard()->createMaterial();
    auto texture = Texture::create().withWhiteData(4, 4).build();
    EXPECT_TRUE(material->setColor({0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_TRUE(material->setSpecularity(12.0f));
    EXPECT_TRUE(material->setTexture(texture));
    EXPECT_EQ(material->getColor(), glm::vec4(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(material->getSpecularity(), 12.0f);
    EXPECT_EQ(material->getTexture(), texture);

    EXPECT_FALSE(material->set("color", 1.0f)) << "color is a vec4";
    EXPECT_FALSE(material->set("specularity", glm::vec4(1.0f)));
    EXPECT_FALSE(material->set("tex", 2.0f));
    EXPECT_FALSE(material->set("missing", glm::vec4(1.0f)));
    EXPECT_FALSE(material->set("g_model", 1.0f)) << "engine uniforms are not material values";
    EXPECT_EQ(material->getColor(), glm::vec4(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(material->getSpecularity(), 12.0f);

    auto unlit = Shader::getUnlit()->createMaterial();
    EXPECT_FALSE(unlit->setSpecularity(1.0f));
    material->setName("shiny");
    EXPECT_EQ(material->getName(), "shiny");
}

TEST_F(MaterialTest, SetShaderResetsValuesAndReportsUnsupportedKinds) {
    auto shader = shaderUsing(
        "uniform mat4 transform; uniform samplerCube sky; uniform float strength; uniform int "
        "count;",
        "transform[0] * texture(sky, vec3(1.0)) * strength * float(count)");
    ASSERT_TRUE(shader);
    auto material = Shader::getUnlit()->createMaterial();
    material->setColor({0, 0, 0, 1});
    LogCapture capture;
    material->setShader(shader);
    ASSERT_EQ(capture.records.size(), 2u);
    EXPECT_THAT(
        capture.records[0].message + "|" + capture.records[1].message,
        ::testing::AllOf(::testing::HasSubstr("'transform' Unsupported uniform type: 3. Only Vec4, "
                                              "Texture, TextureCube and Float is supported."),
                         ::testing::HasSubstr("'count' Unsupported uniform type: 0. Only Vec4, "
                                              "Texture, TextureCube and Float is supported.")));
    EXPECT_EQ(material->getShader(), shader);
    EXPECT_EQ(material->getColor(), glm::vec4(0.0f)) << "no color uniform any more";
    EXPECT_TRUE(material->set("strength", 0.5f));
    EXPECT_TRUE(material->set("sky", Texture::getDefaultCubemapTexture()));
    EXPECT_FALSE(material->set("transform", 1.0f));
    EXPECT_EQ(material->getTexture(), nullptr) << "no tex uniform";
}

GLint boundTexture(GLenum binding) {
    GLint value = 0;
    glGetIntegerv(binding, &value);
    return value;
}

TEST_F(MaterialTest, BindUploadsValuesWithTexturesOnUnitZero) {
    auto shader = shaderUsing(
        "uniform vec4 color; uniform float strength; uniform sampler2D tex; uniform samplerCube "
        "sky;",
        "color * strength * texture(tex, vec2(0.5)) + texture(sky, vec3(1.0))");
    ASSERT_TRUE(shader);
    auto material = shader->createMaterial();
    auto texture = Texture::create().withWhiteData(2, 2).build();
    material->setColor({0.25f, 0.5f, 0.75f, 1.0f});
    material->set("strength", 3.0f);
    material->setTexture(texture);

    const GLuint program = GpuTestAccess::program(*shader);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE3);
    GpuTestAccess::bind(*material);
    EXPECT_EQ(boundTexture(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(boundTexture(GL_TEXTURE_BINDING_2D)),
              GpuTestAccess::textureId(*texture));
    EXPECT_EQ(static_cast<GLuint>(boundTexture(GL_TEXTURE_BINDING_CUBE_MAP)),
              GpuTestAccess::textureId(*Texture::getDefaultCubemapTexture()));
    for (const char* sampler : {"tex", "sky"}) {
        GLint unit = -1;
        glGetUniformiv(program, glGetUniformLocation(program, sampler), &unit);
        EXPECT_EQ(unit, 0) << sampler;
    }
    glm::vec4 colour;
    glGetUniformfv(program, glGetUniformLocation(program, "color"), &colour.x);
    EXPECT_EQ(colour, glm::vec4(0.25f, 0.5f, 0.75f, 1.0f));
    GLfloat strength = 0;
    glGetUniformfv(program, glGetUniformLocation(program, "strength"), &strength);
    EXPECT_EQ(strength, 3.0f);
    // The program goes with the shader; left in use, it would outlive this test.
    glUseProgram(0);
}

}  // namespace
}  // namespace orka
