#include "orka/ShaderCompile.hpp"

#include <algorithm>
#include <cstring>

namespace orka::shader_compile {

namespace {

// GL's info log of a stage (glGetShaderiv, glGetShaderInfoLog) or a program (glGetProgramiv,
// glGetProgramInfoLog): both pairs have the same signatures.
std::string infoLog(GLuint object, PFNGLGETSHADERIVPROC getParameter,
                    PFNGLGETSHADERINFOLOGPROC getLog) {
    GLint length = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(std::max(length, 1), '\0');
    getLog(object, length, nullptr, log.data());
    log.resize(std::strlen(log.c_str()));
    return log;
}

}  // namespace

GLuint compileStage(GLenum type, const std::string& source, std::string& log) {
    const GLuint stage = glCreateShader(type);
    const GLchar* text = source.c_str();
    const GLint length = static_cast<GLint>(source.size());
    glShaderSource(stage, 1, &text, &length);
    glCompileShader(stage);
    GLint compiled = GL_FALSE;
    glGetShaderiv(stage, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return stage;
    log = infoLog(stage, glGetShaderiv, glGetShaderInfoLog);
    glDeleteShader(stage);
    return 0;
}

bool linkProgram(GLuint program, std::string& log) {
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE) return true;
    log = infoLog(program, glGetProgramiv, glGetProgramInfoLog);
    return false;
}

}  // namespace orka::shader_compile
