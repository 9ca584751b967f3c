#include "game/Application.hpp"

#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "game/Logger.hpp"
#include "game/SceneManager.hpp"

namespace {

constexpr int kLogMinimumLevel = 2;  // only errors reach the console

const char* const kWorldPrompt = "Enter you desired world: ";
const char* const kWorldHint =
    "(Enter filename without level number or filextension or enter 1 for default)";
const char* const kAtlasPrompt = "Enter name of Spriteatlas(Without file extension): ";
const char* const kAtlasHint = "(File must be a png and have accomponing json file)";
const char* const kNotFound = "Filename Not Found, please enter correct file name";
const char* const kNotFoundHint = "(Write 0 to exit application)";

const char* const kDefaultWorldAnswer = "1";
const char* const kDefaultWorld = "1level";
const char* const kDefaultAtlas = "platformer-art-deluxe";
const char* const kQuitAnswer = "0";
const char* const kFirstLevelSuffix = "1.json";
const char* const kAtlasSuffix = ".json";

const char* const kUnhandled = "Unhandled exception in Application: ";
const char* const kUnknown = "Unknown exeption in Application.";

void Prompt(const char* question, const char* hint) {
    std::cout << std::endl << std::endl << question << std::endl << hint << std::endl << "> ";
}

/// One blank-separated word from the console. When the input has ended nobody can answer any
/// more, so the program ends quietly instead of asking forever.
std::string ReadName() {
    std::string name;
    if (!(std::cin >> name)) std::exit(EXIT_SUCCESS);
    return name;
}

bool CanOpen(const std::string& fileName) {
    std::ifstream file(fileName);
    return file.good();
}

/// Asks again until `name + suffix` can be opened; "0" ends the program. Returns the name.
std::string RetryUntilFound(std::string name, const char* suffix) {
    std::ostringstream fileName;
    for (;;) {
        fileName.str("");
        fileName << name << suffix;
        if (CanOpen(fileName.str())) return name;
        Prompt(kNotFound, kNotFoundHint);
        name = ReadName();
        if (name == kQuitAnswer) std::exit(EXIT_SUCCESS);
    }
}

}  // namespace

Application* Application::instance = nullptr;

Application* Application::GetInstance() {
    if (instance == nullptr) new Application();  // the constructor registers itself
    return instance;
}

Application::Application() {
    started = false;
    instance = this;
    debug = false;
    Logger::SetMinimumLevel(kLogMinimumLevel);
    Logger::SetDebug(debug);

    std::string world;
    std::string atlas;
    Prompt(kWorldPrompt, kWorldHint);
    world = ReadName();
    if (world == kDefaultWorldAnswer) {
        world = kDefaultWorld;
        atlas = kDefaultAtlas;
    } else {
        world = RetryUntilFound(world, kFirstLevelSuffix);
        Prompt(kAtlasPrompt, kAtlasHint);
        atlas = RetryUntilFound(ReadName(), kAtlasSuffix);
    }

    started = true;
    failed = !RunGuarded([&world, &atlas] { SceneManager sceneManager(world, atlas); });
}

bool Application::RunGuarded(const std::function<void()>& game) {
    try {
        game();
        return true;
    } catch (const std::exception& error) {
        Logger::Error(kUnhandled + std::string(error.what()));
    } catch (const char* text) {
        Logger::Error(kUnhandled + std::string(text != nullptr ? text : ""));
    } catch (...) {
        Logger::Error(kUnknown);
    }
    return false;
}
