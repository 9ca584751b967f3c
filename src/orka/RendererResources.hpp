#pragma once

#include <memory>
#include <vector>

namespace orka {

class BatchBufferPool;
class Material;
class Mesh;
class Renderer;
class Shader;
class SpriteAtlas;
class Texture;

/// What a renderer keeps for the engine's own classes: registries of the live GL objects and
/// the shared built-in resources. Engine-internal (not installed); reached through
/// resourcesOf(). Main thread only.
struct RendererResources {
    /// Registries of all live objects of each kind (not owning): each object adds itself in its
    /// constructor and removes itself in its destructor.
    ///@{
    std::vector<Mesh*> meshes;
    std::vector<Shader*> shaders;
    std::vector<Texture*> textures;
    std::vector<SpriteAtlas*> spriteAtlases;
    ///@}

    /// Shared resources made on first request (Shader::getUnlit, Texture::getWhiteTexture,
    /// RenderPass::drawLines, ...). Their GL names belong to this renderer's context, so they
    /// are released with it and the next renderer makes its own.
    struct BuiltIns {
        /// Shader::getStandard, getUnlit, getUnlitSprite, getUnlitSpriteByteColor,
        /// getUnlitShape and getStandardParticles.
        ///@{
        std::shared_ptr<Shader> standard, unlit, unlitSprite, unlitSpriteByteColor, unlitShape,
            standardParticles;
        ///@}
        /// Shader::getBatchShader: the three batch shaders (as above, in that order) by
        /// BlendType value.
        std::shared_ptr<Shader> batchBlendVariants[3][5];
        /// Texture::getWhiteTexture, getSphereTexture and getDefaultCubemapTexture.
        ///@{
        std::shared_ptr<Texture> white, sphere, cubemap;
        ///@}
        /// The mesh and unlit material RenderPass::drawLines draws with.
        ///@{
        std::shared_ptr<Mesh> lineMesh;
        std::shared_ptr<Material> lineMaterial;
        ///@}
        /// Last: shaders released before it tell it about their vertex arrays.
        std::shared_ptr<BatchBufferPool> batchBuffers;
    };
    /// Empty until first requested; emptied when the renderer is destroyed.
    BuiltIns builtIns;
};

/// The registries and built-ins of `renderer`; they live as long as it does.
RendererResources& resourcesOf(Renderer& renderer);

}  // namespace orka
