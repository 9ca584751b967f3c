#pragma once

namespace orka {

/// The engine's name and version; the window title defaults to kEngineTitle.
inline constexpr const char* kEngineName = "Orkaview";
inline constexpr const char* kEngineVersion = "0.9.20";
inline constexpr const char* kEngineTitle = "Orkaview 0.9.20";

/// Returns kEngineTitle; exists so the library always has a translation unit to link.
const char* engineTitle();

}  // namespace orka
