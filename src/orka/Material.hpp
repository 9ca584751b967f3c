#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <memory>
#include <string>
#include <vector>

namespace orka {

class RenderPass;
class Shader;
class Texture;
struct GpuTestAccess;

/// One shader plus a value for each of its material uniforms (those not beginning with "g_").
/// Made by Shader::createMaterial and shared through std::shared_ptr; keeps its shader and its
/// textures alive. Supported uniform kinds: float, vec4, sampler2D and samplerCube. Copies
/// share the shader and the textures.
class Material {
public:
    /// A value and the GL location it goes to.
    template <typename T>
    struct Uniform {
        int id = -1;  ///< uniform location in the shader's program; -1: not found
        T value{};    ///< uploaded whenever the material is bound
    };

    /// Replaces the shader and resets every value to its default: 0 for floats, (1, 1, 1, 1)
    /// for vec4 (so "color" is opaque white), the white texture for sampler2D and the white
    /// cube map for samplerCube. Other uniform kinds are an error log and get no value.
    void setShader(std::shared_ptr<Shader> shader);
    /// The shader the values belong to; empty only after setShader(nullptr).
    std::shared_ptr<Shader> getShader() const { return shader; }

    /// A name for the application's own use; empty unless set.
    ///@{
    void setName(const std::string& newName) { name = newName; }
    const std::string& getName() const { return name; }
    ///@}

    /// Sets a uniform of the matching kind; false (nothing changes, nothing logged) for a name
    /// the shader lacks or a uniform of another kind.
    ///@{
    bool set(std::string uniformName, float value);
    bool set(std::string uniformName, glm::vec4 value);
    bool set(std::string uniformName, std::shared_ptr<Texture> value);
    ///@}

    /// The uniform "color"; (0, 0, 0, 0) when the shader has none.
    ///@{
    bool setColor(const glm::vec4& color);
    glm::vec4 getColor() const;
    ///@}
    /// The uniform "specularity"; 0 when the shader has none.
    ///@{
    bool setSpecularity(float specularity);
    float getSpecularity() const;
    ///@}
    /// The uniform "tex"; empty when the shader has none.
    ///@{
    bool setTexture(std::shared_ptr<Texture> texture);
    std::shared_ptr<Texture> getTexture() const;
    ///@}

private:
    explicit Material(std::shared_ptr<Shader> shader);

    /// Uploads every value; every texture uniform is bound on texture unit 0.
    void bind();

    /// Takes a fresh serial: the values bound under the old one are no longer these.
    void changed();

    friend class Shader;
    friend class RenderPass;
    friend struct GpuTestAccess;

    /// Names this material with these values among all materials of a run (64 bits never wrap),
    /// so render passes can tell it from one made later at the same address. A copy shares it
    /// until either changes.
    std::uint64_t serial = 0;
    std::string name;
    std::shared_ptr<Shader> shader;
    std::vector<Uniform<std::shared_ptr<Texture>>> textureValues;
    std::vector<Uniform<glm::vec4>> vectorValues;
    std::vector<Uniform<float>> floatValues;
};

}  // namespace orka
