// The rules of the bat-and-ball example, played without a window.
#include "Rally.hpp"

#include <gtest/gtest.h>

#include <glm/glm.hpp>

namespace {

constexpr float step = 1.0f / 120.0f;

// Steps until the served ball is in flight (it waits at the centre first).
void waitForServe(Rally& rally) {
    for (int i = 0; i < 120; ++i) rally.step(step, 0.0f);
}

TEST(RallyTest, PlayerBatMovesAndStopsAtTheEdges) {
    Rally rally;
    const float start = rally.getPlayerBat().y;
    rally.step(0.1f, 1.0f);
    EXPECT_GT(rally.getPlayerBat().y, start);
    for (int i = 0; i < 100; ++i) rally.step(0.1f, 1.0f);
    EXPECT_FLOAT_EQ(rally.getPlayerBat().y, Rally::height - Rally::batSize.y);
    for (int i = 0; i < 100; ++i) rally.step(0.1f, -1.0f);
    EXPECT_FLOAT_EQ(rally.getPlayerBat().y, 0.0f);
}

TEST(RallyTest, BallBouncesOffWallsAndBats) {
    struct Case {
        const char* what;
        glm::vec2 position, velocity;
        bool wall, bat;
        glm::vec2 velocitySigns;  // of the ball after the step
    };
    const float batMiddle = Rally::height / 2.0f;  // both bats start centred
    const Case cases[] = {
        {"top wall", {300, Rally::height - 8}, {100, 200}, true, false, {1, -1}},
        {"bottom wall", {300, 8}, {-100, -200}, true, false, {-1, 1}},
        {"player's bat", {50, batMiddle}, {-300, 0}, false, true, {1, 0}},
        {"computer's bat", {Rally::width - 50, batMiddle}, {300, 0}, false, true, {-1, 0}},
        {"top of the player's bat", {50, batMiddle + 40}, {-300, 0}, false, true, {1, 1}},
        {"past the bat's end", {50, batMiddle + 60}, {-300, 0}, false, false, {-1, 0}},
        {"leaving a bat", {50, batMiddle}, {300, 0}, false, false, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rally rally;
        rally.setBall(c.position, c.velocity);
        const Rally::Events events = rally.step(step, 0.0f);
        EXPECT_EQ(events.wall, c.wall);
        EXPECT_EQ(events.bat, c.bat);
        const glm::vec2 v = rally.getBallVelocity();
        EXPECT_EQ(glm::sign(v.x), c.velocitySigns.x);
        EXPECT_EQ(glm::sign(v.y), c.velocitySigns.y);
        if (c.bat) {
            EXPECT_GT(glm::length(v), glm::length(c.velocity));  // hits speed it up
        }
    }
}

TEST(RallyTest, MissedBallScoresForTheOtherSideAndIsServedToTheLoser) {
    struct Case {
        float x, velocityX;
        int player, computer;
    };
    for (const Case& c : {Case{-5, -400, 0, 1}, Case{Rally::width + 5, 400, 1, 0}}) {
        Rally rally;
        rally.setBall({c.x, 100}, {c.velocityX, 0});
        EXPECT_TRUE(rally.step(step, 0.0f).point);
        EXPECT_EQ(rally.getPlayerScore(), c.player);
        EXPECT_EQ(rally.getComputerScore(), c.computer);
        EXPECT_EQ(rally.getBallPosition(), glm::vec2(Rally::width / 2, Rally::height / 2));
        EXPECT_EQ(glm::sign(rally.getBallVelocity().x), glm::sign(c.velocityX));
    }
}

TEST(RallyTest, FirstToFiveWinsAndTheMatchStopsUntilRestarted) {
    Rally rally;
    for (int point = 0; point < Rally::winningScore; ++point) {
        EXPECT_FALSE(rally.isOver());
        rally.setBall({Rally::width + 5, 100}, {400, 0});
        rally.step(step, 0.0f);
    }
    EXPECT_TRUE(rally.isOver());
    const glm::vec2 ball = rally.getBallPosition();
    EXPECT_FALSE(rally.step(1.0f, 1.0f).point);
    EXPECT_EQ(rally.getBallPosition(), ball);

    rally.restart();
    EXPECT_FALSE(rally.isOver());
    EXPECT_EQ(rally.getPlayerScore(), 0);
    waitForServe(rally);
    EXPECT_NE(rally.getBallPosition(), ball);
}

TEST(RallyTest, ComputerFollowsTheComingBallNoFasterThanItsBatMoves) {
    Rally rally;
    rally.setBall({400, Rally::height - 20}, {60, 0});  // far from reaching the bat
    const float start = rally.getComputerBat().y;
    rally.step(0.1f, 0.0f);
    const float climbed = rally.getComputerBat().y - start;
    EXPECT_GT(climbed, 0.0f);
    EXPECT_LT(climbed, 0.1f * 400.0f);  // slower than the player's bat and the ball
    for (int i = 0; i < 20; ++i) rally.step(0.1f, 0.0f);
    EXPECT_FLOAT_EQ(rally.getComputerBat().y, Rally::height - Rally::batSize.y);
}

}  // namespace
