#pragma once

#include <optional>
#include <string>

namespace levelimport {

/// The "camera" keys a level file may hold, with the ranges the game accepts.
enum class CameraKey { Lead, Band, Ease };

/// What is wrong with `value` for the camera key `key` ("is 250: it must be from 0 to 200",
/// the game's wording), or empty when the game takes it. Lead and band are game units, ease
/// seconds.
std::optional<std::string> CameraKeyFault(CameraKey key, double value);

}  // namespace levelimport
