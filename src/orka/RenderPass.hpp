#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <memory>
#include <string>
#include <vector>

#include "orka/Camera.hpp"
#include "orka/Mesh.hpp"
#include "orka/RenderStats.hpp"
#include "orka/Shader.hpp"

namespace orka {

class Framebuffer;
class Image;
class Material;
struct PixelArea;
class RenderPass;
class Shape;
class Sprite;
class SpriteBatch;
class Text;
class Texture;
class WorldLights;

/// What a render pass is built with: RenderPassBuilder fills it, the pass keeps a copy. The
/// values here are the defaults of every pass.
struct RenderPassSettings {
    /// The name log messages give the pass.
    std::string name;
    /// Off-screen target; empty means the window.
    std::shared_ptr<Framebuffer> framebuffer;
    /// Lights for every shader of the pass; not owned, must outlive the pass. Null: no lights.
    WorldLights* worldLights = nullptr;
    /// The pass's own copy.
    Camera camera;
    /// Where the pass counts its work; RenderPass::create() sets the renderer's current-frame
    /// statistics.
    RenderStats* renderStats = nullptr;
    bool clearColor = true;                             ///< clear the colour when the pass begins
    glm::vec4 clearColorValue{0.0f, 0.0f, 0.0f, 1.0f};  ///< RGBA 0..1 in the blending space
    bool clearDepth = true;                             ///< clear the depth when the pass begins
    float clearDepthValue = 1.0f;                       ///< 0 (near) to 1 (far)
    bool clearStencil = false;                          ///< clear the stencil when the pass begins
    int clearStencilValue = 0;                          ///< the stencil value cleared to
    /// Whether the pass starts a GUI frame when it begins and renders the GUI when it ends.
    bool gui = true;
};

/// Fills the settings of a render pass, from RenderPass::create(). Copyable; every with…
/// returns the builder so calls chain. Defaults as in RenderPassSettings: the window as target,
/// no lights, a default camera, clearing colour to opaque black and depth to 1 (stencil not
/// cleared), and carrying the GUI.
class RenderPassBuilder {
public:
    /// The name log messages give the pass.
    RenderPassBuilder& withName(const std::string& name);
    /// The camera is copied: later changes to it do not reach the pass.
    RenderPassBuilder& withCamera(const Camera& camera);
    /// Not owned: the lights must outlive the pass. Null: shaders get no lights.
    RenderPassBuilder& withWorldLights(WorldLights* worldLights);
    /// Draws into `framebuffer`, which the pass holds; empty: into the window.
    RenderPassBuilder& withFramebuffer(std::shared_ptr<Framebuffer> framebuffer);
    /// Whether the pass clears that buffer when it begins, and to what (see
    /// RenderPassSettings).
    ///@{
    RenderPassBuilder& withClearColor(bool enabled, glm::vec4 color = {0.0f, 0.0f, 0.0f, 1.0f});
    RenderPassBuilder& withClearDepth(bool enabled, float value = 1.0f);
    RenderPassBuilder& withClearStencil(bool enabled, int value = 0);
    ///@}
    /// A pass nested in one that already has a GUI frame does not start another.
    RenderPassBuilder& withGUI(bool enabled);
    /// The pass, begun: it is the current pass from now on.
    RenderPass build();

private:
    RenderPassBuilder();
    friend class RenderPass;

    RenderPassSettings settings;
};

/// One scope of drawing into a target (the window or a Framebuffer) through one camera.
/// Building the pass binds the target, sets viewport and scissor from the camera's viewport,
/// clears, starts a GUI frame and computes the projection for the target's size. Then the
/// application draws meshes, sprite batches and lines. Destroying the current pass finishes it
/// (renders the GUI, regenerates the mipmaps of a framebuffer's mipmapped textures, binds the
/// window) and makes the pass that was current before it current again, re-binding its target,
/// viewport and scissor without clearing. Renderer::swapWindow finishes a pass still current at
/// the end of the frame. A pass leaves the scissor test enabled.
///
/// The pass remembers the shader, material and mesh it bound last and skips binding them again;
/// its work shows in RenderStats (drawCalls against stateChangesShader/Material/Mesh). Movable,
/// not copyable; main thread only.
class RenderPass {
public:
    /// A builder with the defaults of RenderPassSettings; its build() begins the pass.
    static RenderPassBuilder create();

    /// The two objects exchange their states: the pass's place on the stack of passes (and
    /// its GUI frame) moves with it, and a pass the target held lives on in `other`.
    ///@{
    RenderPass(RenderPass&& other) noexcept;
    RenderPass& operator=(RenderPass&& other) noexcept;
    ///@}
    RenderPass(const RenderPass&) = delete;
    RenderPass& operator=(const RenderPass&) = delete;
    virtual ~RenderPass();

    /// Draws the whole mesh (index set 0, or all vertices without index sets) with one material.
    void draw(const std::shared_ptr<Mesh>& mesh, glm::mat4 modelTransform,
              const std::shared_ptr<Material>& material);
    /// Draws index set i with material i. A mesh with fewer index sets than materials draws the
    /// sets it has and logs an error.
    void draw(const std::shared_ptr<Mesh>& mesh, glm::mat4 modelTransform,
              const std::vector<std::shared_ptr<Material>>& materials);
    /// Draws the batch's meshes in order, each with its material.
    void draw(const std::shared_ptr<SpriteBatch>& spriteBatch,
              glm::mat4 modelTransform = glm::mat4(1.0f));
    /// Draws one sprite, shape or text now, blended as `blend` says (see
    /// SpriteBatch::SpriteBatchBuilder::withBlendMode), without a batch built by hand: a
    /// one-item batch the pass keeps and fills again for each such draw, so a draw costs one
    /// vertex upload and one draw call (a text: one per glyph page) and makes no GL objects
    /// after the first. What is drawn this way and in batches lands in call order. For many
    /// items a batch of them is cheaper (one upload and call for all).
    ///@{
    void draw(const Sprite& sprite, BlendType blend = BlendType::AlphaBlending);
    void draw(const Shape& shape, BlendType blend = BlendType::AlphaBlending);
    void draw(const Text& text, BlendType blend = BlendType::AlphaBlending);
    ///@}
    /// Draws world-space lines (or another topology) in one colour with the Unlit shader.
    void drawLines(const std::vector<glm::vec3>& vertices, glm::vec4 color,
                   MeshTopology meshTopology = MeshTopology::Lines);

    /// RGBA in 0…1 of the bound target's pixels, rows from the bottom up as GL delivers them,
    /// and as the target stores them: in linear light the window holds sRGB-encoded colour, a
    /// framebuffer's RGBA textures linear colour; blending in the display's values both hold
    /// display values. `x` and `y` in pixels from the lower-left corner.
    std::vector<glm::vec4> readPixels(unsigned int x, unsigned int y, unsigned int width,
                                      unsigned int height);
    /// A screenshot of the pass's whole target (the window's drawable, or the framebuffer's
    /// first colour texture), rows from the top, in the colours seen on screen: a framebuffer's
    /// linear colour (in linear light) is sRGB-encoded as the window would show it, and the
    /// window's pixels are opaque. Read while the pass is current; Image::savePng writes it. To
    /// capture a whole frame of the window, GUI included, see Renderer::captureWindow.
    Image readImage();
    /// Waits until the GPU has done everything issued so far (glFinish).
    void finishGPUCommandBuffer();

    /// As built: the name and the pass's copy of the camera.
    ///@{
    const std::string& getName() const { return settings.name; }
    const Camera& getCamera() const { return settings.camera; }
    ///@}
    /// The projection computed when the pass began, for the whole target.
    const glm::mat4& getProjection() const { return projection; }
    /// The pixel viewport (and scissor) set from the camera: offset and size.
    ///@{
    glm::uvec2 getViewportOffset() const { return viewportOffset; }
    glm::uvec2 getViewportSize() const { return viewportSize; }
    ///@}

    /// The current pass, or null.
    static RenderPass* instance;
    /// True while a pass holds an open GUI frame: only then may Dear ImGui windows be issued
    /// (they are drawn when that pass finishes).
    static bool guiFrameOpen() { return guiFrameOwner != nullptr; }

    /// Makes every pass on the stack bind material and mesh afresh at its next draw. Resources
    /// call it when they bind GL objects behind the passes' backs: building or updating a mesh
    /// binds vertex array 0, making a texture binds it on the active unit. (Programs are only
    /// ever put in use by passes.)
    static void forgetBindings();

private:
    explicit RenderPass(const RenderPassBuilder& builder);

    void bind(bool newFrame);
    void clear();
    /// Blackens the drawable outside the window's area (once a frame).
    static void clearBars(const PixelArea& area);
    void setupShader(const glm::mat4& modelTransform, Shader* shader);
    void useMaterial(Material* material);
    void useMesh(Mesh* mesh, int indexSet);
    void drawElements(Mesh* mesh, int indexSet);
    void finishPass();
    void takeOver(RenderPass& other);
    void count(int RenderStats::*counter);
    void forgetOwnBindings();

    static void regenerateMipmaps(const Framebuffer& framebuffer);

    struct OneItemBatch;
    /// The pass's one-item batch, its builder emptied and set to `blend`.
    OneItemBatch& prepareOneItem(BlendType blend);
    /// Builds (or refills) the one-item batch from its builder and draws it.
    void drawOneItem(OneItemBatch& item);

    /// Finishes the current pass, if any (Renderer::swapWindow calls it through its hook).
    static void finish();

    /// Texture tells its GL name only to render passes; framebuffers attach textures through
    /// this.
    static unsigned int textureName(const Texture& texture);
    friend class Framebuffer;
    friend class RenderPassBuilder;

    // Copied from the builder.
    RenderPassSettings settings;

    // State of the pass.
    Shader* lastBoundShader = nullptr;
    /// Serial of lastBoundShader (0: none), which the cache compares.
    std::uint64_t lastBoundShaderSerial = 0;
    /// Serial of the material bound last (0: none); by serial, as for shaders, because a
    /// material made after that one was released may live at its address.
    std::uint64_t lastBoundMaterialSerial = 0;
    std::int64_t lastBoundMeshId = -1;
    int lastBoundIndexSet = -1;
    glm::mat4 projection{1.0f};
    glm::uvec2 viewportOffset{0, 0};
    glm::uvec2 viewportSize{0, 0};
    RenderPass* lastInstance = nullptr;
    bool finished = false;
    /// The one-item batch and its builder, made at the first one-item draw.
    std::shared_ptr<OneItemBatch> oneItem;

    /// The pass that started the open GUI frame (it alone renders it), or null.
    static RenderPass* guiFrameOwner;
    /// Renderer frame whose bars are already black.
    static int barsClearedInFrame;
};

}  // namespace orka
