// Bat and ball against the computer: Up/Down or W/S move your bat (the left one), first to 5
// wins, R starts again, F12 saves a screenshot, Escape quits. A small 2D game on the installed
// engine: shapes, a sprite and text in one batch, a camera in pixels, the fixed step, input and
// sound.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Beeps.hpp"
#include "Rally.hpp"
#include "orka/AudioOutput.hpp"
#include "orka/Camera.hpp"
#include "orka/Color.hpp"
#include "orka/Font.hpp"
#include "orka/Image.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/SDLRenderer.hpp"
#include "orka/Shape.hpp"
#include "orka/Sound.hpp"
#include "orka/Sprite.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/Text.hpp"
#include "orka/Texture.hpp"

namespace {

// Picked as a colour picker shows them; tints and the clear colour are linear light, which
// orka::Color converts them to.
const glm::vec4 background = orka::Color::fromHex("#0d1227");
const glm::vec4 playerColor = orka::Color::fromBytes(255, 179, 0);
const glm::vec4 computerColor = orka::Color::fromBytes(89, 188, 255);
const glm::vec4 netColor = orka::Color::fromHex("#6c6c6c");

// A white disc with a soft edge, made from sRGB bytes as an image file would hold them.
std::shared_ptr<orka::Texture> makeBallTexture() {
    constexpr int size = 16;
    std::vector<unsigned char> rgba;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - size / 2.0f, dy = y + 0.5f - size / 2.0f;
            const float inside = glm::clamp(size / 2.0f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
            rgba.insert(rgba.end(), {255, 255, 255, static_cast<unsigned char>(inside * 255.0f)});
        }
    }
    return orka::Texture::create()
        .withRGBAData(reinterpret_cast<const char*>(rgba.data()), size, size,
                      orka::Texture::ByteEncoding::Srgb)
        .build();
}

// The score at the top, each side's in its bat's colour, and how to go on once the match is over.
void addScore(orka::SpriteBatch::SpriteBatchBuilder& batch, const Rally& rally,
              const std::shared_ptr<orka::Font>& font) {
    if (font == nullptr) return;  // the log said why
    constexpr float gap = 60.0f, top = Rally::height - 20.0f;
    orka::Text player(font, std::to_string(rally.getPlayerScore()), {Rally::width / 2 - gap, top});
    player.setAlignment(orka::Text::Alignment::Right);
    player.setColor(playerColor);
    orka::Text computer(font, std::to_string(rally.getComputerScore()),
                        {Rally::width / 2 + gap, top});
    computer.setColor(computerColor);
    batch.addText(player).addText(computer);
    if (!rally.isOver()) return;
    orka::Text again(font, "R to play again", {Rally::width / 2, Rally::height / 2});
    again.setAlignment(orka::Text::Alignment::Centre);
    again.setScale({0.5f, 0.5f});
    batch.addText(again);
}

std::shared_ptr<orka::SpriteBatch> drawField(const Rally& rally, orka::Sprite& ball,
                                             const std::shared_ptr<orka::Font>& font) {
    // Drawn as added: the net, the bats, the score, then the ball over them all.
    auto batch = orka::SpriteBatch::create().withAddedOrder();
    for (float y = 10.0f; y < Rally::height; y += 40.0f) {
        batch.addShape(
            orka::Shape::rectangle({Rally::width / 2 - 2, y}, {4, 20}).withColor(netColor));
    }
    batch.addShape(
        orka::Shape::rectangle(rally.getPlayerBat(), Rally::batSize).withColor(playerColor));
    batch.addShape(
        orka::Shape::rectangle(rally.getComputerBat(), Rally::batSize).withColor(computerColor));
    addScore(batch, rally, font);
    if (!rally.isOver()) {
        ball.setPosition(rally.getBallPosition());
        batch.addSprite(ball);
    }
    return batch.build();
}

void saveScreenshot() {
    static int count = 0;
    const std::string path = "batball-" + std::to_string(++count) + ".png";
    orka::Renderer::instance->captureWindow([path](const orka::Image& shot) {
        if (shot.savePng(path)) std::printf("batball: saved %s\n", path.c_str());
        std::fflush(stdout);
    });
}

}  // namespace

int main() {
    orka::SDLRenderer window;
    window.setWindowTitle("Bat and ball");
    window.setWindowSize({static_cast<int>(Rally::width), static_cast<int>(Rally::height)});
    window.setLogicalSize({static_cast<int>(Rally::width), static_cast<int>(Rally::height)});
    window.init();
    if (window.getSDLWindow() == nullptr) return 1;

    orka::Camera camera;
    camera.setWindowCoordinates();  // one unit is one pixel, (0, 0) the lower-left corner

    // Declared after the window and released before it; the sounds go before the output.
    orka::AudioOutput audio;
    const auto wallSound = makeBeep(audio, 300.0f, 280.0f, 0.06f);
    const auto batSound = makeBeep(audio, 600.0f, 620.0f, 0.06f);
    const auto pointSound = makeBeep(audio, 500.0f, 150.0f, 0.4f);
    const auto play = [&](const std::shared_ptr<orka::Sound>& sound, float ballX) {
        if (sound) audio.play(*sound, 0.5f, ballX / Rally::width * 2.0f - 1.0f);  // pan by x
    };

    const std::shared_ptr<orka::Texture> ballTexture = makeBallTexture();
    orka::Sprite ball(*ballTexture, {0.5f, 0.5f});  // placed by its centre
    // Digits about 52 pixels tall, rasterised at the size they are drawn at, so they stay crisp.
    const std::shared_ptr<orka::Font> font = orka::Font::load(BATBALL_FONT, 72);
    Rally rally;

    // The rules run at a fixed 120 steps a second, whatever the frame rate.
    window.fixedStep = 1.0f / 120.0f;
    window.fixedUpdate = [&](float stepSec) {
        const orka::Input& input = window.getInput();
        const bool up = input.isDown(orka::Key::Up) || input.isDown(orka::Key::W);
        const bool down = input.isDown(orka::Key::Down) || input.isDown(orka::Key::S);
        const Rally::Events events = rally.step(stepSec, (up ? 1.0f : 0.0f) - (down ? 1.0f : 0.0f));
        if (events.wall) play(wallSound, rally.getBallPosition().x);
        if (events.bat) play(batSound, rally.getBallPosition().x);
        if (events.point) play(pointSound, Rally::width / 2);
    };
    window.frameUpdate = [&](float) {
        const orka::Input& input = window.getInput();
        if (input.wasPressed(orka::Key::Escape)) window.stopEventLoop();
        if (input.wasPressed(orka::Key::R)) rally.restart();
        if (input.wasPressed(orka::Key::F12)) saveScreenshot();
    };
    window.frameRender = [&] {
        orka::RenderPass pass =
            orka::RenderPass::create().withCamera(camera).withClearColor(true, background).build();
        pass.draw(drawField(rally, ball, font));
    };
    window.startEventLoop();
    return 0;
}
