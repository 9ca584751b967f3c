#include "orka/GuiBinding.hpp"

#include <imgui.h>

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

const GuiState& GuiBinding::state() {
    return gui;
}

}  // namespace orka
