// Fuzzes the importer's reading of LDtk projects with their types file and separate level files
// (.ldtkl), every layer kind, level fields and entity fields, through to the levels it makes.
// One input holds the project and the files it may name, separated by lines of "----" (see
// TiledMapFuzzing.hpp): with a second part the project is read with a types file, and every
// file the project names gets one of the parts after the first.
//
//   {"defs": {"tilesets": [...], "layers": [...]}, "levels": [{"identifier": "A", ...}]}
//   ----
//   {"Stone": 1, "Player": 50}
//
//   build-fuzz/fuzz/ldtkproject_fuzzer [libFuzzer options] CORPUS_DIR...
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TiledMapFuzzing.hpp"
#include "levelimport/LdtkImport.hpp"

namespace {

constexpr std::size_t kLongestLine = 1000;
/// Levels imported from one input: enough to reach each kind, few enough to stay fast.
constexpr std::size_t kMostLevels = 8;

void checkProblems(const std::vector<levelimport::Problem>& problems,
                   const orka::fuzz::MemoryFiles& files) {
    using orka::fuzz::require;
    for (const levelimport::Problem& problem : problems) {
        require(files.wasNamed(problem.file), "a problem names a file never read");
        require(!problem.text.empty(), "a problem has no text");
        require(problem.text.size() < kLongestLine, "a problem is over 1000 characters");
        require(problem.text.find('\n') == std::string::npos, "a problem spans lines");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using orka::fuzz::require;
    const std::string project = "fuzz.ldtk";
    const std::vector<std::string> parts =
        orka::fuzz::splitParts(std::string_view(reinterpret_cast<const char*>(data), size));
    orka::fuzz::MemoryFiles files(project, parts);
    const levelimport::FileSource source = [&files](const std::string& name, std::string& error) {
        return files.read(name, error);
    };
    const levelimport::LdtkImport import(project, parts.size() > 1 ? "types.json" : "", source);
    checkProblems(import.Problems(), files);
    if (!import.Problems().empty()) return 0;
    const std::size_t levels = std::min(import.LevelNames().size(), kMostLevels);
    for (std::size_t i = 0; i < levels; ++i) {
        const levelimport::MapImport result = import.ImportLevel(i, "fuzz3.json");
        checkProblems(result.problems, files);
        for (const std::string& note : result.notes) {
            const std::size_t file = note.find(": note: ");
            require(file != std::string::npos && files.wasNamed(note.substr(0, file)),
                    "a note names no file read");
            require(note.size() < kLongestLine, "a note is over 1000 characters");
        }
        if (result.problems.empty()) orka::fuzz::checkLevel(result);
    }
    return 0;
}
