#include "orka/Framebuffer.hpp"

#include <GL/glew.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SDLRenderer.hpp"

namespace orka {
namespace {

using test::LogCapture;
using ::testing::HasSubstr;

const glm::vec4 opaqueRed(1, 0, 0, 1);
const glm::vec4 opaqueGreen(0, 1, 0, 1);

GLint boundFramebuffer() {
    GLint id = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &id);
    return id;
}

GLint attachedTexture(GLenum attachment) {
    GLint name = -1;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    return name;
}

// RGBA bytes of one level of a 2D texture.
std::vector<unsigned char> textureLevel(const Texture& texture, int level, int texels) {
    std::vector<unsigned char> bytes(static_cast<size_t>(texels) * 4);
    glBindTexture(GL_TEXTURE_2D, GpuTestAccess::textureId(texture));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

void fill(const std::shared_ptr<Framebuffer>& target, const glm::vec4& color) {
    RenderPass pass =
        RenderPass::create().withFramebuffer(target).withClearColor(true, color).build();
}

class FramebufferTest : public ::testing::Test {
protected:
    void SetUp() override { test::testRenderer(); }
};

TEST_F(FramebufferTest, DefaultsToOneColourTextureOfItsSize) {
    auto framebuffer = Framebuffer::create().withSize(64, 32).withName("scratch").build();
    ASSERT_NE(framebuffer, nullptr);
    EXPECT_EQ(framebuffer->getSize(), glm::uvec2(64, 32));
    EXPECT_EQ(framebuffer->getWidth(), 64u);
    EXPECT_EQ(framebuffer->getHeight(), 32u);
    EXPECT_EQ(framebuffer->getName(), "scratch");
    ASSERT_EQ(framebuffer->getTextures().size(), 1u);
    const Texture& texture = *framebuffer->getTextures()[0];
    EXPECT_EQ(texture.getWidth(), 64);
    EXPECT_EQ(texture.getHeight(), 32);
    EXPECT_EQ(boundFramebuffer(), 0) << "building leaves the binding as it was";
}

TEST_F(FramebufferTest, BindAttachesEveryColourTextureInOrder) {
    auto own = Texture::create().withWhiteData(16, 16).build();
    auto framebuffer =
        Framebuffer::create().withSize(16, 16).withColorTexture().withColorTexture(own).build();
    ASSERT_NE(framebuffer, nullptr);
    ASSERT_EQ(framebuffer->getTextures().size(), 2u);
    EXPECT_EQ(framebuffer->getTextures()[1], own);
    framebuffer->bind();
    EXPECT_NE(boundFramebuffer(), 0);
    EXPECT_EQ(attachedTexture(GL_COLOR_ATTACHMENT0),
              static_cast<GLint>(GpuTestAccess::textureId(*framebuffer->getTextures()[0])));
    EXPECT_EQ(attachedTexture(GL_COLOR_ATTACHMENT1),
              static_cast<GLint>(GpuTestAccess::textureId(*own)));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST_F(FramebufferTest, ReplacedTextureIsAttachedAtTheNextBind) {
    auto framebuffer = Framebuffer::create().withSize(4, 4).build();
    ASSERT_NE(framebuffer, nullptr);
    auto first = framebuffer->getTextures()[0];
    fill(framebuffer, opaqueRed);
    auto second = Texture::create().withWhiteData(4, 4).build();
    ASSERT_TRUE(framebuffer->setColorTexture(0, second));
    fill(framebuffer, opaqueGreen);
    EXPECT_EQ(textureLevel(*first, 0, 16)[0], 255) << "the old texture keeps its red";
    EXPECT_EQ(textureLevel(*second, 0, 16)[1], 255) << "the new one got the green";
    EXPECT_EQ(textureLevel(*second, 0, 16)[0], 0);
}

TEST_F(FramebufferTest, FinishingAPassRegeneratesMipmaps) {
    auto mipmapped =
        Texture::create().withRGBAData(nullptr, 16, 16).withGenerateMipmaps(true).build();
    ASSERT_TRUE(mipmapped->isMipmapped());
    auto framebuffer = Framebuffer::create().withSize(16, 16).withColorTexture(mipmapped).build();
    ASSERT_NE(framebuffer, nullptr);
    fill(framebuffer, opaqueRed);
    const auto smallest = textureLevel(*mipmapped, 4, 1);  // 1 x 1
    EXPECT_EQ(smallest[0], 255);
    EXPECT_EQ(smallest[1], 0);
}

TEST_F(FramebufferTest, UnusableDescriptionsAreErrorsNotCrashes) {
    auto small = Texture::create().withWhiteData(4, 4).build();
    auto cube = Texture::getDefaultCubemapTexture();
    struct Case {
        const char* what;
        Framebuffer::FramebufferBuilder builder;
        const char* complaint;
    };
    Case cases[] = {
        {"no size", Framebuffer::create(), "needs a size"},
        {"zero height", Framebuffer::create().withSize(4, 0), "needs a size"},
        {"texture of another size", Framebuffer::create().withSize(8, 8).withColorTexture(small),
         "cannot use texture"},
        {"cube map", Framebuffer::create().withSize(2, 2).withColorTexture(cube), "cube map"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogCapture log;
        EXPECT_EQ(c.builder.build(), nullptr);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].type, LogType::Error);
        EXPECT_THAT(log.records[0].message, HasSubstr(c.complaint));
    }
}

TEST_F(FramebufferTest, TooManyOrEmptyTexturesAreRefused) {
    GLint maxAttachments = 0;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &maxAttachments);
    auto builder = Framebuffer::create().withSize(2, 2);
    for (GLint i = 0; i <= maxAttachments; i++) builder.withColorTexture();
    LogCapture log;
    EXPECT_EQ(builder.build(), nullptr);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_THAT(log.records[0].message, HasSubstr("colour textures"));

    log.records.clear();
    auto framebuffer =
        Framebuffer::create().withSize(2, 2).withColorTexture(std::shared_ptr<Texture>()).build();
    ASSERT_NE(framebuffer, nullptr) << "the empty texture is ignored, a new one is made";
    EXPECT_EQ(framebuffer->getTextures().size(), 1u);
    EXPECT_EQ(log.records.size(), 1u);

    log.records.clear();
    EXPECT_FALSE(framebuffer->setColorTexture(1, Texture::create().withWhiteData(2, 2).build()));
    EXPECT_FALSE(framebuffer->setColorTexture(0, Texture::create().withWhiteData(4, 4).build()));
    EXPECT_FALSE(framebuffer->setColorTexture(0, nullptr));
    EXPECT_EQ(log.records.size(), 3u);
}

// A framebuffer that outlives its window, released once a second window made a framebuffer
// with the same GL names, must leave the second one intact. Own windows shut SDL down, so this
// runs in a child process (a death test) that reports through its exit code.
int failed(const char* why) {
    std::cerr << "FAILED: " << why << std::endl;
    return 1;
}

int framebufferOutlivingItsWindow() {
    std::shared_ptr<Framebuffer> orphan;
    {
        SDLRenderer first;
        first.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
        if (first.getSDLWindow() == nullptr) return failed("no first window");
        orphan = Framebuffer::create().withSize(8, 8).withDepth(true).build();
    }
    SDLRenderer second;
    second.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    if (second.getSDLWindow() == nullptr) return failed("no second window");
    auto target = Framebuffer::create().withSize(8, 8).withDepth(true).build();
    if (target == nullptr) return failed("no framebuffer in the second window");
    orphan.reset();
    RenderPass pass = RenderPass::create()
                          .withFramebuffer(target)
                          .withClearColor(true, opaqueGreen)
                          .withGUI(false)
                          .build();
    const glm::vec4 pixel = pass.readPixels(4, 4, 1, 1).at(0);
    if (glGetError() != GL_NO_ERROR) return failed("GL error drawing into the second framebuffer");
    return pixel == opaqueGreen ? 0 : failed("the second framebuffer was not cleared green");
}

TEST(FramebufferDeathTest, ReleasedAfterItsWindowItLeavesTheNextWindowsFramebuffersAlone) {
    EXPECT_EXIT(std::exit(framebufferOutlivingItsWindow()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace orka
