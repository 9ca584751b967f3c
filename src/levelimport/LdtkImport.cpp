#include "levelimport/LdtkImport.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "levelimport/LdtkLevelImporter.hpp"
#include "levelimport/LdtkProject.hpp"
#include "levelimport/LdtkTypes.hpp"

namespace levelimport {

struct LdtkImport::State {
    State(const std::string& projectFile, const FileSource& files)
        : project(projectFile, problems), files(files) {}

    std::vector<Problem> problems;
    LdtkProject project;
    LdtkTypes types;
    FileSource files;
};

LdtkImport::LdtkImport(const std::string& projectFile, const std::string& typesFile,
                       const FileSource& files)
    : state(std::make_unique<State>(projectFile, files)) {
    if (!state->project.Read(files)) return;
    if (!typesFile.empty()) state->types.Read(typesFile, state->problems, files);
}

LdtkImport::~LdtkImport() = default;

const std::vector<Problem>& LdtkImport::Problems() const {
    return state->problems;
}

std::vector<std::string> LdtkImport::LevelNames() const {
    std::vector<std::string> names;
    for (const LdtkLevelEntry& level : state->project.Levels()) names.push_back(level.identifier);
    return names;
}

std::optional<std::size_t> LdtkImport::FindLevel(const std::string& identifier) const {
    const std::vector<LdtkLevelEntry>& levels = state->project.Levels();
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i].identifier == identifier) return i;
    }
    return std::nullopt;
}

std::vector<std::string> LdtkImport::InputFiles() const {
    std::vector<std::string> files{state->project.File()};
    if (!state->types.File().empty()) files.push_back(state->types.File());
    const std::vector<std::string>& named = state->project.NamedFiles();
    files.insert(files.end(), named.begin(), named.end());
    return files;
}

MapImport LdtkImport::ImportLevel(std::size_t index, const std::string& levelFile) const {
    const LdtkLevelImporter importer(state->project, state->types);
    return importer.Import(state->project.Levels().at(index), static_cast<int>(index) + 1,
                           levelFile, state->files);
}

bool IsLdtkProjectName(const std::string& file) {
    std::string extension = std::filesystem::path(file).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // A level file given by mistake is named as such by the project reader.
    return extension == ".ldtk" || extension == ".ldtkl";
}

}  // namespace levelimport
