#include "orka/RenderPass.hpp"

#include <GL/glew.h>

#include <imgui.h>

#include <algorithm>
#include <array>
#include <utility>

#include "orka/Framebuffer.hpp"
#include "orka/GuiBinding.hpp"
#include "orka/Image.hpp"
#include "orka/Log.hpp"
#include "orka/Material.hpp"
#include "orka/Renderer.hpp"
#include "orka/RendererResources.hpp"
#include "orka/ScreenCapture.hpp"
#include "orka/Shader.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

constexpr float maxChannel = 255.0f;
constexpr int channelsPerPixel = 4;
constexpr int indicesPerQuad = 6;
const glm::mat4 identity(1.0f);

// A fraction of the target in whole pixels, truncated; nothing below the target's origin.
unsigned int toPixels(float fraction, float targetSize) {
    return static_cast<unsigned int>(std::max(0.0f, fraction * targetSize));
}

// Swaps two addresses wherever a pointer holds one of them.
void remap(RenderPass*& pointer, RenderPass* a, RenderPass* b) {
    if (pointer == a) {
        pointer = b;
    } else if (pointer == b) {
        pointer = a;
    }
}

}  // namespace

RenderPass* RenderPass::instance = nullptr;
RenderPass* RenderPass::guiFrameOwner = nullptr;
int RenderPass::barsClearedInFrame = -1;

// ---- RenderPassBuilder ----

RenderPassBuilder::RenderPassBuilder() {
    if (Renderer::instance != nullptr) settings.renderStats = &Renderer::instance->renderStats;
}

RenderPassBuilder RenderPass::create() {
    if (Renderer::instance == nullptr) {
        ORKA_LOG_FATAL("Cannot instantiate orka::RenderPass before orka::Renderer is created.");
    }
    return RenderPassBuilder();
}

RenderPassBuilder& RenderPassBuilder::withName(const std::string& newName) {
    settings.name = newName;
    return *this;
}

RenderPassBuilder& RenderPassBuilder::withCamera(const Camera& newCamera) {
    settings.camera = newCamera;
    return *this;
}

RenderPassBuilder& RenderPassBuilder::withWorldLights(WorldLights* lights) {
    settings.worldLights = lights;
    return *this;
}

RenderPassBuilder& RenderPassBuilder::withFramebuffer(std::shared_ptr<Framebuffer> target) {
    settings.framebuffer = std::move(target);
    return *this;
}

RenderPassBuilder& RenderPassBuilder::withClearColor(bool enabled, glm::vec4 color) {
    settings.clearColor = enabled;
    settings.clearColorValue = color;
    return *this;
}

RenderPassBuilder& RenderPassBuilder::withClearDepth(bool enabled, float value) {
    settings.clearDepth = enabled;
    settings.clearDepthValue = value;
    return *this;
}

RenderPassBuilder& RenderPassBuilder::withClearStencil(bool enabled, int value) {
    settings.clearStencil = enabled;
    settings.clearStencilValue = value;
    return *this;
}

RenderPassBuilder& RenderPassBuilder::withGUI(bool enabled) {
    settings.gui = enabled;
    return *this;
}

RenderPass RenderPassBuilder::build() {
    return RenderPass(*this);
}

// ---- Life cycle ----

RenderPass::RenderPass(const RenderPassBuilder& builder) : settings(builder.settings) {
    // The pass before this one is not finished; it is bound again when this one ends.
    lastInstance = instance;
    instance = this;
    Renderer::renderPassFinisher = &RenderPass::finish;
    bind(true);
}

RenderPass::RenderPass(RenderPass&& other) noexcept {
    takeOver(other);
}

RenderPass& RenderPass::operator=(RenderPass&& other) noexcept {
    if (this != &other) takeOver(other);
    return *this;
}

void RenderPass::takeOver(RenderPass& other) {
    // The passes stacked below the current one, whose links may name either of us.
    std::vector<RenderPass*> stacked;
    for (RenderPass* pass = instance; pass != nullptr; pass = pass->lastInstance) {
        if (pass != this && pass != &other) stacked.push_back(pass);
    }

    settings = other.settings;
    std::swap(lastBoundShader, other.lastBoundShader);
    std::swap(lastBoundShaderSerial, other.lastBoundShaderSerial);
    std::swap(lastBoundMaterialSerial, other.lastBoundMaterialSerial);
    std::swap(lastBoundMeshId, other.lastBoundMeshId);
    std::swap(lastBoundIndexSet, other.lastBoundIndexSet);
    std::swap(projection, other.projection);
    std::swap(viewportOffset, other.viewportOffset);
    std::swap(viewportSize, other.viewportSize);
    std::swap(lastInstance, other.lastInstance);
    std::swap(finished, other.finished);
    std::swap(oneItem, other.oneItem);

    // The two objects exchanged identities: every pointer to one now names the other, so the
    // stack of passes and the GUI frame follow the state that moved.
    remap(instance, this, &other);
    remap(guiFrameOwner, this, &other);
    remap(lastInstance, this, &other);
    remap(other.lastInstance, this, &other);
    for (RenderPass* pass : stacked) remap(pass->lastInstance, this, &other);
}

RenderPass::~RenderPass() {
    if (instance == this) {
        finishPass();
        instance = lastInstance;
        if (instance != nullptr) instance->bind(false);
        return;
    }
    // Not current: no GL work, but nothing may keep pointing at this pass.
    for (RenderPass* pass = instance; pass != nullptr; pass = pass->lastInstance) {
        if (pass->lastInstance == this) pass->lastInstance = lastInstance;
    }
    if (guiFrameOwner == this) {
        // A GUI frame left open would make the next one fail.
        ImGui::EndFrame();
        guiFrameOwner = nullptr;
    }
}

void RenderPass::finish() {
    if (instance != nullptr) instance->finishPass();
}

void RenderPass::finishPass() {
    if (finished) return;
    finished = true;
    if (guiFrameOwner == this) {
        guiFrameOwner = nullptr;
        ImGui::Render();
        GuiBinding::renderDrawLists(ImGui::GetDrawData());
    }
    if (settings.framebuffer != nullptr) regenerateMipmaps(*settings.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void RenderPass::regenerateMipmaps(const Framebuffer& target) {
    for (const auto& texture : target.getTextures()) {
        if (texture == nullptr || !texture->isMipmapped()) continue;
        glBindTexture(texture->target, texture->textureId);
        glGenerateMipmap(texture->target);
    }
}

GLuint RenderPass::textureName(const Texture& texture) {
    return texture.textureId;
}

// ---- Binding ----

void RenderPass::bind(bool newFrame) {
    // The part of the target the camera's viewport is a fraction of, and the size projections
    // are computed for: the whole framebuffer, or the window's area for its logical size.
    PixelArea area;
    glm::ivec2 projectionSize(0);
    if (settings.framebuffer != nullptr) {
        settings.framebuffer->bind();
        area.size = glm::ivec2(settings.framebuffer->getSize());
        projectionSize = area.size;
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (Renderer::instance != nullptr) {
            area = Renderer::instance->getWindowArea();
            const glm::ivec2 logical = Renderer::instance->getLogicalSize();
            projectionSize = logical.x > 0 && logical.y > 0 ? logical : area.size;
            if (newFrame) clearBars(area);
        }
    }
    const glm::vec2 offset = settings.camera.getViewportOffset();
    const glm::vec2 size = settings.camera.getViewportSize();
    const glm::vec2 areaSize(area.size);
    viewportOffset = glm::uvec2(area.offset) +
                     glm::uvec2(toPixels(offset.x, areaSize.x), toPixels(offset.y, areaSize.y));
    viewportSize = {toPixels(size.x, areaSize.x), toPixels(size.y, areaSize.y)};
    // Clearing and drawing stay inside the camera's viewport.
    const auto x = static_cast<GLint>(viewportOffset.x);
    const auto y = static_cast<GLint>(viewportOffset.y);
    const auto width = static_cast<GLsizei>(viewportSize.x);
    const auto height = static_cast<GLsizei>(viewportSize.y);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width, height);
    glViewport(x, y, width, height);

    if (!newFrame) {
        // A nested pass used other shaders and materials meanwhile.
        lastBoundShader = nullptr;
        lastBoundShaderSerial = 0;
        lastBoundMaterialSerial = 0;
        return;
    }
    clear();
    // Only one GUI frame can be open: a nested pass leaves it to the pass that opened it.
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    if (settings.gui && guiFrameOwner == nullptr && window != nullptr) {
        GuiBinding::newFrame(window);
        guiFrameOwner = this;
    }
    // The projection covers the whole target, not just the viewport.
    projection = settings.camera.getProjectionTransform(glm::uvec2(projectionSize));
}

void RenderPass::clearBars(const PixelArea& area) {
    const RenderStats& frameStats = Renderer::instance->renderStats;
    const glm::ivec2 drawable = Renderer::instance->getDrawableSize();
    // Once a frame: a later pass must not wipe what the GUI drew over the bars.
    if (area.size == drawable || barsClearedInFrame == frameStats.frame) return;
    barsClearedInFrame = frameStats.frame;
    const glm::ivec2 end = area.offset + area.size;
    // Left, right, below, above; the area itself is the passes' to clear.
    const std::array<std::array<GLint, 4>, 4> bars{{
        {0, 0, area.offset.x, drawable.y},
        {end.x, 0, drawable.x - end.x, drawable.y},
        {area.offset.x, 0, area.size.x, area.offset.y},
        {area.offset.x, end.y, area.size.x, drawable.y - end.y},
    }};
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    for (const auto& bar : bars) {
        if (bar[2] <= 0 || bar[3] <= 0) continue;
        glScissor(bar[0], bar[1], bar[2], bar[3]);
        glClear(GL_COLOR_BUFFER_BIT);
    }
}

void RenderPass::clear() {
    GLbitfield mask = 0;
    if (settings.clearColor) {
        const glm::vec4& color = settings.clearColorValue;
        glClearColor(color.r, color.g, color.b, color.a);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (settings.clearDepth) {
        glClearDepth(settings.clearDepthValue);
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (settings.clearStencil) {
        glClearStencil(settings.clearStencilValue);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (mask != 0) glClear(mask);
}

void RenderPass::forgetBindings() {
    for (RenderPass* pass = instance; pass != nullptr; pass = pass->lastInstance) {
        pass->forgetOwnBindings();
    }
}

void RenderPass::forgetOwnBindings() {
    lastBoundMaterialSerial = 0;
    lastBoundMeshId = -1;
    lastBoundIndexSet = -1;
}

void RenderPass::count(int RenderStats::*counter) {
    if (settings.renderStats != nullptr) settings.renderStats->*counter += 1;
}

// ---- Drawing ----

void RenderPass::setupShader(const glm::mat4& modelTransform, Shader* shader) {
    const glm::mat4 view = settings.camera.getViewTransform();
    // Normals go to camera space.
    const glm::mat3 normalMatrix =
        glm::transpose(glm::inverse(glm::mat3(view) * glm::mat3(modelTransform)));
    // By serial: a shader made after the last one was released may live at its address.
    if (shader->serial == lastBoundShaderSerial) {
        if (shader->uniformLocationModel != -1) {
            glUniformMatrix4fv(shader->uniformLocationModel, 1, GL_FALSE, &modelTransform[0][0]);
        }
        if (shader->uniformLocationNormal != -1) {
            glUniformMatrix3fv(shader->uniformLocationNormal, 1, GL_FALSE, &normalMatrix[0][0]);
        }
        return;
    }
    count(&RenderStats::stateChangesShader);
    lastBoundShader = shader;
    lastBoundShaderSerial = shader->serial;
    // Vertex array objects are made per shader: the mesh must be bound again.
    lastBoundMeshId = -1;
    lastBoundIndexSet = -1;
    shader->bind();
    if (shader->uniformLocationModel != -1) {
        glUniformMatrix4fv(shader->uniformLocationModel, 1, GL_FALSE, &modelTransform[0][0]);
    }
    if (shader->uniformLocationView != -1) {
        glUniformMatrix4fv(shader->uniformLocationView, 1, GL_FALSE, &view[0][0]);
    }
    if (shader->uniformLocationProjection != -1) {
        glUniformMatrix4fv(shader->uniformLocationProjection, 1, GL_FALSE, &projection[0][0]);
    }
    if (shader->uniformLocationNormal != -1) {
        glUniformMatrix3fv(shader->uniformLocationNormal, 1, GL_FALSE, &normalMatrix[0][0]);
    }
    if (shader->uniformLocationViewport != -1) {
        const glm::vec4 viewport{glm::vec2(viewportSize), glm::vec2(viewportOffset)};
        glUniform4fv(shader->uniformLocationViewport, 1, &viewport.x);
    }
    shader->setLights(settings.worldLights, view);
}

void RenderPass::useMaterial(Material* material) {
    if (material->serial == lastBoundMaterialSerial) return;
    count(&RenderStats::stateChangesMaterial);
    lastBoundMaterialSerial = material->serial;
    material->bind();
}

void RenderPass::useMesh(Mesh* mesh, int indexSet) {
    if (mesh->meshId != lastBoundMeshId) {
        count(&RenderStats::stateChangesMesh);
        lastBoundMeshId = mesh->meshId;
        lastBoundIndexSet = indexSet;
        mesh->bind(lastBoundShader);
        mesh->bindIndexSet(indexSet);
        return;
    }
    // The element buffer is part of the vertex array object's state: switch it when the set
    // changes, or a later draw of set 0 would read another set's buffer.
    if (indexSet == lastBoundIndexSet) return;
    count(&RenderStats::stateChangesMesh);
    lastBoundIndexSet = indexSet;
    mesh->bindIndexSet(indexSet);
}

void RenderPass::drawElements(Mesh* mesh, int indexSet) {
    const auto mode = static_cast<GLenum>(mesh->getMeshTopology(indexSet));
    glDrawElements(mode, mesh->getIndicesSize(indexSet), GL_UNSIGNED_SHORT, nullptr);
}

void RenderPass::draw(const std::shared_ptr<Mesh>& mesh, glm::mat4 modelTransform,
                      const std::shared_ptr<Material>& material) {
    if (mesh == nullptr || material == nullptr || material->getShader() == nullptr) {
        ORKA_LOG_ERROR("RenderPass %s cannot draw an empty mesh, material or shader",
                       settings.name.c_str());
        return;
    }
    Shader* shader = material->getShader().get();
    count(&RenderStats::drawCalls);
    setupShader(modelTransform, shader);
    useMaterial(material.get());
    useMesh(mesh.get(), 0);
    if (mesh->getIndexSets() > 0) {
        drawElements(mesh.get(), 0);
        return;
    }
    glDrawArrays(static_cast<GLenum>(mesh->getMeshTopology(0)), 0, mesh->getVertexCount());
}

void RenderPass::draw(const std::shared_ptr<Mesh>& mesh, glm::mat4 modelTransform,
                      const std::vector<std::shared_ptr<Material>>& materials) {
    if (materials.empty()) return;
    if (materials.size() == 1) {
        draw(mesh, modelTransform, materials.front());
        return;
    }
    if (mesh == nullptr) {
        ORKA_LOG_ERROR("RenderPass %s cannot draw an empty mesh", settings.name.c_str());
        return;
    }
    int drawable = static_cast<int>(materials.size());
    if (drawable > mesh->getIndexSets()) {
        // Index set i goes with material i; there is nothing to draw for the extra materials.
        ORKA_LOG_ERROR("Mesh %s has %i index sets but was drawn with %i materials",
                       mesh->getName().c_str(), mesh->getIndexSets(), drawable);
        drawable = mesh->getIndexSets();
    }
    for (int i = 0; i < drawable; i++) {
        Material* material = materials[static_cast<size_t>(i)].get();
        if (material == nullptr || material->getShader() == nullptr) {
            ORKA_LOG_ERROR("Mesh %s: material %i is empty", mesh->getName().c_str(), i);
            continue;
        }
        count(&RenderStats::drawCalls);
        setupShader(modelTransform, material->getShader().get());
        useMaterial(material);
        useMesh(mesh.get(), i);
        drawElements(mesh.get(), i);
    }
}

void RenderPass::draw(const std::shared_ptr<SpriteBatch>& spriteBatch, glm::mat4 modelTransform) {
    if (spriteBatch == nullptr) return;
    // The transform goes to a shader once per batch, not once per run.
    Shader* shaderSetUp = nullptr;
    for (const SpriteBatch::Run& run : spriteBatch->runs) {
        Material* material = spriteBatch->materials[static_cast<size_t>(run.material)].get();
        Mesh* mesh = spriteBatch->spriteMeshes[static_cast<size_t>(run.mesh)].get();
        Shader* shader = material->shader.get();
        if (shader == nullptr) {
            ORKA_LOG_ERROR("RenderPass %s cannot draw a sprite run whose material has no shader",
                           settings.name.c_str());
            continue;
        }
        count(&RenderStats::drawCalls);
        if (shader != shaderSetUp) {
            setupShader(modelTransform, shader);
            shaderSetUp = shader;
        }
        useMaterial(material);
        useMesh(mesh, 0);
        // The shared quad indices of quad q start at index 6 q and name its vertices 4 q...
        const auto offset = static_cast<std::intptr_t>(run.firstSprite) * indicesPerQuad *
                            static_cast<std::intptr_t>(sizeof(uint16_t));
        glDrawElements(GL_TRIANGLES, run.sprites * indicesPerQuad, GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(offset));
    }
}

struct RenderPass::OneItemBatch {
    SpriteBatch::SpriteBatchBuilder builder = SpriteBatch::create();
    std::shared_ptr<SpriteBatch> batch;
};

RenderPass::OneItemBatch& RenderPass::prepareOneItem(BlendType blend) {
    if (oneItem == nullptr) oneItem = std::make_shared<OneItemBatch>();
    oneItem->builder.clear();
    oneItem->builder.withBlendMode(blend);
    return *oneItem;
}

void RenderPass::drawOneItem(OneItemBatch& item) {
    if (item.batch == nullptr) {
        item.batch = item.builder.build();
    } else {
        item.batch->refill(item.builder);
    }
    draw(item.batch);
}

void RenderPass::draw(const Sprite& sprite, BlendType blend) {
    OneItemBatch& item = prepareOneItem(blend);
    item.builder.addSprite(sprite);
    drawOneItem(item);
}

void RenderPass::draw(const Shape& shape, BlendType blend) {
    OneItemBatch& item = prepareOneItem(blend);
    item.builder.addShape(shape);
    drawOneItem(item);
}

void RenderPass::draw(const Text& text, BlendType blend) {
    OneItemBatch& item = prepareOneItem(blend);
    item.builder.addText(text);
    drawOneItem(item);
}

void RenderPass::drawLines(const std::vector<glm::vec3>& vertices, glm::vec4 color,
                           MeshTopology meshTopology) {
    // An empty list would make a mesh without positions, which later updates cannot fill.
    if (vertices.empty() || Renderer::instance == nullptr) return;
    // One mesh and material, kept by the renderer, serve every call.
    RendererResources::BuiltIns& lines = resourcesOf(*Renderer::instance).builtIns;
    if (lines.lineMesh == nullptr) {
        lines.lineMaterial = Shader::getUnlit()->createMaterial();
        lines.lineMesh = Mesh::create()
                             .withName("ORKA Lines")
                             .withPositions(vertices)
                             .withMeshTopology(meshTopology)
                             .build();
        if (lines.lineMesh == nullptr) return;
    } else {
        lines.lineMesh->update()
            .withName("ORKA Lines")
            .withPositions(vertices)
            .withMeshTopology(meshTopology)
            .build();
    }
    lines.lineMaterial->setColor(color);
    draw(lines.lineMesh, identity, lines.lineMaterial);
}

std::vector<glm::vec4> RenderPass::readPixels(unsigned int x, unsigned int y, unsigned int width,
                                              unsigned int height) {
    const size_t pixelCount = static_cast<size_t>(width) * height;
    std::vector<unsigned char> bytes(pixelCount * channelsPerPixel);
    if (pixelCount == 0) return {};
    glPixelStorei(GL_PACK_ALIGNMENT, channelsPerPixel);
    glReadPixels(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<glm::vec4> pixels(pixelCount);
    for (size_t i = 0; i < pixelCount; i++) {
        const unsigned char* pixel = &bytes[i * channelsPerPixel];
        pixels[i] = glm::vec4(pixel[0], pixel[1], pixel[2], pixel[3]) / maxChannel;
    }
    return pixels;
}

Image RenderPass::readImage() {
    glm::ivec2 size(0);
    if (settings.framebuffer != nullptr) {
        size = glm::ivec2(settings.framebuffer->getSize());
    } else if (Renderer::instance != nullptr) {
        size = Renderer::instance->getDrawableSize();
    }
    return screen_capture::readColorBuffer({0, 0}, size);
}

void RenderPass::finishGPUCommandBuffer() {
    glFinish();
}

}  // namespace orka
