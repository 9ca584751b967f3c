#include "game/Settings.hpp"

#include <SDL_keyboard.h>
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "game/AtomicFile.hpp"
#include "game/Logger.hpp"
#include "game/UserDataFolder.hpp"
#include "orka/JsonNesting.hpp"

namespace {

// Saved volumes are rounded to this, so 0.7 is written as 0.7 and not as a float's digits.
constexpr double kVolumeSteps = 100.0;

/// A key action of the settings file: its name there and where it is kept.
struct KeyEntry {
    const char* name;
    SDL_Keycode KeyBindings::*key;
};
const KeyEntry kKeyEntries[] = {{"left", &KeyBindings::left},
                                {"right", &KeyBindings::right},
                                {"jump", &KeyBindings::jump},
                                {"pause", &KeyBindings::pause}};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

/// The JSON value as the file has it, shortened, for a problem line.
std::string Shown(const rapidjson::Value& value) {
    rapidjson::StringBuffer text;
    rapidjson::Writer<rapidjson::StringBuffer> writer(text);
    value.Accept(writer);
    const std::string whole = text.GetString();
    return orka::shortenedQuote(whole, 0);
}

/// Reads one volume into `volume`, or tells why not.
void ReadVolume(const rapidjson::Value& value, const char* name, float& volume,
                std::vector<std::string>& problems) {
    const bool valid = value.IsNumber() && value.GetDouble() >= 0.0 && value.GetDouble() <= 1.0;
    if (!valid) {
        std::ostringstream line;
        line << Quoted(name) << ": " << Shown(value) << " is not a number from 0 to 1; it stays "
             << volume;
        problems.push_back(line.str());
        return;
    }
    volume = static_cast<float>(value.GetDouble());
}

/// Reads one key into `key`, or tells why not.
void ReadKey(const rapidjson::Value& value, const std::string& name, SDL_Keycode& key,
             std::vector<std::string>& problems) {
    const SDL_Keycode named =
        value.IsString() ? SDL_GetKeyFromName(value.GetString()) : SDLK_UNKNOWN;
    if (named == SDLK_UNKNOWN) {
        problems.push_back(Quoted(name) + ": " + Shown(value) +
                           " is no key name (such as \"Left\", \"Space\" or \"P\"); it stays " +
                           Quoted(SDL_GetKeyName(key)));
        return;
    }
    key = named;
}

/// One key for two actions would leave one of them without a key: an action the file gave an
/// action's key to (one not set in the file, or set before it) keeps its default instead.
void KeepKeysApart(const std::vector<const KeyEntry*>& setInFile, KeyBindings& bindings,
                   std::vector<std::string>& problems) {
    const KeyBindings defaults;
    for (std::size_t i = 0; i < setInFile.size(); ++i) {
        const KeyEntry& entry = *setInFile[i];
        for (const KeyEntry& other : kKeyEntries) {
            if (&other == &entry || bindings.*other.key != bindings.*entry.key) continue;
            const auto later = std::find(setInFile.begin() + static_cast<std::ptrdiff_t>(i),
                                         setInFile.end(), &other);
            if (later != setInFile.end()) continue;  // that one is checked in its turn
            problems.push_back(Quoted(std::string("keys.") + entry.name) + ": " +
                               Quoted(SDL_GetKeyName(bindings.*entry.key)) +
                               " is already the key of " + Quoted(other.name) + "; " +
                               Quoted(entry.name) + " stays " +
                               Quoted(SDL_GetKeyName(defaults.*entry.key)));
            bindings.*entry.key = defaults.*entry.key;
            break;
        }
    }
}

void ReadKeys(const rapidjson::Value& keys, KeyBindings& bindings,
              std::vector<std::string>& problems) {
    if (!keys.IsObject()) {
        problems.push_back("\"keys\": " + Shown(keys) +
                           " is not an object of key names; every key stays as it was");
        return;
    }
    std::vector<const KeyEntry*> setInFile;
    for (const auto& member : keys.GetObject()) {
        const std::string action = member.name.GetString();
        bool known = false;
        for (const KeyEntry& entry : kKeyEntries) {
            if (action != entry.name) continue;
            ReadKey(member.value, "keys." + action, bindings.*entry.key, problems);
            setInFile.push_back(&entry);
            known = true;
        }
        if (!known) {
            problems.push_back(Quoted("keys." + action) +
                               ": no such key action (left, right, jump, pause); it is left out");
        }
    }
    KeepKeysApart(setInFile, bindings, problems);
}

double RoundedVolume(float volume) {
    return std::round(volume * kVolumeSteps) / kVolumeSteps;
}

}  // namespace

Settings Settings::FromJson(const std::string& text, std::vector<std::string>& problems) {
    Settings settings;
    if (orka::jsonNestsDeeperThan(text)) {
        problems.push_back(orka::jsonTooDeepMessage() + "; every setting keeps its default");
        return settings;
    }
    rapidjson::Document document;
    document.Parse<rapidjson::kParseIterativeFlag>(text.c_str(), text.size());
    if (document.HasParseError()) {
        std::ostringstream line;
        line << "not valid JSON (" << rapidjson::GetParseError_En(document.GetParseError())
             << " at character " << document.GetErrorOffset()
             << "); every setting keeps its default";
        problems.push_back(line.str());
        return settings;
    }
    if (!document.IsObject()) {
        problems.push_back("not a JSON object; every setting keeps its default");
        return settings;
    }
    for (const auto& member : document.GetObject()) {
        const std::string name = member.name.GetString();
        if (name == "musicVolume") {
            ReadVolume(member.value, "musicVolume", settings.musicVolume, problems);
        } else if (name == "effectsVolume") {
            ReadVolume(member.value, "effectsVolume", settings.effectsVolume, problems);
        } else if (name == "keys") {
            ReadKeys(member.value, settings.keys, problems);
        } else {
            problems.push_back(Quoted(name) +
                               ": no such setting (musicVolume, effectsVolume, keys); it is left "
                               "out");
        }
    }
    return settings;
}

Settings Settings::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::ostringstream text;
    text << file.rdbuf();
    std::vector<std::string> problems;
    Settings settings = FromJson(text.str(), problems);
    for (const std::string& problem : problems) {
        Logger::Warning(path + ": " + problem);
    }
    return settings;
}

std::string Settings::ToJson() const {
    rapidjson::StringBuffer text;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(text);
    writer.StartObject();
    writer.Key("musicVolume");
    writer.Double(RoundedVolume(musicVolume));
    writer.Key("effectsVolume");
    writer.Double(RoundedVolume(effectsVolume));
    writer.Key("keys");
    writer.StartObject();
    for (const KeyEntry& entry : kKeyEntries) {
        writer.Key(entry.name);
        writer.String(SDL_GetKeyName(keys.*entry.key));
    }
    writer.EndObject();
    writer.EndObject();
    return std::string(text.GetString()) + "\n";
}

std::string Settings::Save(const std::string& path) const {
    return AtomicFile::Write(path, ToJson());
}

std::string Settings::DefaultPath() {
    const std::string folder = UserDataFolder::Path();
    return folder.empty() ? folder : folder + kFileName;
}
