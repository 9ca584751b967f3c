#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/CharacterAnimator.hpp"
#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/PhysicsBody.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "game/SpriteRenderer.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/Renderer.hpp"
#include "orka/SpriteAtlas.hpp"
#include "support/ScratchFolder.hpp"

namespace game::test {

/// The test world "meadow" (tests/data/worlds/meadow) loaded into a scene driven by hand, frame
/// by frame, in the shared GL window: a scene manager without window of its own, the world's
/// atlas, fixed 1/60 s frames, keys sent through the scene's key-input event.
///
/// meadow1: ground from column 0 to 16, the player dropped at column 2 row 3, a flower, a water
/// sensor at column 12, a crate falling onto a kinematic platform at column 8, the goal at
/// column 16. meadow2 and meadow3: the player drops straight onto the goal. Death line -100.
class MeadowScene : public ::testing::Test {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;
    static constexpr float kGrid = 21.0f;

    MeadowScene() {
        folder.CopyFrom(std::string(ORKA_TEST_DATA_DIR) + "/worlds/meadow");
        manager.spriteAtlas = orka::SpriteAtlas::create("blocks.json", "blocks.png", true);
    }
    void SetUp() override {
        ASSERT_NE(manager.spriteAtlas, nullptr);
        scene.LoadLevel("meadow");
    }

    /// One frame: update, and when `draw` is set, draw and present.
    void Frame(bool draw = false) {
        scene.Update(kFrame);
        if (!draw) return;
        scene.Draw();
        renderer.swapWindow();
    }
    void Frames(int count, bool draw = false) {
        for (int i = 0; i < count; ++i) Frame(draw);
    }
    void Key(SDL_EventType type, SDL_Keycode key) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        if (scene.keyInputEvent.GetCount() >= 1) scene.keyInputEvent.Invoke(event);
    }
    void Press(SDL_Keycode key) { Key(SDL_KEYDOWN, key); }
    void Release(SDL_Keycode key) { Key(SDL_KEYUP, key); }

    int LevelId() const { return scene.GetLevelData().level->GetId(); }
    std::shared_ptr<GameObject> Player() const { return scene.GetLevelData().player; }
    glm::vec2 PlayerPosition() const { return Player()->GetTransform()->position; }
    glm::vec2 PlayerVelocity() const {
        return Player()->GetComponent<PhysicsBody>()->GetLinearVelocity();
    }
    /// The first object of the level with this name.
    std::shared_ptr<GameObject> Find(const std::string& name) const {
        for (const auto& object : scene.GetLevelData().objects) {
            if (object->GetName() == name) return object;
        }
        return nullptr;
    }
    /// Frames until the player rests on the ground (at most `limit`); the count.
    int LandPlayer(int limit = 300) {
        int frames = 0;
        while (frames < limit) {
            Frame();
            ++frames;
            if (Player()->GetComponent<CharacterController>()->IsGrounded() &&
                PlayerVelocity().y == 0.0f) {
                break;
            }
        }
        return frames;
    }

    orka::Renderer& renderer = orka::test::testRenderer();
    ScratchFolder folder;
    SceneManager manager{SceneManager::WithoutWindow{}};
    Scene& scene = *manager.GetScene();
};

/// One pixel of the back buffer, RGB in 0 to 255, with (0, 0) at the lower-left corner.
inline glm::ivec3 BackBufferPixel(int x, int y) {
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

}  // namespace game::test
