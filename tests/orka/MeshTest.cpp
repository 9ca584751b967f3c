#include "orka/Mesh.hpp"

#include <GL/glew.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"
#include "orka/RendererResources.hpp"

namespace orka {
namespace {

using test::LogCapture;
using test::takeGLError;
using ::testing::ElementsAre;

class MeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        takeGLError();
    }
    void TearDown() override {
        EXPECT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR));
        // A program a test put in use goes with its shader; left in use it would outlive it.
        glUseProgram(0);
    }
};

template <typename T>
std::vector<T> readBuffer(GLenum target, GLuint buffer, size_t count) {
    std::vector<T> values(count);
    glBindVertexArray(0);
    glBindBuffer(target, buffer);
    glGetBufferSubData(target, 0, static_cast<GLsizeiptr>(count * sizeof(T)), values.data());
    return values;
}

GLint bufferSize(GLenum target, GLuint buffer) {
    GLint size = 0;
    glBindVertexArray(0);
    glBindBuffer(target, buffer);
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    return size;
}

bool operator==(const Mesh::Attribute& a, const Mesh::Attribute& b) {
    return a.offset == b.offset && a.elementCount == b.elementCount && a.dataType == b.dataType &&
           a.attributeType == b.attributeType;
}

TEST_F(MeshTest, LayoutPutsVec3FirstAndRoundsTheStrideTo16) {
    auto mesh = Mesh::create()
                    .withPositions({{1, 2, 3}})
                    .withNormals({{0, 0, 1}})
                    .withUVs({{0.5f, 0.25f, 0, 0}})
                    .build();
    auto layout = GpuTestAccess::layout(*mesh);
    EXPECT_TRUE(layout["normal"] == (Mesh::Attribute{0, 3, GL_FLOAT, GL_FLOAT_VEC3}));
    EXPECT_TRUE(layout["position"] == (Mesh::Attribute{16, 3, GL_FLOAT, GL_FLOAT_VEC3}));
    EXPECT_TRUE(layout["uv"] == (Mesh::Attribute{32, 4, GL_FLOAT, GL_FLOAT_VEC4}));
    EXPECT_EQ(GpuTestAccess::stride(*mesh), 48);

    auto withSizes = Mesh::create()
                         .withPositions({{1, 2, 3}})
                         .withNormals({{0, 0, 1}})
                         .withUVs({{0.5f, 0.25f, 0, 0}})
                         .withParticleSizes({4.0f})
                         .build();
    EXPECT_EQ(GpuTestAccess::layout(*withSizes)["particleSize"].offset, 48);
    EXPECT_EQ(GpuTestAccess::stride(*withSizes), 64);

    EXPECT_EQ(GpuTestAccess::stride(*Mesh::create().withPositions({{0, 0, 0}}).build()), 16);
    auto positionAndSize =
        Mesh::create().withPositions({{0, 0, 0}}).withParticleSizes({1.0f}).build();
    EXPECT_EQ(GpuTestAccess::layout(*positionAndSize)["particleSize"].offset, 16);
    EXPECT_EQ(GpuTestAccess::stride(*positionAndSize), 32) << "20 rounded up";
}

TEST_F(MeshTest, AllFiveStoresInterleaveInStoreAndNameOrder) {
    auto mesh = Mesh::create()
                    .withAttribute("f", std::vector<float>{7.0f, 8.0f})
                    .withAttribute("b2", std::vector<glm::vec2>{{1, 2}, {3, 4}})
                    .withAttribute("a2", std::vector<glm::vec2>{{5, 6}, {7, 8}})
                    .withAttribute("i4", std::vector<glm::ivec4>{{1, -2, 3, -4}, {5, 6, 7, 8}})
                    .withAttribute("v4", std::vector<glm::vec4>{{1, 2, 3, 4}, {5, 6, 7, 8}})
                    .withAttribute("v3", std::vector<glm::vec3>{{9, 10, 11}, {12, 13, 14}})
                    .build();
    auto layout = GpuTestAccess::layout(*mesh);
    EXPECT_EQ(layout["v3"].offset, 0);
    EXPECT_EQ(layout["v4"].offset, 16);
    EXPECT_TRUE(layout["i4"] == (Mesh::Attribute{32, 4, GL_INT, GL_INT_VEC4}));
    EXPECT_TRUE(layout["a2"] == (Mesh::Attribute{48, 2, GL_FLOAT, GL_FLOAT_VEC2}));
    EXPECT_EQ(layout["b2"].offset, 56);
    EXPECT_TRUE(layout["f"] == (Mesh::Attribute{64, 1, GL_FLOAT, GL_FLOAT}));
    ASSERT_EQ(GpuTestAccess::stride(*mesh), 80);
    EXPECT_EQ(mesh->getType("i4"), std::make_pair(GL_INT, 4));
    EXPECT_EQ(mesh->getType("v3"), std::make_pair(GL_FLOAT, 3));
    EXPECT_EQ(mesh->getType("missing"), std::make_pair(-1, -1));
    EXPECT_THAT(mesh->getAttributeNames(), ElementsAre("a2", "b2", "f", "i4", "v3", "v4"));

    const auto floats = readBuffer<float>(GL_ARRAY_BUFFER, GpuTestAccess::vertexBuffer(*mesh), 40);
    const std::vector<float> secondVertex(floats.begin() + 20, floats.end());
    EXPECT_THAT(secondVertex, ElementsAre(12, 13, 14, 0,  // v3 and its zero padding
                                          5, 6, 7, 8,     // v4
                                          ::testing::_, ::testing::_, ::testing::_,
                                          ::testing::_,  // i4, checked as ints below
                                          7, 8, 3, 4,    // a2, b2
                                          8, 0, 0, 0));  // f and the rounding to 16 bytes
    const auto ints = readBuffer<int32_t>(GL_ARRAY_BUFFER, GpuTestAccess::vertexBuffer(*mesh), 40);
    EXPECT_THAT(std::vector<int32_t>(ints.begin() + 8, ints.begin() + 12),
                ElementsAre(1, -2, 3, -4));
    EXPECT_EQ(mesh->getDataSize(), 2 * 80);
}

TEST_F(MeshTest, ShorterAttributesAreZeroFilledUpToTheLongest) {
    auto mesh = Mesh::create()
                    .withPositions({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}})
                    .withColors({{0.5f, 0.5f, 0.5f, 1}})
                    .build();
    EXPECT_EQ(mesh->getVertexCount(), 3);
    const auto floats = readBuffer<float>(GL_ARRAY_BUFFER, GpuTestAccess::vertexBuffer(*mesh), 24);
    EXPECT_THAT(std::vector<float>(floats.begin() + 8, floats.end()),
                ElementsAre(2, 2, 2, 0, 0, 0, 0, 0, 3, 3, 3, 0, 0, 0, 0, 0));
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, GpuTestAccess::vertexBuffer(*mesh)), 3 * 32);
    EXPECT_THAT(mesh->getColors(), ElementsAre(glm::vec4(0.5f, 0.5f, 0.5f, 1)));
    EXPECT_TRUE(mesh->getNormals().empty());
}

TEST_F(MeshTest, IndexSetsWithTopologies) {
    auto mesh = Mesh::create()
                    .withPositions({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
                    .withIndices({0, 1}, MeshTopology::Lines, 2)
                    .build();
    ASSERT_EQ(mesh->getIndexSets(), 3);
    EXPECT_TRUE(mesh->getIndices(0).empty());
    EXPECT_TRUE(mesh->getIndices(1).empty());
    EXPECT_THAT(mesh->getIndices(2), ElementsAre(0, 1));
    EXPECT_EQ(mesh->getMeshTopology(0), MeshTopology::Triangles);
    EXPECT_EQ(mesh->getMeshTopology(1), MeshTopology::Points);
    EXPECT_EQ(mesh->getMeshTopology(2), MeshTopology::Lines);
    EXPECT_EQ(mesh->getIndicesSize(2), 2);
    EXPECT_THROW(mesh->getIndices(3), std::out_of_range);
    EXPECT_THROW(mesh->getIndicesSize(-1), std::out_of_range);

    const auto buffers = GpuTestAccess::elementBuffers(*mesh);
    ASSERT_EQ(buffers.size(), 3u);
    EXPECT_THAT(readBuffer<uint16_t>(GL_ELEMENT_ARRAY_BUFFER, buffers[2], 2), ElementsAre(0, 1));
    EXPECT_EQ(mesh->getDataSize(), 3 * 16 + 2 * 2);

    auto strip = Mesh::create()
                     .withPositions({{0, 0, 0}})
                     .withMeshTopology(MeshTopology::TriangleStrip)
                     .build();
    EXPECT_EQ(strip->getMeshTopology(0), MeshTopology::TriangleStrip);
    EXPECT_EQ(strip->getIndexSets(), 0);
}

TEST_F(MeshTest, BoundsAndNames) {
    auto mesh = Mesh::create().withPositions({{1, -2, 3}, {-4, 5, 0}}).build();
    EXPECT_EQ(mesh->getBoundsMinMax()[0], glm::vec3(-4, -2, 0));
    EXPECT_EQ(mesh->getBoundsMinMax()[1], glm::vec3(1, 5, 3));
    EXPECT_EQ(mesh->getName(), "Unnamed Mesh");

    const float largest = std::numeric_limits<float>::max();
    auto noPositions = Mesh::create().withColors({{1, 1, 1, 1}}).withName("colours").build();
    EXPECT_EQ(noPositions->getName(), "colours");
    EXPECT_EQ(noPositions->getBoundsMinMax()[0], glm::vec3(largest));
    EXPECT_EQ(noPositions->getBoundsMinMax()[1], glm::vec3(-largest));
}

TEST_F(MeshTest, StatisticsFollowCreateUpdateAndDestroy) {
    Renderer& renderer = test::testRenderer();
    const RenderStats before = renderer.renderStats;
    auto mesh = Mesh::create()
                    .withPositions({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
                    .withIndices({0, 1, 2})
                    .build();
    const int createdSize = 3 * 16 + 3 * 2;
    ASSERT_EQ(mesh->getDataSize(), createdSize);
    RenderStats stats = renderer.renderStats;
    EXPECT_EQ(stats.meshCount, before.meshCount + 1);
    EXPECT_EQ(stats.meshBytes, before.meshBytes + createdSize);
    EXPECT_EQ(stats.meshBytesAllocated, before.meshBytesAllocated + createdSize);
    EXPECT_EQ(std::count(resourcesOf(renderer).meshes.begin(), resourcesOf(renderer).meshes.end(),
                         mesh.get()),
              1);

    mesh->update().withPositions({{0, 0, 0}, {1, 0, 0}}).withIndices({0, 1, 1, 0}).build();
    const int updatedSize = 2 * 16 + 4 * 2;
    ASSERT_EQ(mesh->getDataSize(), updatedSize);
    stats = renderer.renderStats;
    EXPECT_EQ(stats.meshCount, before.meshCount + 1);
    EXPECT_EQ(stats.meshBytes, before.meshBytes + updatedSize);
    EXPECT_EQ(stats.meshBytesAllocated, before.meshBytesAllocated + createdSize + updatedSize);

    Mesh* raw = mesh.get();
    mesh.reset();
    stats = renderer.renderStats;
    EXPECT_EQ(stats.meshCount, before.meshCount);
    EXPECT_EQ(stats.meshBytes, before.meshBytes);
    EXPECT_EQ(stats.meshBytesDeallocated, before.meshBytesDeallocated + updatedSize);
    EXPECT_EQ(
        std::count(resourcesOf(renderer).meshes.begin(), resourcesOf(renderer).meshes.end(), raw),
        0);
}

TEST_F(MeshTest, UpdateRebuildsInPlaceWithANewId) {
    auto mesh = Mesh::create()
                    .withPositions({{0, 0, 0}, {1, 1, 1}})
                    .withColors({{1, 0, 0, 1}, {0, 1, 0, 1}})
                    .withIndices({0, 1}, MeshTopology::Lines, 1)
                    .withName("original")
                    .build();
    GpuTestAccess::bind(*mesh, *Shader::getUnlitSprite());
    ASSERT_EQ(GpuTestAccess::vertexArrays(*mesh).size(), 1u);
    const GLuint vertexBuffer = GpuTestAccess::vertexBuffer(*mesh);
    const auto elementBuffers = GpuTestAccess::elementBuffers(*mesh);
    const std::int64_t oldId = GpuTestAccess::meshId(*mesh);

    auto same = mesh->update().withPositions({{5, 5, 5}, {-5, 2, 0}, {1, 1, 1}}).build();
    EXPECT_EQ(same, mesh);
    EXPECT_NE(GpuTestAccess::meshId(*mesh), oldId);
    EXPECT_EQ(GpuTestAccess::vertexBuffer(*mesh), vertexBuffer);
    EXPECT_EQ(GpuTestAccess::elementBuffers(*mesh), elementBuffers);
    EXPECT_TRUE(GpuTestAccess::vertexArrays(*mesh).empty()) << "rebuilt on the next bind";
    EXPECT_EQ(mesh->getName(), "Unnamed Mesh") << "the name is not carried over";
    EXPECT_EQ(mesh->getVertexCount(), 3);
    EXPECT_EQ(mesh->getBoundsMinMax()[0], glm::vec3(-5, 1, 0));
    EXPECT_EQ(mesh->getBoundsMinMax()[1], glm::vec3(5, 5, 5));
    EXPECT_THAT(mesh->getColors(), ElementsAre(glm::vec4(1, 0, 0, 1), glm::vec4(0, 1, 0, 1)))
        << "attributes not given keep their values";
    EXPECT_THAT(mesh->getIndices(1), ElementsAre(0, 1));
    EXPECT_EQ(mesh->getMeshTopology(1), MeshTopology::Lines);
    const auto floats = readBuffer<float>(GL_ARRAY_BUFFER, vertexBuffer, 3 * 8);
    EXPECT_EQ(floats[16], 1.0f) << "third position in the rebuilt buffer";

    // Fewer index sets: the spare element buffer stays for later updates.
    mesh->update().withName("renamed").build();
    EXPECT_EQ(mesh->getName(), "renamed");
}

TEST_F(MeshTest, UpdateRefusesStructuralChanges) {
    auto mesh = Mesh::create().withPositions({{0, 0, 0}}).build();
    LogCapture capture;
    auto builder = mesh->update();
    builder.withColors({{1, 1, 1, 1}})
        .withAttribute("position", std::vector<glm::vec4>{{1, 1, 1, 1}})
        .withAttribute("position", std::vector<float>{1.0f})
        .withPositions({{2, 2, 2}});
    ASSERT_EQ(capture.records.size(), 3u);
    EXPECT_EQ(capture.records[0].message,
              "Cannot change mesh structure. color dis not exist in the original mesh as a vec4.");
    EXPECT_EQ(
        capture.records[1].message,
        "Cannot change mesh structure. position dis not exist in the original mesh as a vec4.");
    EXPECT_EQ(
        capture.records[2].message,
        "Cannot change mesh structure. position dis not exist in the original mesh as a float.");
    builder.build();
    EXPECT_THAT(mesh->getAttributeNames(), ElementsAre("position"));
    EXPECT_THAT(mesh->getPositions(), ElementsAre(glm::vec3(2, 2, 2)));
}

TEST_F(MeshTest, BuildingABuilderTwiceGivesAnEmptySecondMesh) {
    auto builder = Mesh::create().withPositions({{1, 2, 3}}).withIndices({0, 0, 0});
    auto first = builder.build();
    auto second = builder.build();
    EXPECT_EQ(first->getVertexCount(), 1);
    EXPECT_EQ(second->getVertexCount(), 0);
    EXPECT_TRUE(second->getAttributeNames().empty());
    EXPECT_EQ(second->getIndexSets(), 1) << "index sets and topologies remain in the builder";
    EXPECT_NE(first, second);
}

GLint attribInt(GLuint location, GLenum name) {
    GLint value = 0;
    glGetVertexAttribiv(location, name, &value);
    return value;
}

TEST_F(MeshTest, BindMakesOneVertexArrayPerShader) {
    auto mesh = Mesh::create().withQuad(1.0f).build();
    auto standard = Shader::getStandard();
    auto unlit = Shader::getUnlit();
    GpuTestAccess::bind(*mesh, *standard);
    GLint first = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &first);
    GpuTestAccess::bind(*mesh, *unlit);
    GpuTestAccess::bind(*mesh, *standard);
    GLint again = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &again);
    EXPECT_EQ(first, again);
    const auto vertexArrays = GpuTestAccess::vertexArrays(*mesh);
    ASSERT_EQ(vertexArrays.size(), 2u);
    EXPECT_EQ(static_cast<GLint>(vertexArrays.at(GpuTestAccess::serial(*standard))), first);

    // The Standard shader's inputs point into the interleaved buffer.
    const GLuint program = GpuTestAccess::program(*standard);
    const GLuint uv = static_cast<GLuint>(glGetAttribLocation(program, "uv"));
    EXPECT_EQ(attribInt(uv, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
    EXPECT_EQ(attribInt(uv, GL_VERTEX_ATTRIB_ARRAY_SIZE), 4);
    EXPECT_EQ(attribInt(uv, GL_VERTEX_ATTRIB_ARRAY_STRIDE), 48);
    void* offset = nullptr;
    glGetVertexAttribPointerv(uv, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
    EXPECT_EQ(reinterpret_cast<intptr_t>(offset), 32);
    EXPECT_EQ(static_cast<GLuint>(attribInt(uv, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING)),
              GpuTestAccess::vertexBuffer(*mesh));

    GpuTestAccess::bindIndexSet(*mesh, 0);
    GLint elementBuffer = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    EXPECT_EQ(static_cast<GLuint>(elementBuffer), GpuTestAccess::elementBuffers(*mesh)[0]);

    auto cube = Mesh::create().withCube(1.0f).build();
    GpuTestAccess::bind(*cube, *standard);
    GpuTestAccess::bindIndexSet(*cube, 0);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    EXPECT_EQ(elementBuffer, 0) << "no index sets";
    glBindVertexArray(0);
}

// A shader reading the given inputs (GLSL 1.50, which allows input arrays).
std::shared_ptr<Shader> shaderWithInputs(const std::string& inputs, const std::string& sum) {
    const std::string vertex = "#version 150\n" + inputs +
                               "\nout vec4 value;\nvoid main(void) {\n    value = " + sum +
                               ";\n    gl_Position = vec4(0.0, 0.0, 0.0, 1.0);\n}\n";
    const char* fragment =
        "#version 150\nin vec4 value;\nout vec4 fragColor;\nvoid main(void) { fragColor = value; "
        "}\n";
    return Shader::create().withSource(vertex, fragment).build();
}

TEST_F(MeshTest, AttributeFeedingRules) {
    auto shader = shaderWithInputs(
        "in vec4 wide; in vec2 narrow; in float single; in ivec4 ids; in ivec2 pair; in vec4 "
        "arr[2]; in vec3 absent;",
        "wide + vec4(narrow, single, 0.0) + vec4(ids) + vec4(pair, 0.0, 0.0) + arr[0] + arr[1] + "
        "vec4(absent, 0.0)");
    ASSERT_TRUE(shader);
    auto mesh = Mesh::create()
                    .withAttribute("wide", std::vector<glm::vec3>{{1, 2, 3}})
                    .withAttribute("narrow", std::vector<glm::vec4>{{1, 2, 3, 4}})
                    .withAttribute("single", std::vector<glm::vec2>{{1, 2}})
                    .withAttribute("ids", std::vector<glm::ivec4>{{1, 2, 3, 4}})
                    .withAttribute("pair", std::vector<glm::vec4>{{1, 2, 3, 4}})
                    .withAttribute("arr", std::vector<glm::vec4>{{1, 2, 3, 4}})
                    .build();
    // Make the inputs' constant values non-zero first, to see them reset.
    const GLuint program = GpuTestAccess::program(*shader);
    for (const char* name : {"narrow", "single", "absent"}) {
        glVertexAttrib4f(static_cast<GLuint>(glGetAttribLocation(program, name)), 9, 9, 9, 9);
    }
    GpuTestAccess::bind(*mesh, *shader);
    auto location = [program](const char* name) {
        return static_cast<GLuint>(glGetAttribLocation(program, name));
    };
    EXPECT_EQ(attribInt(location("wide"), GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE)
        << "vec4 takes a vec3";
    EXPECT_EQ(attribInt(location("wide"), GL_VERTEX_ATTRIB_ARRAY_SIZE), 3);
    EXPECT_EQ(attribInt(location("pair"), GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE)
        << "ivec2 takes a vec4";
    EXPECT_EQ(attribInt(location("ids"), GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
    EXPECT_EQ(attribInt(location("ids"), GL_VERTEX_ATTRIB_ARRAY_INTEGER), GL_TRUE)
        << "integer data reaches an integer input unconverted";
    for (const char* name : {"narrow", "single", "absent", "arr"}) {
        EXPECT_EQ(attribInt(location(name), GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE) << name;
    }
    for (const char* name : {"narrow", "single", "absent"}) {
        GLfloat current[4] = {1, 1, 1, 1};
        glGetVertexAttribfv(location(name), GL_CURRENT_VERTEX_ATTRIB, current);
        EXPECT_EQ(current[0], 0.0f) << name << " reads a constant zero";
    }
    glBindVertexArray(0);
}

// A point drawn by `shader` from `mesh` into the window's lower-left pixels, read back as
// bytes: what the shader's "value" output was.
std::array<unsigned char, 4> drawnPoint(Shader& shader, Mesh& mesh) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 2, 2);
    const GLboolean srgb = glIsEnabled(GL_FRAMEBUFFER_SRGB);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GpuTestAccess::bind(shader);
    GpuTestAccess::bind(mesh, shader);
    glPointSize(4.0f);
    glDisable(GL_PROGRAM_POINT_SIZE);
    glDrawArrays(GL_POINTS, 0, mesh.getVertexCount());
    glEnable(GL_PROGRAM_POINT_SIZE);
    glBindVertexArray(0);
    std::array<unsigned char, 4> rgba{};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    if (srgb) glEnable(GL_FRAMEBUFFER_SRGB);
    return rgba;
}

TEST_F(MeshTest, IntegerAttributesArriveAsIntegers) {
    auto shader = shaderWithInputs("in vec3 position; in ivec4 ids;", "vec4(ids) / 255.0");
    ASSERT_TRUE(shader);
    auto mesh = Mesh::create()
                    .withPositions({{0, 0, 0}})
                    .withAttribute("ids", std::vector<glm::ivec4>{{10, 100, 200, 255}})
                    .withMeshTopology(MeshTopology::Points)
                    .build();
    const std::array<unsigned char, 4> rgba = drawnPoint(*shader, *mesh);
    EXPECT_THAT(rgba, ElementsAre(10, 100, 200, 255));
}

TEST_F(MeshTest, UnhandledShaderInputTypeThrows) {
    auto shader = shaderWithInputs("in mat2 rotation;", "vec4(rotation[0], rotation[1])");
    ASSERT_TRUE(shader);
    auto mesh = Mesh::create().withPositions({{0, 0, 0}}).build();
    EXPECT_THROW(GpuTestAccess::bind(*mesh, *shader), std::runtime_error);
    // A half-made vertex array is not kept: binding again fails the same way.
    EXPECT_TRUE(GpuTestAccess::vertexArrays(*mesh).empty());
    EXPECT_THROW(GpuTestAccess::bind(*mesh, *shader), std::runtime_error);
    glBindVertexArray(0);
}

// GL hands a deleted program's name to the next program it makes (Mesa does), so a vertex array
// kept for a released shader must neither serve its successor nor stay behind.
TEST_F(MeshTest, ANewShaderNeverInheritsTheVertexArraysOfAReleasedOne) {
    const auto colourAt = [](int location) {
        const std::string vertex =
            "#version 330\nlayout(location = " + std::to_string(location) +
            ") in vec4 color;\nout vec4 value;\nvoid main(void) {\n    value = color;\n"
            "    gl_Position = vec4(0.0, 0.0, 0.0, 1.0);\n}\n";
        const char* fragment =
            "#version 330\nin vec4 value;\nout vec4 fragColor;\nvoid main(void) { fragColor = "
            "value; }\n";
        return Shader::create().withSource(vertex, fragment).build();
    };
    auto mesh =
        Mesh::create().withColors({{10 / 255.0f, 100 / 255.0f, 200 / 255.0f, 1.0f}}).build();
    auto released = colourAt(0);
    ASSERT_TRUE(released);
    GpuTestAccess::bind(*mesh, *released);
    glBindVertexArray(0);
    ASSERT_EQ(GpuTestAccess::vertexArrays(*mesh).size(), 1u);
    const GLuint releasedArray = GpuTestAccess::vertexArrays(*mesh).begin()->second;
    released.reset();
    EXPECT_TRUE(GpuTestAccess::vertexArrays(*mesh).empty());
    EXPECT_FALSE(glIsVertexArray(releasedArray)) << "the released shader's vertex array leaked";

    auto successor = colourAt(1);
    ASSERT_TRUE(successor);
    EXPECT_THAT(drawnPoint(*successor, *mesh), ElementsAre(10, 100, 200, 255));
}

TEST_F(MeshTest, InvalidIndexSetIsRefused) {
    LogCapture capture;
    auto mesh = Mesh::create()
                    .withPositions({{0, 0, 0}})
                    .withIndices({0}, MeshTopology::Points, -1)
                    .build();
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].message, "Invalid index set -1");
    EXPECT_EQ(mesh->getIndexSets(), 0);
}

}  // namespace
}  // namespace orka
