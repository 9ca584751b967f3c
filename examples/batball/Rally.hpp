#pragma once

#include <glm/vec2.hpp>

/// The rules of bat and ball, without a window: two bats, a ball and the score, stepped by a
/// fixed time. Units are pixels and seconds; y grows upwards from the bottom of the field, as
/// under a camera in window coordinates. The player's bat is on the left, the computer's on
/// the right; whoever lets the ball past their bat gives the other a point, and the first to
/// `winningScore` wins.
class Rally {
public:
    static constexpr float width = 800.0f;
    static constexpr float height = 600.0f;
    static constexpr glm::vec2 batSize{12.0f, 90.0f};
    static constexpr float batInset = 30.0f;  ///< from a side of the field to its bat
    static constexpr float ballRadius = 7.0f;
    static constexpr int winningScore = 5;

    /// What happened in one step, for the sounds.
    struct Events {
        bool wall = false;   ///< the ball bounced off the top or the bottom
        bool bat = false;    ///< a bat sent the ball back
        bool point = false;  ///< the ball went out and someone scored
    };

    /// A new match: bats centred, the ball waiting to be served to the player.
    Rally() { restart(); }
    /// Starts the match again from 0 : 0.
    void restart();
    /// Advances by `seconds`: the player's bat moves in `playerDirection` (1 up, -1 down, 0
    /// stays), the computer's follows the ball, the ball flies, bounces and scores. Does
    /// nothing once the match is over.
    Events step(float seconds, float playerDirection);
    /// Puts the ball in play at `position` with `velocity` (pixels per second).
    void setBall(glm::vec2 position, glm::vec2 velocity);

    /// Lower-left corners of the bats.
    ///@{
    glm::vec2 getPlayerBat() const { return {batInset, playerBatY}; }
    glm::vec2 getComputerBat() const { return {width - batInset - batSize.x, computerBatY}; }
    ///@}
    glm::vec2 getBallPosition() const { return ballPosition; }
    glm::vec2 getBallVelocity() const { return ballVelocity; }
    int getPlayerScore() const { return playerScore; }
    int getComputerScore() const { return computerScore; }
    bool isOver() const { return playerScore >= winningScore || computerScore >= winningScore; }

private:
    void serve(float towardsX);
    void moveBats(float seconds, float playerDirection);
    bool bounceOffBat(glm::vec2 batLowerLeft, float side);

    float playerBatY = 0.0f;
    float computerBatY = 0.0f;
    glm::vec2 ballPosition{0.0f, 0.0f};
    glm::vec2 ballVelocity{0.0f, 0.0f};
    float serveWait = 0.0f;  // seconds until a served ball starts to move
    int playerScore = 0;
    int computerScore = 0;
};
