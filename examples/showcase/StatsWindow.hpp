#pragma once

#include "orka/RenderStats.hpp"

namespace showcase {

/// A Dear ImGui window with the render statistics of the last presented frame. Call draw once
/// per frame while a render pass that carries the GUI is current: the pass opens the GUI frame
/// when it begins and renders it when it ends.
class StatsWindow {
public:
    static constexpr const char* title = "Render statistics";

    /// Turns off Dear ImGui's settings file: the showcase writes no files unless asked to.
    StatsWindow();

    void draw(const orka::RenderStats& stats) const;
};

}  // namespace showcase
