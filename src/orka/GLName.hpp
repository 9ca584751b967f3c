#pragma once

#include <GL/glew.h>

#include <utility>

namespace orka {

/// Owns one GL object name (a texture, a buffer, ...). Move-only: a move hands the name over and
/// leaves 0 behind, so a class holding its name in a GLName can default its moves. A non-zero
/// name goes to the delete function when the owner is destroyed or assigned another name.
class GLName {
public:
    /// Deletes one name of the owner's kind (glDeleteTextures for a texture, say).
    using Deleter = void (*)(GLuint name);

    /// Owns nothing.
    GLName() = default;
    /// Owns `name`, which `deleter` deletes (null: it is never deleted).
    GLName(GLuint name, Deleter deleter) : name(name), deleter(deleter) {}
    ~GLName() { reset(); }
    /// Takes `other`'s name, which is left owning nothing; assignment first deletes the name
    /// owned before.
    ///@{
    GLName(GLName&& other) noexcept : name(std::exchange(other.name, 0)), deleter(other.deleter) {}
    GLName& operator=(GLName&& other) noexcept {
        if (this == &other) return *this;
        reset();
        name = std::exchange(other.name, 0);
        deleter = other.deleter;
        return *this;
    }
    ///@}
    GLName(const GLName&) = delete;
    GLName& operator=(const GLName&) = delete;

    /// The name; 0 when nothing is owned.
    GLuint get() const { return name; }
    /// Gives the name up without deleting it: the caller owns it from now on.
    GLuint release() { return std::exchange(name, 0); }

private:
    void reset() {
        if (name != 0 && deleter != nullptr) deleter(name);
        name = 0;
    }

    GLuint name = 0;
    Deleter deleter = nullptr;
};

}  // namespace orka
