#pragma once

#include <string>

/// The folder where the game keeps the player's own files (saved progress, settings): SDL's
/// preference folder for this game, "<data home>/orka/platformer/", where the data home is
/// $XDG_DATA_HOME when that is set and ~/.local/share otherwise.
class UserDataFolder {
public:
    /// The folder's path, ending in '/', created if it did not exist; empty when there is none
    /// (no home folder, or it cannot be created), with SDL's reason in `whyNot` when given.
    /// Needs no SDL_Init.
    static std::string Path(std::string* whyNot = nullptr);
};
