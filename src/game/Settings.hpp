#pragma once

#include <string>
#include <vector>

#include "game/PlayerInput.hpp"

/// The player's settings: the volumes of the music and of the effects, and the keys that steer
/// and pause. Kept as "settings.json" in the user data folder, for example
///
///     {"musicVolume": 0.6, "effectsVolume": 1,
///      "keys": {"left": "A", "right": "D", "jump": "W", "pause": "P"}}
///
/// Every entry is optional. Key names are SDL's (`SDL_GetKeyFromName`: "Left", "Space", "P").
/// A value that is wrong keeps that setting's default; the others still apply.
class Settings {
public:
    /// The file's name in the user data folder.
    static constexpr const char* kFileName = "settings.json";

    /// Loudness from 0 (silent) to 1 (as recorded).
    float musicVolume = 1.0f;
    float effectsVolume = 1.0f;
    KeyBindings keys;

    /// The settings in `text`; each wrong entry adds one line to `problems` that names it (and
    /// keeps its default), a text that is no JSON object one line for the whole.
    static Settings FromJson(const std::string& text, std::vector<std::string>& problems);
    /// The settings in the file at `path`: the defaults, silently, when there is none; each
    /// problem is one warning line in the game's log, naming the file and the entry.
    static Settings Load(const std::string& path);
    /// Every setting as JSON (volumes to the hundredth, keys by SDL's names), as `FromJson`
    /// reads it.
    std::string ToJson() const;
    /// Writes `ToJson()` to `path`, atomically; empty when it worked, else why not.
    std::string Save(const std::string& path) const;
    /// "settings.json" in the user data folder; empty when there is no such folder.
    static std::string DefaultPath();
};
