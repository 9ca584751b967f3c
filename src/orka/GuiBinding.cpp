#include "orka/GuiBinding.hpp"

#include <GL/glew.h>
#include <imgui.h>

#include <cfloat>
#include <cstdint>
#include <string>

#include "orka/Log.hpp"
#include "orka/ShaderCompile.hpp"

namespace orka {

namespace {

GuiState gui;

// Key codes of SDL carry this bit for keys identified by scan code; the GUI's key table is
// indexed by the code without it.
constexpr SDL_Keycode scancodeMask = SDLK_SCANCODE_MASK;

const char* getClipboardText(void*) {
    return SDL_GetClipboardText();
}

void setClipboardText(void*, const char* text) {
    SDL_SetClipboardText(text);
}

void setKeyMap(ImGuiIO& io) {
    io.KeyMap[ImGuiKey_Tab] = SDLK_TAB;
    io.KeyMap[ImGuiKey_LeftArrow] = SDL_SCANCODE_LEFT;
    io.KeyMap[ImGuiKey_RightArrow] = SDL_SCANCODE_RIGHT;
    io.KeyMap[ImGuiKey_UpArrow] = SDL_SCANCODE_UP;
    io.KeyMap[ImGuiKey_DownArrow] = SDL_SCANCODE_DOWN;
    io.KeyMap[ImGuiKey_PageUp] = SDL_SCANCODE_PAGEUP;
    io.KeyMap[ImGuiKey_PageDown] = SDL_SCANCODE_PAGEDOWN;
    io.KeyMap[ImGuiKey_Home] = SDL_SCANCODE_HOME;
    io.KeyMap[ImGuiKey_End] = SDL_SCANCODE_END;
    io.KeyMap[ImGuiKey_Delete] = SDLK_DELETE;
    io.KeyMap[ImGuiKey_Backspace] = SDLK_BACKSPACE;
    io.KeyMap[ImGuiKey_Enter] = SDLK_RETURN;
    io.KeyMap[ImGuiKey_Escape] = SDLK_ESCAPE;
    io.KeyMap[ImGuiKey_A] = SDLK_a;
    io.KeyMap[ImGuiKey_C] = SDLK_c;
    io.KeyMap[ImGuiKey_V] = SDLK_v;
    io.KeyMap[ImGuiKey_X] = SDLK_x;
    io.KeyMap[ImGuiKey_Y] = SDLK_y;
    io.KeyMap[ImGuiKey_Z] = SDLK_z;
}

void processMouseButton(const SDL_MouseButtonEvent& button) {
    if (button.button == SDL_BUTTON_LEFT) gui.mousePressed[0] = true;
    if (button.button == SDL_BUTTON_RIGHT) gui.mousePressed[1] = true;
    if (button.button == SDL_BUTTON_MIDDLE) gui.mousePressed[2] = true;
}

void processKey(const SDL_KeyboardEvent& key) {
    ImGuiIO& io = ImGui::GetIO();
    const auto index = static_cast<unsigned int>(key.keysym.sym & ~scancodeMask);
    // Non-Latin layouts produce codes beyond the table; such keys are not GUI keys.
    constexpr unsigned int tableSize = IM_ARRAYSIZE(io.KeysDown);
    if (index < tableSize) io.KeysDown[index] = key.type == SDL_KEYDOWN;
    const SDL_Keymod modifiers = SDL_GetModState();
    io.KeyShift = (modifiers & KMOD_SHIFT) != 0;
    io.KeyCtrl = (modifiers & KMOD_CTRL) != 0;
    io.KeyAlt = (modifiers & KMOD_ALT) != 0;
    io.KeySuper = (modifiers & KMOD_GUI) != 0;
}

// The first frame has no previous one to measure against.
constexpr float firstFrameDeltaTime = 1.0f / 60.0f;
// SDL's clock has millisecond steps: two frames within one step still need a positive delta.
constexpr double minimumDeltaTime = 0.001;
constexpr double millisecondsPerSecond = 1000.0;
constexpr int mouseButtonCount = 3;
static_assert(sizeof(ImDrawIdx) == 2, "the GUI draws 16-bit indices");

const char* const vertexShaderSource = R"(#version 140
uniform mat4 ProjMtx;
in vec2 Position;
in vec2 UV;
in vec4 Color;
out vec2 Frag_UV;
out vec4 Frag_Color;
void main()
{
    Frag_UV = UV;
    Frag_Color = Color;
    gl_Position = ProjMtx * vec4(Position.xy,0.0,1.0);
}
)";

const char* const fragmentShaderSource = R"(#version 140
uniform sampler2D Texture;
in vec2 Frag_UV;
in vec4 Frag_Color;
out vec4 fragColor;
void main()
{
    fragColor = Frag_Color * texture( Texture, Frag_UV.st);
}
)";

// The stage, or 0 after logging why it did not compile.
GLuint compileShader(GLenum stage, const char* source, const char* stageName) {
    std::string log;
    const GLuint shader = shader_compile::compileStage(stage, source, log);
    if (shader == 0) ORKA_LOG_ERROR("GUI %s compile error: %s", stageName, log.c_str());
    return shader;
}

bool createProgram() {
    gui.vertHandle = compileShader(GL_VERTEX_SHADER, vertexShaderSource, "vertex shader");
    gui.fragHandle = compileShader(GL_FRAGMENT_SHADER, fragmentShaderSource, "fragment shader");
    // A stage that did not compile cannot link; its error is in the log already.
    if (gui.vertHandle == 0 || gui.fragHandle == 0) return false;
    gui.shaderHandle = glCreateProgram();
    glAttachShader(gui.shaderHandle, gui.vertHandle);
    glAttachShader(gui.shaderHandle, gui.fragHandle);
    std::string log;
    if (!shader_compile::linkProgram(gui.shaderHandle, log)) {
        ORKA_LOG_ERROR("GUI shader linker error: %s", log.c_str());
        return false;
    }
    gui.attribLocationTex = glGetUniformLocation(gui.shaderHandle, "Texture");
    gui.attribLocationProjMtx = glGetUniformLocation(gui.shaderHandle, "ProjMtx");
    gui.attribLocationPosition = glGetAttribLocation(gui.shaderHandle, "Position");
    gui.attribLocationUV = glGetAttribLocation(gui.shaderHandle, "UV");
    gui.attribLocationColor = glGetAttribLocation(gui.shaderHandle, "Color");
    return true;
}

void enableAttribute(int location, GLint size, GLenum type, GLboolean normalized,
                     std::size_t offset) {
    if (location < 0) return;
    const auto index = static_cast<GLuint>(location);
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, size, type, normalized, sizeof(ImDrawVert),
                          reinterpret_cast<const void*>(offset));
}

void createBuffers() {
    glGenBuffers(1, &gui.vboHandle);
    glGenBuffers(1, &gui.elementsHandle);
    glGenVertexArrays(1, &gui.vaoHandle);
    glBindVertexArray(gui.vaoHandle);
    glBindBuffer(GL_ARRAY_BUFFER, gui.vboHandle);
    // 20 bytes per vertex: position, uv, colour as four normalised bytes.
    enableAttribute(gui.attribLocationPosition, 2, GL_FLOAT, GL_FALSE,
                    IM_OFFSETOF(ImDrawVert, pos));
    enableAttribute(gui.attribLocationUV, 2, GL_FLOAT, GL_FALSE, IM_OFFSETOF(ImDrawVert, uv));
    enableAttribute(gui.attribLocationColor, 4, GL_UNSIGNED_BYTE, GL_TRUE,
                    IM_OFFSETOF(ImDrawVert, col));
}

void createFontTexture() {
    ImGuiIO& io = ImGui::GetIO();
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    glGenTextures(1, &gui.fontTexture);
    glBindTexture(GL_TEXTURE_2D, gui.fontTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    io.Fonts->SetTexID(reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(gui.fontTexture)));
}

/// The GL state the GUI changes while it draws, saved before and restored after.
struct SavedGLState {
    GLint activeTexture, program, texture, sampler, arrayBuffer, vertexArray;
    GLint viewport[4], scissorBox[4], polygonMode[2];
    GLint blendSrcRgb, blendDstRgb, blendSrcAlpha, blendDstAlpha;
    GLint blendEquationRgb, blendEquationAlpha;
    GLboolean blend, cullFace, depthTest, scissorTest, framebufferSrgb;
};

SavedGLState saveGLState() {
    SavedGLState saved{};
    glGetIntegerv(GL_ACTIVE_TEXTURE, &saved.activeTexture);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &saved.program);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &saved.texture);
    glGetIntegerv(GL_SAMPLER_BINDING, &saved.sampler);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &saved.arrayBuffer);
    // The element buffer binding belongs to the vertex array and comes back with it.
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &saved.vertexArray);
    glGetIntegerv(GL_VIEWPORT, saved.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, saved.scissorBox);
    glGetIntegerv(GL_POLYGON_MODE, saved.polygonMode);
    glGetIntegerv(GL_BLEND_SRC_RGB, &saved.blendSrcRgb);
    glGetIntegerv(GL_BLEND_DST_RGB, &saved.blendDstRgb);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &saved.blendSrcAlpha);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &saved.blendDstAlpha);
    glGetIntegerv(GL_BLEND_EQUATION_RGB, &saved.blendEquationRgb);
    glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &saved.blendEquationAlpha);
    saved.blend = glIsEnabled(GL_BLEND);
    saved.cullFace = glIsEnabled(GL_CULL_FACE);
    saved.depthTest = glIsEnabled(GL_DEPTH_TEST);
    saved.scissorTest = glIsEnabled(GL_SCISSOR_TEST);
    saved.framebufferSrgb = glIsEnabled(GL_FRAMEBUFFER_SRGB);
    return saved;
}

void setEnabled(GLenum capability, GLboolean enabled) {
    if (enabled) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

void restoreGLState(const SavedGLState& saved) {
    glUseProgram(static_cast<GLuint>(saved.program));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(saved.texture));
    glBindSampler(0, static_cast<GLuint>(saved.sampler));
    glActiveTexture(static_cast<GLenum>(saved.activeTexture));
    glBindVertexArray(static_cast<GLuint>(saved.vertexArray));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(saved.arrayBuffer));
    glBlendEquationSeparate(static_cast<GLenum>(saved.blendEquationRgb),
                            static_cast<GLenum>(saved.blendEquationAlpha));
    glBlendFuncSeparate(
        static_cast<GLenum>(saved.blendSrcRgb), static_cast<GLenum>(saved.blendDstRgb),
        static_cast<GLenum>(saved.blendSrcAlpha), static_cast<GLenum>(saved.blendDstAlpha));
    setEnabled(GL_BLEND, saved.blend);
    setEnabled(GL_CULL_FACE, saved.cullFace);
    setEnabled(GL_DEPTH_TEST, saved.depthTest);
    setEnabled(GL_SCISSOR_TEST, saved.scissorTest);
    setEnabled(GL_FRAMEBUFFER_SRGB, saved.framebufferSrgb);
    glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(saved.polygonMode[0]));
    glViewport(saved.viewport[0], saved.viewport[1], saved.viewport[2], saved.viewport[3]);
    glScissor(saved.scissorBox[0], saved.scissorBox[1], saved.scissorBox[2], saved.scissorBox[3]);
}

/// Blending on, no culling or depth test, scissor on, no sRGB encoding, the GUI program with a
/// projection that maps display coordinates (y down) to clip space.
void setupRenderState(const ImVec2& displaySize, int framebufferWidth, int framebufferHeight) {
    // Dear ImGui's colours and font texture are display values, whatever the blending space:
    // encoding them again as if they were linear light would wash them out.
    glDisable(GL_FRAMEBUFFER_SRGB);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    const float projection[4][4] = {
        {2.0f / displaySize.x, 0.0f, 0.0f, 0.0f},
        {0.0f, -2.0f / displaySize.y, 0.0f, 0.0f},
        {0.0f, 0.0f, -1.0f, 0.0f},
        {-1.0f, 1.0f, 0.0f, 1.0f},
    };
    glUseProgram(gui.shaderHandle);
    glUniform1i(gui.attribLocationTex, 0);
    glUniformMatrix4fv(gui.attribLocationProjMtx, 1, GL_FALSE, &projection[0][0]);
    glBindSampler(0, 0);
    glBindVertexArray(gui.vaoHandle);
    glBindBuffer(GL_ARRAY_BUFFER, gui.vboHandle);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gui.elementsHandle);
}

void drawCommand(const ImDrawCmd& command, const ImVec2& scale, int framebufferHeight,
                 std::size_t indexOffset) {
    const ImVec4 clip(command.ClipRect.x * scale.x, command.ClipRect.y * scale.y,
                      command.ClipRect.z * scale.x, command.ClipRect.w * scale.y);
    // An empty clip rectangle would give the scissor a negative size.
    if (clip.z <= clip.x || clip.w <= clip.y) return;
    glBindTexture(GL_TEXTURE_2D,
                  static_cast<GLuint>(reinterpret_cast<std::intptr_t>(command.GetTexID())));
    glScissor(static_cast<GLint>(clip.x), static_cast<GLint>(framebufferHeight - clip.w),
              static_cast<GLsizei>(clip.z - clip.x), static_cast<GLsizei>(clip.w - clip.y));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(command.ElemCount), GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(indexOffset * sizeof(ImDrawIdx)));
}

void drawList(const ImDrawList& list, const ImVec2& displaySize, const ImVec2& scale,
              int framebufferWidth, int framebufferHeight) {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(list.VtxBuffer.Size) * sizeof(ImDrawVert),
                 list.VtxBuffer.Data, GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(list.IdxBuffer.Size) * sizeof(ImDrawIdx),
                 list.IdxBuffer.Data, GL_STREAM_DRAW);
    std::size_t indexOffset = 0;
    for (const ImDrawCmd& command : list.CmdBuffer) {
        if (command.UserCallback == ImDrawCallback_ResetRenderState) {
            setupRenderState(displaySize, framebufferWidth, framebufferHeight);
        } else if (command.UserCallback != nullptr) {
            command.UserCallback(&list, &command);
        } else {
            drawCommand(command, scale, framebufferHeight, indexOffset);
        }
        indexOffset += command.ElemCount;
    }
}

void updateTime(ImGuiIO& io) {
    const double now = SDL_GetTicks() / millisecondsPerSecond;
    if (gui.time > 0.0) {
        const double delta = now - gui.time;
        io.DeltaTime = static_cast<float>(delta > minimumDeltaTime ? delta : minimumDeltaTime);
    } else {
        io.DeltaTime = firstFrameDeltaTime;
    }
    gui.time = now;
}

void updateDisplay(ImGuiIO& io, SDL_Window* window) {
    int width = 0;
    int height = 0;
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GetWindowSize(window, &width, &height);
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
    io.DisplayFramebufferScale =
        ImVec2(width > 0 ? static_cast<float>(drawableWidth) / width : 0.0f,
               height > 0 ? static_cast<float>(drawableHeight) / height : 0.0f);
}

void updateMouse(ImGuiIO& io, SDL_Window* window) {
    int x = 0;
    int y = 0;
    const Uint32 buttons = SDL_GetMouseState(&x, &y);
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_MOUSE_FOCUS) != 0) {
        io.MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
    } else {
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);  // Dear ImGui's "no mouse"
    }
    // A press recorded since the last frame counts even if the button is already up again.
    const Uint32 masks[mouseButtonCount] = {
        SDL_BUTTON(SDL_BUTTON_LEFT), SDL_BUTTON(SDL_BUTTON_RIGHT), SDL_BUTTON(SDL_BUTTON_MIDDLE)};
    for (int i = 0; i < mouseButtonCount; ++i) {
        io.MouseDown[i] = gui.mousePressed[i] || (buttons & masks[i]) != 0;
        gui.mousePressed[i] = false;
    }
    io.MouseWheel = gui.mouseWheel;
    gui.mouseWheel = 0.0f;
}

}  // namespace

bool GuiBinding::init(SDL_Window* /*window*/) {
    if (ImGui::GetCurrentContext() == nullptr) ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    setKeyMap(io);
    io.SetClipboardTextFn = setClipboardText;
    io.GetClipboardTextFn = getClipboardText;
    io.ClipboardUserData = nullptr;
    // The input-method window handle is a Windows facility; nothing to hand over elsewhere.
    return true;
}

bool GuiBinding::processEvent(SDL_Event* event) {
    ++gui.eventCount;
    gui.lastEvent = *event;
    switch (event->type) {
        case SDL_MOUSEWHEEL:
            if (event->wheel.y > 0) gui.mouseWheel = 1.0f;
            if (event->wheel.y < 0) gui.mouseWheel = -1.0f;
            return true;
        case SDL_MOUSEBUTTONDOWN:
            processMouseButton(event->button);
            return true;
        case SDL_TEXTINPUT:
            ImGui::GetIO().AddInputCharactersUTF8(event->text.text);
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            processKey(event->key);
            return true;
        default:
            return false;
    }
}

void GuiBinding::newFrame(SDL_Window* window) {
    if (gui.fontTexture == 0) createDeviceObjects();
    ImGuiIO& io = ImGui::GetIO();
    updateDisplay(io, window);
    updateTime(io);
    updateMouse(io, window);
    // Every GUI frame shows the system cursor again unless the GUI draws its own.
    SDL_ShowCursor(io.MouseDrawCursor ? SDL_DISABLE : SDL_ENABLE);
    ImGui::NewFrame();
}

void GuiBinding::renderDrawLists(ImDrawData* drawData) {
    if (drawData == nullptr) return;
    const ImGuiIO& io = ImGui::GetIO();
    const int framebufferWidth = static_cast<int>(io.DisplaySize.x * io.DisplayFramebufferScale.x);
    const int framebufferHeight = static_cast<int>(io.DisplaySize.y * io.DisplayFramebufferScale.y);
    // A minimised window has nothing to draw into.
    if (framebufferWidth == 0 || framebufferHeight == 0) return;

    const SavedGLState saved = saveGLState();
    setupRenderState(io.DisplaySize, framebufferWidth, framebufferHeight);
    for (int i = 0; i < drawData->CmdListsCount; ++i) {
        drawList(*drawData->CmdLists[i], io.DisplaySize, io.DisplayFramebufferScale,
                 framebufferWidth, framebufferHeight);
    }
    restoreGLState(saved);
}

bool GuiBinding::createDeviceObjects() {
    // Leave the caller's bindings as they were.
    GLint lastTexture = 0;
    GLint lastArrayBuffer = 0;
    GLint lastVertexArray = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &lastTexture);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &lastArrayBuffer);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &lastVertexArray);

    const bool built = createProgram();
    createBuffers();
    createFontTexture();
    gui.deviceContext = SDL_GL_GetCurrentContext();

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(lastTexture));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(lastArrayBuffer));
    glBindVertexArray(static_cast<GLuint>(lastVertexArray));
    return built;
}

void GuiBinding::shutdown(SDL_GLContext context) {
    if (gui.fontTexture != 0 && gui.deviceContext != context) return;
    if (gui.fontTexture != 0) {
        glDeleteVertexArrays(1, &gui.vaoHandle);
        glDeleteBuffers(1, &gui.vboHandle);
        glDeleteBuffers(1, &gui.elementsHandle);
        glDeleteProgram(gui.shaderHandle);
        glDeleteShader(gui.vertHandle);
        glDeleteShader(gui.fragHandle);
        glDeleteTextures(1, &gui.fontTexture);
    }
    if (ImGui::GetCurrentContext() != nullptr) ImGui::GetIO().Fonts->SetTexID(ImTextureID{});
    gui = GuiState{};
}

const GuiState& GuiBinding::state() {
    return gui;
}

}  // namespace orka
