#include "levelimport/LdtkCommand.hpp"

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "levelimport/LdtkImport.hpp"
#include "levelimport/MapImporter.hpp"
#include "levelimport/MapWatcher.hpp"
#include "levelimport/OutputGuard.hpp"
#include "levelimport/ProblemFile.hpp"

namespace levelimport {
namespace {

constexpr int kExitImported = 0;
constexpr int kExitProblems = 1;
/// Characters of level names a line lists before it stops.
constexpr std::size_t kMostListed = 200;

std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + Quoted(name);
        if (list.size() > kMostListed) return list + ", ...";
    }
    return list;
}

/// What one run of a request left undone: for each level file, the lines that kept it from
/// being written (none: it was), and the lines that kept the project from being read at all.
struct Outcome {
    std::map<std::string, std::vector<std::string>> levels;
    std::vector<std::string> project;
};

/// Prints `line` and records it among `failures`.
void Fail(const std::string& line, std::vector<std::string>& failures) {
    std::cout << line << std::endl;
    failures.push_back(line);
}

/// Runs just before a level file is written, with its name.
using BeforeWriting = std::function<void(const std::string& levelFile)>;

/// Imports level `index` of `project` into `levelFile`, printing what happened; true when the
/// file was written. `failures` receives the lines that say why it was not.
bool ImportLevel(const LdtkImport& project, const LdtkRequest& request, std::size_t index,
                 const std::string& levelFile, bool withNotes, std::vector<std::string>& failures,
                 const BeforeWriting& beforeWriting) {
    // Checked first, so that a mistyped command says only this, whatever the level holds.
    if (const auto refusal = OutputGuard(levelFile).Refusal(project.InputFiles()); refusal) {
        Fail(*refusal, failures);
        return false;
    }
    const MapImport result = project.ImportLevel(index, levelFile);
    const std::string level = "level " + Quoted(project.LevelNames()[index]);
    for (const Problem& problem : result.problems) {
        std::cout << problem.ToString() << "\n";
        failures.push_back(problem.ToString());
    }
    if (withNotes) {
        for (const std::string& note : result.notes) std::cout << note << "\n";
    }
    const std::size_t problems = result.problems.size();
    if (problems > 0) {
        std::cout << request.project << ": " << level << ": " << problems
                  << (problems == 1 ? " problem, " : " problems, ") << levelFile << " not written"
                  << std::endl;
        return false;
    }
    beforeWriting(levelFile);
    std::string error;
    if (!WriteFileWhole(levelFile, LevelText(result.level), error)) {
        Fail(levelFile + ": cannot be written: " + error, failures);
        return false;
    }
    std::cout << levelFile << ": level " << result.level.id << " with " << result.level.tiles.size()
              << " tiles, from " << request.project << " " << level << std::endl;
    return true;
}

/// The level a one-level import means, or empty after saying why there is none.
std::optional<std::size_t> ChosenLevel(const LdtkImport& project, const LdtkRequest& request,
                                       std::vector<std::string>& failures) {
    const std::vector<std::string> names = project.LevelNames();
    if (!request.level.empty()) {
        const std::optional<std::size_t> index = project.FindLevel(request.level);
        if (!index) {
            Fail(request.project + ": no level " + Quoted(request.level) +
                     "; its levels: " + NameList(names),
                 failures);
        }
        return index;
    }
    if (names.size() == 1) return 0;
    Fail(request.project + ": " + std::to_string(names.size()) +
             " levels; name one with --level or import all with --all: " + NameList(names),
         failures);
    return std::nullopt;
}

/// Names the files <prefix>N.json beyond the last one written that an earlier import of more
/// levels left; they are kept, since the user may still want them.
void WarnLeftovers(const std::string& prefix, std::size_t written) {
    std::vector<std::string> left;
    std::error_code ignored;
    for (std::size_t n = written + 1;; ++n) {
        const std::string file = prefix + std::to_string(n) + ".json";
        if (!std::filesystem::exists(file, ignored)) break;
        left.push_back(file);
    }
    if (left.empty()) return;
    std::cout << "levelimport: warning: " << NameList(left) << (left.size() == 1 ? " is" : " are")
              << " left from an earlier import of more levels, not deleted" << std::endl;
}

/// One run of the request; `used` receives every file read, `outcome` what was not written.
int ImportOnce(
    const LdtkRequest& request, bool withNotes, std::vector<std::string>& used, Outcome& outcome,
    const BeforeWriting& beforeWriting = [](const std::string&) {}) {
    const FileSource recorded = [&used](const std::string& name, std::string& error) {
        used.push_back(name);
        return ReadFileFromDisk(name, error);
    };
    const LdtkImport project(request.project, request.types, recorded);
    if (!project.Problems().empty()) {
        for (const Problem& problem : project.Problems()) Fail(problem.ToString(), outcome.project);
        return kExitProblems;
    }
    if (request.allPrefix.empty()) {
        const std::optional<std::size_t> index = ChosenLevel(project, request, outcome.project);
        if (!index) return kExitProblems;
        return ImportLevel(project, request, *index, request.levelFile, withNotes,
                           outcome.levels[request.levelFile], beforeWriting)
                   ? kExitImported
                   : kExitProblems;
    }
    // Each level on its own: one that fails keeps none of the others from being written.
    const std::vector<std::string> names = project.LevelNames();
    std::vector<std::string> failed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string file = request.allPrefix + std::to_string(i + 1) + ".json";
        if (!ImportLevel(project, request, i, file, withNotes, outcome.levels[file],
                         beforeWriting)) {
            failed.push_back(names[i]);
        }
    }
    WarnLeftovers(request.allPrefix, names.size());
    std::cout << request.project << ": " << names.size() - failed.size() << " of " << names.size()
              << " levels imported";
    if (!failed.empty()) std::cout << "; not imported: " << NameList(failed);
    std::cout << std::endl;
    return failed.empty() ? kExitImported : kExitProblems;
}

/// The problem files of a watch, one beside each level file it imports, so that the game
/// playing a level shows why its last save did not import; they go with the watch.
class ProblemFiles {
public:
    explicit ProblemFiles(const LdtkRequest& request) : request(request) {
        if (!request.levelFile.empty()) Of(request.levelFile);
    }

    /// Removes the problem beside `levelFile`, before the level is written: the game reloads
    /// on that write and must not find the problem of the save before.
    void Clear(const std::string& levelFile) { Of(levelFile).Remove(); }

    void Tell(const Outcome& outcome) {
        for (const auto& [levelFile, failures] : outcome.levels) Tell(levelFile, failures);
        if (outcome.project.empty()) return;
        // A project that cannot be read holds back every level imported from it.
        for (const auto& [levelFile, file] : files) Tell(levelFile, outcome.project);
    }

private:
    const ProblemFile& Of(const std::string& levelFile) {
        std::unique_ptr<ProblemFile>& file = files[levelFile];
        if (!file) file = std::make_unique<ProblemFile>(levelFile);
        return *file;
    }
    void Tell(const std::string& levelFile, const std::vector<std::string>& failures) {
        const ProblemFile& file = Of(levelFile);
        if (failures.empty()) return file.Remove();
        if (file.Write(request.project, failures)) return;
        std::cout << file.Name() << ": cannot be written: the game will not show the problems"
                  << std::endl;
    }

    const LdtkRequest& request;
    std::map<std::string, std::unique_ptr<ProblemFile>> files;
};

int Watch(const LdtkRequest& request) {
    MapWatcher watcher;
    if (!watcher.Ready()) {
        std::cerr << "levelimport: cannot watch files: " << watcher.Error() << "\n";
        return kExitProblems;
    }
    // Watched before the first import, so that a save while it runs is not missed; watches
    // are only added, so a level file the project no longer names is still seen.
    std::vector<std::string> used{request.project};
    if (!request.types.empty()) used.push_back(request.types);
    watcher.Watch(used);
    ProblemFiles problemFiles(request);
    const BeforeWriting clearProblem = [&](const std::string& file) { problemFiles.Clear(file); };
    Outcome outcome;
    ImportOnce(request, true, used, outcome, clearProblem);
    problemFiles.Tell(outcome);
    std::cout << "levelimport: watching " << request.project
              << " and the files it uses; Ctrl+C ends" << std::endl;
    for (;;) {
        watcher.Watch(used);
        used.clear();
        if (watcher.Wait() == MapWatcher::Wake::Stopped) return kExitImported;
        outcome = Outcome();
        ImportOnce(request, false, used, outcome, clearProblem);
        problemFiles.Tell(outcome);
    }
}

}  // namespace

int RunLdtk(const LdtkRequest& request) {
    if (request.watch) return Watch(request);
    std::vector<std::string> used;
    Outcome outcome;
    return ImportOnce(request, true, used, outcome);
}

}  // namespace levelimport
