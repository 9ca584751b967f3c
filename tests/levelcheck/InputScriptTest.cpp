#include "levelcheck/InputScript.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/GameObject.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "support/ScratchFolder.hpp"

namespace {

using game::test::ScratchFolder;

/// The message of the `std::runtime_error` that `parse` throws, or "" when it throws none.
template <typename Parse>
std::string ErrorOf(Parse parse) {
    try {
        parse();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

TEST(InputScriptTest, ReadsEventsInOrderAndSkipsCommentsAndBlankLines) {
    const InputScript script = InputScript::Parse(
        "# walk, then jump twice\n"
        "\n"
        "0 down Right\n"
        "  12   down   Space   # first jump\n"
        "12 up Space\n"
        "\t\n"
        "40 down Left\n"
        "40 up Right\n",
        "walk.txt");
    const std::vector<InputScript::KeyEvent>& events = script.GetEvents();
    ASSERT_EQ(events.size(), 5u);
    const std::vector<std::pair<int, SDL_Keycode>> expected = {
        {0, SDLK_RIGHT}, {12, SDLK_SPACE}, {12, SDLK_SPACE}, {40, SDLK_LEFT}, {40, SDLK_RIGHT}};
    const std::vector<bool> down = {true, true, false, true, false};
    const std::vector<int> lines = {3, 4, 5, 7, 8};
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].frame, expected[i].first) << i;
        EXPECT_EQ(events[i].key, expected[i].second) << i;
        EXPECT_EQ(events[i].down, down[i]) << i;
        EXPECT_EQ(events[i].line, lines[i]) << i;
    }
    EXPECT_EQ(script.GetLastFrame(), 40);
    EXPECT_TRUE(InputScript::Parse("# nothing to do\n", "empty.txt").GetEvents().empty());
    EXPECT_EQ(InputScript::Parse("", "empty.txt").GetLastFrame(), 0);
}

TEST(InputScriptTest, EveryMalformedLineIsReportedWithFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0 down", "s.txt:1: expected \"<frame> down|up Right|Left|Space\", found 2 words"},
        {"0 down Right now", "found 4 words"},
        {"-3 down Right", "s.txt:1: the frame \"-3\" is not a whole number of 0 or more"},
        {"x down Right", "the frame \"x\" is not a whole number"},
        {"12a down Right", "the frame \"12a\" is not a whole number"},
        {"99999999999 down Right", "the frame \"99999999999\" is not a whole number"},
        {"1.5 down Right", "the frame \"1.5\" is not a whole number"},
        {"0 press Right", "s.txt:1: \"press\" is neither down nor up"},
        {"0 down right", "s.txt:1: unknown key \"right\" (keys: Right, Left, Space)"},
        {"0 down Escape", "unknown key \"Escape\""},
        {"# header\n10 down Right\n5 up Right", "s.txt:3: frame 5 comes after frame 10"},
        {"0 up Space", "s.txt:1: Space goes up but is not down"},
        {"0 down Left\n1 up Left\n2 up Left", "s.txt:3: Left goes up but is not down"},
    };
    for (const auto& [text, message] : cases) {
        const std::string error = ErrorOf([&text = text] { InputScript::Parse(text, "s.txt"); });
        EXPECT_NE(error.find(message), std::string::npos)
            << "script \"" << text << "\" gave \"" << error << "\"";
    }
}

TEST(InputScriptTest, LoadNamesTheFileItCannotReadOrParse) {
    ScratchFolder folder;
    EXPECT_EQ(ErrorOf([] { InputScript::Load("missing.txt"); }),
              "missing.txt: cannot be opened for reading");
    folder.Write("broken.txt", "0 down Right\n\n7 jump Space\n");
    EXPECT_EQ(ErrorOf([] { InputScript::Load("broken.txt"); }),
              "broken.txt:3: \"jump\" is neither down nor up");
    std::filesystem::create_directory(folder.path / "scripts");
    EXPECT_EQ(ErrorOf([] { InputScript::Load("scripts"); }), "scripts: is a folder, not a script");
    folder.Write("good.txt", "0 down Right\n5 up Right\n");
    EXPECT_EQ(InputScript::Load("good.txt").GetEvents().size(), 2u);
}

/// Records every key event the scene sends out, with the number of updates run before it.
struct KeyProbe {
    struct Seen {
        int updates;
        Uint32 type;
        SDL_Keycode key;
    };
    int updates = 0;
    std::vector<Seen> seen;
    static void OnKey(void* target, SDL_Event& event) {
        auto* probe = static_cast<KeyProbe*>(target);
        probe->seen.push_back({probe->updates, event.type, event.key.keysym.sym});
    }
    static void OnUpdate(void* target, float) { ++static_cast<KeyProbe*>(target)->updates; }
};

/// Two one-level worlds whose "Player Character" is a plain box (a controller needs a sprite
/// atlas): in "drop" it falls from row 3 onto the goal, a static sensor at row 0; in "rest" it
/// lands on a block and the goal stands far away. Each level is followed by itself.
class InputScriptReplayTest : public ::testing::Test {
protected:
    InputScriptReplayTest() {
        folder.Write("tile1.json", R"({"name": "Ground", "physics": {"type": "static"}})");
        folder.Write("tile2.json", R"({"name": "Player Character",
                                       "physics": {"type": "dynamic", "density": 2}})");
        folder.Write("tile3.json", R"({"name": "Goal", "leveloverbox": true,
                                       "physics": {"type": "static", "sensor": true}})");
        folder.Write("drop1.json", R"({"id": 1, "name": "drop", "deathLevelInY": -100,
                                       "arrayOfTiles": [[[3, 0, 0], [2, 0, 3]]]})");
        folder.Write("rest1.json", R"({"id": 1, "name": "rest", "deathLevelInY": -100,
                                       "arrayOfTiles": [[[1, 0, 0], [2, 0, 3], [3, 9, 0]]]})");
    }

    ScratchFolder folder;
    SceneManager manager{SceneManager::WithoutWindow{}};
    Scene& scene = *manager.GetScene();
};

TEST_F(InputScriptReplayTest, KeysArriveAfterTheirFrameOfUpdatesAndHeldKeysAreReleasedAtTheEnd) {
    scene.LoadLevel("rest");
    KeyProbe probe;
    scene.keyInputEvent.Subscribe(&probe, &KeyProbe::OnKey);
    scene.updateEvent.Subscribe(&probe, &KeyProbe::OnUpdate);
    const InputScript script = InputScript::Parse(
        "0 down Left\n3 down Space\n3 up Space\n5 up Left\n6 down Space\n", "keys.txt");

    const InputScript::Result result = script.Replay(scene, 10);
    EXPECT_FALSE(result.goalReached);
    EXPECT_EQ(result.frame, 10);
    EXPECT_EQ(probe.updates, 10);
    const std::vector<std::tuple<int, Uint32, SDL_Keycode>> expected = {
        {0, SDL_KEYDOWN, SDLK_LEFT}, {3, SDL_KEYDOWN, SDLK_SPACE}, {3, SDL_KEYUP, SDLK_SPACE},
        {5, SDL_KEYUP, SDLK_LEFT},   {6, SDL_KEYDOWN, SDLK_SPACE}, {10, SDL_KEYUP, SDLK_SPACE}};
    ASSERT_EQ(probe.seen.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(probe.seen[i].updates, std::get<0>(expected[i])) << i;
        EXPECT_EQ(probe.seen[i].type, std::get<1>(expected[i])) << i;
        EXPECT_EQ(probe.seen[i].key, std::get<2>(expected[i])) << i;
    }
    scene.keyInputEvent.Unsubscribe(&probe, &KeyProbe::OnKey);
    scene.updateEvent.Unsubscribe(&probe, &KeyProbe::OnUpdate);
}

TEST_F(InputScriptReplayTest, ReportsTheUpdateInWhichTheLevelChangesAndStopsThere) {
    scene.LoadLevel("drop");
    const InputScript script = InputScript::Parse("0 down Right\n", "drop.txt");
    const std::shared_ptr<GameObject> first = scene.GetLevelData().level;
    std::vector<int> observed;
    const InputScript::Result result =
        script.Replay(scene, 600, [&observed](int frame) { observed.push_back(frame); });
    ASSERT_TRUE(result.goalReached) << "stopped after " << result.frame << " frames";
    // A world of one level starts that level again: a new level all the same.
    EXPECT_NE(scene.GetLevelData().level, first);
    EXPECT_EQ(scene.GetLevelData().level->GetId(), 1);
    ASSERT_EQ(observed.size(), static_cast<std::size_t>(result.frame));
    EXPECT_EQ(observed.front(), 1);
    EXPECT_EQ(observed.back(), result.frame);

    // One frame fewer, from the start again, is not enough.
    scene.LoadLevel("drop");
    const std::shared_ptr<GameObject> again = scene.GetLevelData().level;
    const InputScript::Result shorter = script.Replay(scene, result.frame - 1);
    EXPECT_FALSE(shorter.goalReached);
    EXPECT_EQ(shorter.frame, result.frame - 1);
    EXPECT_EQ(scene.GetLevelData().level, again);
}

TEST_F(InputScriptReplayTest, ABodyThatNeverTouchesTheGoalRunsToTheLimit) {
    scene.LoadLevel("rest");
    const InputScript::Result result = InputScript().Replay(scene, 300);
    EXPECT_FALSE(result.goalReached);
    EXPECT_EQ(result.frame, 300);
    EXPECT_EQ(InputScript().Replay(scene, 0).frame, 0) << "a limit of 0 runs nothing";
}

}  // namespace
