#include "showcase/StatsWindow.hpp"

#include <imgui.h>

namespace showcase {

namespace {

// Top-left corner of the window in screen pixels when it first appears; it can be dragged.
const ImVec2 firstPosition{10.0f, 10.0f};
constexpr float bytesPerKibibyte = 1024.0f;

void row(const char* label, int value) {
    ImGui::Text("%-18s %8d", label, value);
}

void kibibytesRow(const char* label, long long bytes) {
    ImGui::Text("%-18s %8.1f KiB", label, static_cast<float>(bytes) / bytesPerKibibyte);
}

}  // namespace

StatsWindow::StatsWindow() {
    ImGui::GetIO().IniFilename = nullptr;
}

void StatsWindow::draw(const orka::RenderStats& stats) const {
    ImGui::SetNextWindowPos(firstPosition, ImGuiCond_FirstUseEver);
    ImGui::Begin(title, nullptr, ImGuiWindowFlags_AlwaysAutoResize);
    ImGui::Text("%.1f frames per second", static_cast<double>(ImGui::GetIO().Framerate));
    ImGui::Separator();
    row("frame", stats.frame);
    row("draw calls", stats.drawCalls);
    row("shader changes", stats.stateChangesShader);
    row("material changes", stats.stateChangesMaterial);
    row("mesh changes", stats.stateChangesMesh);
    ImGui::Separator();
    row("meshes", stats.meshCount);
    kibibytesRow("mesh memory", stats.meshBytes);
    kibibytesRow("mesh uploads", stats.meshBytesAllocated);
    row("textures", stats.textureCount);
    kibibytesRow("texture memory", stats.textureBytes);
    row("shaders", stats.shaderCount);
    ImGui::End();
}

}  // namespace showcase
