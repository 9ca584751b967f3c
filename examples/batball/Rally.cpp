#include "Rally.hpp"

#include <algorithm>
#include <cmath>
#include <glm/glm.hpp>
#include <iterator>

namespace {

constexpr float playerSpeed = 420.0f;    // pixels per second
constexpr float computerSpeed = 290.0f;  // slower than the ball's climb: it can be beaten
constexpr float serveSpeed = 360.0f;
constexpr float speedUpPerHit = 1.06f;
constexpr float maxBallSpeed = 900.0f;
constexpr float maxBounceDegrees = 50.0f;  // off the end of a bat; straight back off its middle
constexpr float servePause = 0.8f;         // seconds the served ball waits at the centre
// Serve angles in degrees, taken in turn so that rallies differ yet repeat exactly.
constexpr float serveDegrees[] = {20.0f, -15.0f, 30.0f, -25.0f, 10.0f};

glm::vec2 fromAngle(float degrees, float speed, float sideX) {
    const float radians = glm::radians(degrees);
    return {sideX * speed * std::cos(radians), speed * std::sin(radians)};
}

float moveTowards(float from, float to, float maxStep) {
    return from + std::clamp(to - from, -maxStep, maxStep);
}

}  // namespace

void Rally::restart() {
    playerScore = 0;
    computerScore = 0;
    playerBatY = computerBatY = (height - batSize.y) / 2.0f;
    serve(-1.0f);
}

void Rally::serve(float towardsX) {
    const int served = playerScore + computerScore;
    ballPosition = {width / 2.0f, height / 2.0f};
    ballVelocity = fromAngle(serveDegrees[served % std::size(serveDegrees)], serveSpeed, towardsX);
    serveWait = servePause;
}

void Rally::setBall(glm::vec2 position, glm::vec2 velocity) {
    ballPosition = position;
    ballVelocity = velocity;
    serveWait = 0.0f;
}

Rally::Events Rally::step(float seconds, float playerDirection) {
    Events events;
    if (isOver()) return events;
    moveBats(seconds, playerDirection);
    serveWait -= seconds;
    if (serveWait > 0.0f) return events;
    ballPosition += ballVelocity * seconds;

    // Top and bottom walls reflect the ball.
    if (ballPosition.y < ballRadius || ballPosition.y > height - ballRadius) {
        ballPosition.y = std::clamp(ballPosition.y, ballRadius, height - ballRadius);
        ballVelocity.y = -ballVelocity.y;
        events.wall = true;
    }
    events.bat = bounceOffBat(getPlayerBat(), 1.0f) || bounceOffBat(getComputerBat(), -1.0f);

    // Out on one side: a point for the other, and a serve towards the one who lost it.
    if (ballPosition.x < -ballRadius || ballPosition.x > width + ballRadius) {
        const bool playerLost = ballPosition.x < 0.0f;
        (playerLost ? computerScore : playerScore) += 1;
        serve(playerLost ? -1.0f : 1.0f);
        events.point = true;
    }
    return events;
}

void Rally::moveBats(float seconds, float playerDirection) {
    const float top = height - batSize.y;
    playerBatY = std::clamp(playerBatY + playerDirection * playerSpeed * seconds, 0.0f, top);
    // The computer chases the ball while it comes and drifts back to the middle otherwise.
    const float target = ballVelocity.x > 0.0f ? ballPosition.y : height / 2.0f;
    computerBatY = std::clamp(
        moveTowards(computerBatY, target - batSize.y / 2.0f, computerSpeed * seconds), 0.0f, top);
}

// `side` is the direction the bat sends the ball: 1 for the left bat, -1 for the right one.
bool Rally::bounceOffBat(glm::vec2 batLowerLeft, float side) {
    const bool coming = ballVelocity.x * side < 0.0f;
    const bool overlapsX = ballPosition.x + ballRadius > batLowerLeft.x &&
                           ballPosition.x - ballRadius < batLowerLeft.x + batSize.x;
    const bool overlapsY = ballPosition.y + ballRadius > batLowerLeft.y &&
                           ballPosition.y - ballRadius < batLowerLeft.y + batSize.y;
    if (!coming || !overlapsX || !overlapsY) return false;

    // Where the ball meets the bat sets its angle; every hit makes it a little faster.
    const float fromMiddle =
        (ballPosition.y - (batLowerLeft.y + batSize.y / 2.0f)) / (batSize.y / 2.0f + ballRadius);
    const float speed = std::min(glm::length(ballVelocity) * speedUpPerHit, maxBallSpeed);
    ballVelocity = fromAngle(fromMiddle * maxBounceDegrees, speed, side);
    ballPosition.x =
        side > 0.0f ? batLowerLeft.x + batSize.x + ballRadius : batLowerLeft.x - ballRadius;
    return true;
}
