#include "game/ProgressFile.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>
#include <utility>

#include "game/AtomicFile.hpp"
#include "game/Logger.hpp"
#include "game/UserDataFolder.hpp"

namespace {

const char* const kFileName = "progress.json";
const char* const kBestTimesKey = "bestTimes";
const char* const kSetAsideSuffix = ".bad";
constexpr double kMillisecondsPerSecond = 1000.0;

/// The level number a key stands for: a whole decimal number within int's range.
std::optional<int> LevelNumber(const std::string& key) {
    if (key.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(key.c_str(), &end, 10);
    const bool whole = *end == '\0' && !std::isspace(static_cast<unsigned char>(key[0]));
    if (!whole || errno == ERANGE || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

/// The levels of one world, or why not, in `whyNot`.
std::optional<std::map<int, double>> ReadWorld(const std::string& world,
                                               const rapidjson::Value& levels,
                                               std::string& whyNot) {
    const std::string where = "world \"" + world + "\"";
    if (!levels.IsObject()) {
        whyNot = where + " is not an object of level times";
        return std::nullopt;
    }
    std::map<int, double> times;
    for (const auto& member : levels.GetObject()) {
        const std::string key = member.name.GetString();
        const std::optional<int> level = LevelNumber(key);
        if (!level) {
            whyNot = "\"" + key + "\" in " + where + " is not a level number";
            return std::nullopt;
        }
        if (!member.value.IsNumber()) {
            whyNot = "the time of level " + key + " in " + where + " is not a number";
            return std::nullopt;
        }
        const double seconds = member.value.GetDouble();
        if (seconds < 0.0) {
            whyNot = "the time of level " + key + " in " + where + " is negative";
            return std::nullopt;
        }
        times[*level] = seconds;
    }
    return times;
}

}  // namespace

ProgressFile::ProgressFile(std::string filePath) : path(std::move(filePath)) {
    if (!path.empty()) Load();
}

std::string ProgressFile::PlayerPath() {
    std::string whyNot;
    const std::string folder = UserDataFolder::Path(&whyNot);
    if (folder.empty()) {
        Logger::Warning("No folder for the player's files (" + whyNot +
                        "): best times are not saved");
        return {};
    }
    return folder + kFileName;
}

void ProgressFile::Load() {
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) return;
    std::string whyNot = "cannot be read";
    std::ifstream file(path, std::ios::binary);
    if (std::filesystem::is_regular_file(path, error) && file) {
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        std::optional<BestTimes> times;
        if (!file.bad()) times = Parse(text, whyNot);
        if (times) {
            bestTimes = std::move(*times);
            return;
        }
    }
    unusableOnDisk = true;
    Logger::Warning(path + ": " + whyNot +
                    "; the best times start afresh, and the file is moved to " + path +
                    kSetAsideSuffix + " when a level is next finished");
}

std::optional<double> ProgressFile::BestTime(const std::string& world, int level) const {
    const auto levels = bestTimes.find(world);
    if (levels == bestTimes.end()) return std::nullopt;
    const auto time = levels->second.find(level);
    if (time == levels->second.end()) return std::nullopt;
    return time->second;
}

bool ProgressFile::RecordFinish(const std::string& world, int level, double seconds) {
    // Kept to the millisecond, so the file reads as the player would write it.
    seconds = std::round(seconds * kMillisecondsPerSecond) / kMillisecondsPerSecond;
    const std::optional<double> best = BestTime(world, level);
    if (best && *best <= seconds) return false;
    bestTimes[world][level] = seconds;
    Save();
    return true;
}

void ProgressFile::Save() {
    if (path.empty()) return;
    if (unusableOnDisk) {
        // Kept for the player to look at, not silently lost.
        std::error_code error;
        std::filesystem::rename(path, path + kSetAsideSuffix, error);
        if (!error) unusableOnDisk = false;
    }
    const std::string problem = AtomicFile::Write(path, Serialise(bestTimes));
    if (!problem.empty()) Logger::Error("The best times were not saved: " + problem);
}

std::optional<ProgressFile::BestTimes> ProgressFile::Parse(const std::string& text,
                                                           std::string& whyNot) {
    rapidjson::Document document;
    document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
    if (document.HasParseError()) {
        whyNot = std::string("not JSON: ") + rapidjson::GetParseError_En(document.GetParseError()) +
                 " (at byte " + std::to_string(document.GetErrorOffset()) + ")";
        return std::nullopt;
    }
    if (!document.IsObject() || !document.HasMember(kBestTimesKey) ||
        !document[kBestTimesKey].IsObject()) {
        whyNot = std::string("no object \"") + kBestTimesKey + "\" at the top";
        return std::nullopt;
    }
    BestTimes times;
    for (const auto& world : document[kBestTimesKey].GetObject()) {
        const std::string name = world.name.GetString();
        std::optional<std::map<int, double>> levels = ReadWorld(name, world.value, whyNot);
        if (!levels) return std::nullopt;
        times[name] = std::move(*levels);
    }
    return times;
}

std::string ProgressFile::Serialise(const BestTimes& times) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 2);
    writer.StartObject();
    writer.Key(kBestTimesKey);
    writer.StartObject();
    for (const auto& [world, levels] : times) {
        writer.Key(world.c_str(), static_cast<rapidjson::SizeType>(world.size()));
        writer.StartObject();
        for (const auto& [level, seconds] : levels) {
            writer.Key(std::to_string(level).c_str());
            writer.Double(seconds);
        }
        writer.EndObject();
    }
    writer.EndObject();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}
