#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/Settings.hpp"

namespace {

/// A settings text with one wrong entry, the words its one problem must hold, and the
/// settings read from it: the wrong entry's default, the other entries as written.
struct WrongEntry {
    const char* text;
    const char* named;
    float music;
    float effects;
    SDL_Keycode jump;
};

const WrongEntry kWrongEntries[] = {
    {R"({"musicVolume": "loud", "keys": {"jump": "W"}})", "\"musicVolume\": \"loud\"", 1, 1,
     SDLK_w},
    {R"({"musicVolume": 1.5, "effectsVolume": 0.5})", "\"musicVolume\": 1.5", 1, 0.5f, SDLK_SPACE},
    {R"({"effectsVolume": -0.25, "musicVolume": 0.5})", "\"effectsVolume\"", 0.5f, 1, SDLK_SPACE},
    {R"({"keys": {"jump": "Nokey"}, "musicVolume": 0.5})", "\"keys.jump\": \"Nokey\"", 0.5f, 1,
     SDLK_SPACE},
    {R"({"keys": {"jump": 32, "left": "A"}, "musicVolume": 0.5})", "\"keys.jump\": 32", 0.5f, 1,
     SDLK_SPACE},
    {R"({"keys": {"crouch": "S", "jump": "W"}})", "\"keys.crouch\"", 1, 1, SDLK_w},
    {R"({"keys": ["W"], "musicVolume": 0.5})", "\"keys\": [\"W\"]", 0.5f, 1, SDLK_SPACE},
    {R"({"volume": 0.5, "effectsVolume": 0.5})", "\"volume\"", 1, 0.5f, SDLK_SPACE},
    {R"({"musicVolume": 0.5,)", "not valid JSON", 1, 1, SDLK_SPACE},
    {"", "not valid JSON", 1, 1, SDLK_SPACE},
    {"[0.5]", "not a JSON object", 1, 1, SDLK_SPACE},
    // One key for two actions: the one given another's key keeps its default.
    {R"({"keys": {"pause": "Space"}})",
     R"("keys.pause": "Space" is already the key of "jump"; "pause" stays "P")", 1, 1, SDLK_SPACE},
    {R"({"keys": {"jump": "P"}})", R"("keys.jump": "P" is already the key of "pause")", 1, 1,
     SDLK_SPACE},
    {R"({"keys": {"jump": "W", "left": "W"}})", R"("keys.left": "W" is already the key of "jump")",
     1, 1, SDLK_w},
};

TEST(Settings, AWrongEntryIsOneProblemNamingItAndKeepsOnlyThatDefault) {
    for (const WrongEntry& entry : kWrongEntries) {
        SCOPED_TRACE(entry.text);
        std::vector<std::string> problems;
        const Settings settings = Settings::FromJson(entry.text, problems);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(problems[0].find(entry.named), std::string::npos) << problems[0];
        EXPECT_EQ(settings.musicVolume, entry.music);
        EXPECT_EQ(settings.effectsVolume, entry.effects);
        EXPECT_EQ(settings.keys.jump, entry.jump);
    }
}

}  // namespace
