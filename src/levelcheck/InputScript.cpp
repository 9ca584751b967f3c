#include "levelcheck/InputScript.hpp"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>

#include "game/GameObject.hpp"
#include "game/Scene.hpp"

namespace {

constexpr char kCommentMark = '#';

struct KeyName {
    const char* name;
    SDL_Keycode key;
};
constexpr KeyName kKeys[] = {{"Right", SDLK_RIGHT}, {"Left", SDLK_LEFT}, {"Space", SDLK_SPACE}};

const char* NameOf(SDL_Keycode key) {
    for (const KeyName& known : kKeys) {
        if (known.key == key) return known.name;
    }
    return "?";
}

/// Reports problems of one line as "<source>:<line>: <problem>".
struct LineContext {
    const std::string& source;
    int line;
    [[noreturn]] void Fail(const std::string& problem) const {
        throw std::runtime_error(source + ":" + std::to_string(line) + ": " + problem);
    }
};

int ParseFrame(const std::string& word, const LineContext& context) {
    int frame = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, frame);
    if (error != std::errc() || stop != end || frame < 0) {
        context.Fail("the frame \"" + word + "\" is not a whole number of 0 or more");
    }
    return frame;
}

bool ParseDirection(const std::string& word, const LineContext& context) {
    if (word == "down") return true;
    if (word == "up") return false;
    context.Fail("\"" + word + "\" is neither down nor up");
}

SDL_Keycode ParseKey(const std::string& word, const LineContext& context) {
    for (const KeyName& known : kKeys) {
        if (word == known.name) return known.key;
    }
    context.Fail("unknown key \"" + word + "\" (keys: Right, Left, Space)");
}

/// The words of a line without its comment.
std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line.substr(0, line.find(kCommentMark)));
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

InputScript::KeyEvent ParseEvent(const std::string& line, const LineContext& context) {
    const std::vector<std::string> words = Words(line);
    if (words.size() != 3) {
        context.Fail("expected \"<frame> down|up Right|Left|Space\", found " +
                     std::to_string(words.size()) + " words");
    }
    InputScript::KeyEvent event;
    event.frame = ParseFrame(words[0], context);
    event.down = ParseDirection(words[1], context);
    event.key = ParseKey(words[2], context);
    event.line = context.line;
    return event;
}

}  // namespace

void InputScript::SendKey(Scene& scene, SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    if (scene.keyInputEvent.GetCount() >= 1) scene.keyInputEvent.Invoke(event);
}

InputScript InputScript::Parse(const std::string& text, const std::string& source) {
    InputScript script;
    std::set<SDL_Keycode> held;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (Words(line).empty()) continue;
        const LineContext context{source, number};
        const KeyEvent event = ParseEvent(line, context);
        if (event.frame < script.GetLastFrame()) {
            context.Fail("frame " + std::to_string(event.frame) + " comes after frame " +
                         std::to_string(script.GetLastFrame()));
        }
        if (!event.down && held.count(event.key) == 0) {
            context.Fail(std::string(NameOf(event.key)) + " goes up but is not down");
        }
        if (event.down) {
            held.insert(event.key);
        } else {
            held.erase(event.key);
        }
        script.events.push_back(event);
    }
    return script;
}

InputScript InputScript::Load(const std::string& fileName) {
    // A folder opens like a file on Linux and reads as nothing: an empty script, silently.
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored)) {
        throw std::runtime_error(fileName + ": is a folder, not a script");
    }
    std::ifstream file(fileName);
    if (!file.good()) throw std::runtime_error(fileName + ": cannot be opened for reading");
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw std::runtime_error(fileName + ": cannot be read");
    return Parse(text.str(), fileName);
}

int InputScript::GetLastFrame() const {
    return events.empty() ? 0 : events.back().frame;
}

InputScript::Result InputScript::Replay(Scene& scene, int frameLimit,
                                        const FrameObserver& observer) const {
    // The root object is replaced by every level change, even from a level to itself; holding
    // it keeps its address from being reused by the next level's root.
    const std::shared_ptr<GameObject> startLevel = scene.GetLevelData().level;
    std::set<SDL_Keycode> held;
    auto next = events.begin();
    Result result;
    while (result.frame < frameLimit && !result.goalReached) {
        for (; next != events.end() && next->frame == result.frame; ++next) {
            SendKey(scene, next->key, next->down);
            if (next->down) held.insert(next->key);
            if (!next->down) held.erase(next->key);
        }
        scene.Update(Scene::timeStep);
        ++result.frame;
        result.goalReached = scene.GetLevelData().level != startLevel;
        if (observer) observer(result.frame);
    }
    for (const SDL_Keycode key : held) SendKey(scene, key, false);
    return result;
}
