#pragma once

#include <GL/glew.h>

#include <string>

/// Compiling GLSL stages and linking programs, with GL's whole info log on failure (sized from
/// GL, never cut). Shader and the GUI binding build their programs through these; each logs
/// the failure in its own words.
namespace orka::shader_compile {

/// A compiled stage of `type` (GL_VERTEX_SHADER, ...), or 0 when it does not compile: then the
/// stage is deleted already and `log` holds GL's info log.
GLuint compileStage(GLenum type, const std::string& source, std::string& log);

/// Links `program`; false, with GL's info log in `log`, when it does not link.
bool linkProgram(GLuint program, std::string& log);

}  // namespace orka::shader_compile
