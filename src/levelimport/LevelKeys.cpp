#include "levelimport/LevelKeys.hpp"

#include <cmath>
#include <cstdio>

namespace levelimport {
namespace {

// The game's limits (its level reader refuses values beyond them).
constexpr double kMaxCameraLead = 200;  ///< units: half the view's width
constexpr double kMaxCameraBand = 150;  ///< units: half the view's height
constexpr double kMaxSeconds = 5;

std::string Shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

std::optional<std::string> CameraKeyFault(CameraKey key, double value) {
    const double most = key == CameraKey::Lead   ? kMaxCameraLead
                        : key == CameraKey::Band ? kMaxCameraBand
                                                 : kMaxSeconds;
    if (std::isfinite(value) && value >= 0 && value <= most) return std::nullopt;
    return "is " + Shown(value) + ": it must be from 0 to " + Shown(most);
}

}  // namespace levelimport
