#pragma once

#include <string>

/// The game's top object: opens the window, loads the atlas and the first level of the world
/// and runs the event loop; the constructor returns when the game has ended.
///
/// For now a stand-in whose constructor returns at once, so that the console dialogue can hand
/// over to it; the window, atlas and scene replace its body.
class SceneManager {
public:
    /// `worldName`: common name of the level files ("<world>1.json" is the first level).
    /// `atlasName`: sprite atlas files "<atlas>.json" and "<atlas>.png".
    SceneManager(std::string worldName, std::string atlasName);
};
