#include "game/CameraComponent.hpp"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <memory>

#include "game/GameObject.hpp"
#include "game/SceneManager.hpp"

namespace {

class CameraComponentTest : public ::testing::Test {
protected:
    SceneManager manager{SceneManager::WithoutWindow{}};
    UpdateEvent update;  // outlives the objects subscribed to it
    std::shared_ptr<GameObject> cameraObject = std::make_shared<GameObject>();
    std::shared_ptr<GameObject> player = std::make_shared<GameObject>();

    std::shared_ptr<CameraComponent> AddCamera() {
        auto camera = cameraObject->AddComponent<CameraComponent>();
        camera->updateEvent = &update;
        cameraObject->GetTransform()->position = {231.5f, 300.0f};
        cameraObject->ToggleActive();
        return camera;
    }
};

TEST_F(CameraComponentTest, FollowsTheTargetASixthOfTheWindowToTheRight) {
    auto camera = AddCamera();
    camera->target = player;
    EXPECT_FLOAT_EQ(camera->horizontalOffset, 800.0f / 6.0f);
    update.Invoke(0.5f);
    EXPECT_EQ(cameraObject->GetTransform()->position, glm::vec2(800.0f / 6.0f, 0.0f));
    const glm::vec3 eye(800.0f / 6.0f, 0.0f, 0.0f);
    EXPECT_EQ(camera->camera.getViewTransform(),
              glm::lookAt(eye, eye + glm::vec3(0, 0, -1), glm::vec3(0, 1, 0)));

    player->GetTransform()->position = {42.0f, -63.0f};
    update.Invoke(0.0f);
    EXPECT_EQ(cameraObject->GetTransform()->position, glm::vec2(42.0f + 800.0f / 6.0f, -63.0f));
}

TEST_F(CameraComponentTest, WithoutATargetTheCameraKeepsStill) {
    auto camera = AddCamera();
    update.Invoke(0.5f);
    EXPECT_EQ(cameraObject->GetTransform()->position, glm::vec2(231.5f, 300.0f));
    EXPECT_EQ(camera->camera.getViewTransform(), glm::mat4(1.0f));
}

TEST_F(CameraComponentTest, TheOffsetIsReadFromTheWindowWidthOnceWhenMade) {
    manager.windowWidth = 600.0f;
    auto camera = AddCamera();
    manager.windowWidth = 1200.0f;
    EXPECT_FLOAT_EQ(camera->horizontalOffset, 100.0f);
}

}  // namespace
