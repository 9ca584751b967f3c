#include "game/SpriteRenderer.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/GameObject.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/LogCapture.hpp"
#include "orka/SpriteAtlas.hpp"
#include "support/ScratchFolder.hpp"

namespace {

/// Sprite renderers on their own objects, drawn into a sprite batch builder by hand.
class SpriteRendererTest : public ::testing::Test {
protected:
    SpriteRendererTest() {
        orka::test::testRenderer();
        atlas = orka::SpriteAtlas::create(
            std::string(ORKA_TEST_DATA_DIR) + "/worlds/meadow/blocks.json",
            std::string(ORKA_TEST_DATA_DIR) + "/worlds/meadow/blocks.png", true);
    }
    /// A renderer showing atlas sprite `number`, on a new inactive object.
    std::shared_ptr<SpriteRenderer> Make(int number) {
        objects.push_back(std::make_shared<GameObject>());
        auto renderer = objects.back()->AddComponent<SpriteRenderer>();
        renderer->spriteDrawEvent = &spriteDraw;
        renderer->SetSprite(atlas->get(std::to_string(number) + ".png"));
        return renderer;
    }
    /// The sprites the renderers add in one frame, `stepFraction` of a step past the last step.
    std::vector<orka::Sprite> Draw(float stepFraction = 0.5f) {
        orka::SpriteBatch::SpriteBatchBuilder batch = orka::SpriteBatch::create();
        if (spriteDraw.GetCount() >= 1) spriteDraw.Invoke(batch, stepFraction);
        return batch.getSprites();
    }

    std::shared_ptr<orka::SpriteAtlas> atlas;
    SpriteDrawEvent spriteDraw;
    std::vector<std::shared_ptr<GameObject>> objects;
};

TEST_F(SpriteRendererTest, OnlyRenderersOfActiveObjectsDraw) {
    ASSERT_NE(atlas, nullptr);
    auto renderer = Make(3);
    EXPECT_TRUE(Draw().empty()) << "never activated";
    renderer->gameObject->ToggleActive();
    EXPECT_EQ(Draw().size(), 1u);
    renderer->gameObject->ToggleActive();
    EXPECT_TRUE(Draw().empty());
    EXPECT_EQ(spriteDraw.GetCount(), 0);
    renderer->gameObject->ToggleActive();
    renderer->gameObject->ToggleActive();
    renderer->gameObject->ToggleActive();
    EXPECT_EQ(spriteDraw.GetCount(), 1) << "toggling leaves one subscription";
}

TEST_F(SpriteRendererTest, TheSpriteIsPlacedTurnedAndScaledByTheTransform) {
    auto renderer = Make(3);
    auto transform = renderer->gameObject->GetTransform();
    transform->position = {84.0f, 42.0f};
    transform->rotation = 0.5f;  // radians
    transform->scale = {2.0f, 3.0f};
    orka::Sprite given = atlas->get("3.png");
    given.setPosition({-5.0f, -5.0f});
    given.setColor({1.0f, 0.0f, 0.0f, 0.5f});
    renderer->SetSprite(given);
    renderer->gameObject->ToggleActive();

    const std::vector<orka::Sprite> drawn = Draw();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].getPosition(), glm::vec2(84.0f, 42.0f));
    EXPECT_FLOAT_EQ(drawn[0].getRotation(), glm::degrees(0.5f));
    EXPECT_EQ(drawn[0].getScale(), glm::vec2(2.0f, 3.0f));
    EXPECT_EQ(drawn[0].getColor(), glm::vec4(1.0f, 0.0f, 0.0f, 0.5f)) << "the rest as given";
    EXPECT_EQ(drawn[0].getSpritePos(), given.getSpritePos());
}

TEST_F(SpriteRendererTest, ANegativeScaleIsDrawnFlatWithTheSpritesWarning) {
    auto renderer = Make(3);
    renderer->gameObject->GetTransform()->scale = {-1.0f, 1.0f};
    renderer->gameObject->ToggleActive();
    orka::test::LogCapture log;
    const std::vector<orka::Sprite> drawn = Draw();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].getScale(), glm::vec2(0.0f, 1.0f));
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].message, "Sprite.scale.x must be larger or equal to 0");
}

TEST_F(SpriteRendererTest, TheRendererEnabledLastDrawsFirst) {
    auto a = Make(1);
    auto b = Make(2);
    a->gameObject->ToggleActive();
    b->gameObject->ToggleActive();
    const std::vector<orka::Sprite> drawn = Draw();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].getSpritePos(), b->GetSprite().getSpritePos());
    EXPECT_EQ(drawn[1].getSpritePos(), a->GetSprite().getSpritePos());
}

}  // namespace
