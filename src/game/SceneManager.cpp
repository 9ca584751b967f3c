#include "game/SceneManager.hpp"

SceneManager::SceneManager(std::string /*worldName*/, std::string /*atlasName*/) {}
