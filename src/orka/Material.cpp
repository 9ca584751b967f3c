#include "orka/Material.hpp"

#include <GL/glew.h>

#include "orka/Log.hpp"
#include "orka/Shader.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

const char* const colorUniform = "color";
const char* const specularityUniform = "specularity";
const char* const textureUniform = "tex";
const glm::vec4 defaultVector(1.0f, 1.0f, 1.0f, 1.0f);

template <typename T>
bool storeValue(std::vector<Material::Uniform<T>>& values, int id, T value) {
    for (auto& entry : values) {
        if (entry.id != id) continue;
        entry.value = std::move(value);
        return true;
    }
    return false;
}

// The stored value when the shader's uniform of that name is of the expected kind.
template <typename T>
T getValue(const std::vector<Material::Uniform<T>>& values, const Shader& shader,
           const std::string& uniformName, UniformType expected) {
    const orka::Uniform uniform = shader.getUniformType(uniformName);
    if (uniform.type != expected) return T{};
    for (const auto& entry : values) {
        if (entry.id == uniform.id) return entry.value;
    }
    return T{};
}

}  // namespace

Material::Material(std::shared_ptr<Shader> shader) {
    setShader(std::move(shader));
    name = "Undefined material";
}

void Material::changed() {
    static std::uint64_t serialCount = 0;
    serial = ++serialCount;
}

void Material::setShader(std::shared_ptr<Shader> newShader) {
    changed();
    shader = std::move(newShader);
    textureValues.clear();
    vectorValues.clear();
    floatValues.clear();
    if (!shader) return;
    for (const orka::Uniform& uniform : shader->uniforms) {
        switch (uniform.type) {
            case UniformType::Float:
                floatValues.push_back({uniform.id, 0.0f});
                break;
            case UniformType::Vec4:
                vectorValues.push_back({uniform.id, defaultVector});
                break;
            case UniformType::Texture:
                textureValues.push_back({uniform.id, Texture::getWhiteTexture()});
                break;
            case UniformType::TextureCube:
                textureValues.push_back({uniform.id, Texture::getDefaultCubemapTexture()});
                break;
            default:
                // Log readers match this exact text, "is supported" included: keep it as it is.
                ORKA_LOG_ERROR(
                    "'%s' Unsupported uniform type: %i. Only Vec4, Texture, TextureCube and Float "
                    "is supported.",
                    uniform.name.c_str(), static_cast<int>(uniform.type));
        }
    }
}

bool Material::set(std::string uniformName, float value) {
    if (!shader) return false;
    if (!storeValue(floatValues, shader->getUniformType(uniformName).id, value)) {
        return false;
    }
    changed();
    return true;
}

bool Material::set(std::string uniformName, glm::vec4 value) {
    if (!shader) return false;
    if (!storeValue(vectorValues, shader->getUniformType(uniformName).id, value)) {
        return false;
    }
    changed();
    return true;
}

bool Material::set(std::string uniformName, std::shared_ptr<Texture> value) {
    if (!shader) return false;
    if (!storeValue(textureValues, shader->getUniformType(uniformName).id, std::move(value))) {
        return false;
    }
    changed();
    return true;
}

bool Material::setColor(const glm::vec4& color) {
    return set(colorUniform, color);
}

glm::vec4 Material::getColor() const {
    if (!shader) return {};
    return getValue(vectorValues, *shader, colorUniform, UniformType::Vec4);
}

bool Material::setSpecularity(float specularity) {
    return set(specularityUniform, specularity);
}

float Material::getSpecularity() const {
    if (!shader) return 0.0f;
    return getValue(floatValues, *shader, specularityUniform, UniformType::Float);
}

bool Material::setTexture(std::shared_ptr<Texture> texture) {
    return set(textureUniform, std::move(texture));
}

std::shared_ptr<Texture> Material::getTexture() const {
    if (!shader) return {};
    return getValue(textureValues, *shader, textureUniform, UniformType::Texture);
}

void Material::bind() {
    for (const auto& entry : textureValues) {
        glActiveTexture(GL_TEXTURE0);
        if (entry.value) {
            glBindTexture(entry.value->target, entry.value->textureId);
        }
        glUniform1i(entry.id, 0);
    }
    for (const auto& entry : vectorValues) glUniform4fv(entry.id, 1, &entry.value.x);
    for (const auto& entry : floatValues) glUniform1f(entry.id, entry.value);
}

}  // namespace orka
