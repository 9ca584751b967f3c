#include "game/LevelProgress.hpp"

#include "game/Collectible.hpp"
#include "game/GameObject.hpp"
#include "game/ReturnPoint.hpp"

LevelProgress LevelProgress::Of(const std::vector<std::shared_ptr<GameObject>>& objects) {
    LevelProgress progress;
    for (const auto& object : objects) {
        if (object == nullptr) continue;
        for (const auto& collectible : object->GetComponents<Collectible>()) {
            ++progress.collectibles;
            if (collectible->IsTaken()) ++progress.collected;
        }
        for (const auto& returnPoint : object->GetComponents<ReturnPoint>()) {
            progress.returns += returnPoint->GetReturns();
        }
    }
    return progress;
}
