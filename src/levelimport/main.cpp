// levelimport: turns a map drawn in the Tiled editor, or a level of an LDtk project, into a
// level file of the platformer, and prints every problem that stands in the way as
// "file: problem".
#include <algorithm>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "levelimport/LdtkCommand.hpp"
#include "levelimport/LdtkImport.hpp"
#include "levelimport/MapImporter.hpp"
#include "levelimport/MapWatcher.hpp"
#include "levelimport/OutputGuard.hpp"
#include "levelimport/ProblemFile.hpp"

namespace {

constexpr int kExitImported = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

const char* const kUsage = R"(Usage: levelimport [--watch] <map> <level.json>
       levelimport [--watch] [--types FILE] [--level NAME] <project.ldtk> <level.json>
       levelimport [--watch] [--types FILE] --all <prefix> <project.ldtk>

Turns a map saved by the Tiled editor into a level file of the platformer, such as
castle3.json. The map may be saved in Tiled's own XML format (.tmx) or as JSON (.tmj, .json),
its tilesets embedded or in files beside it (.tsx or .tsj, either with either kind of map).
The map must be orthogonal; it may be infinite, and then the level covers the cells in use:
the bottom used row becomes row 0 and the leftmost used column column 0. Its custom properties
are optional: "id" (int; without it, the number that ends the level file's name, so
castle3.json is level 3, and a problem when the name ends in none), "name" (string; without
it, the map file's name without extension), "deathLevelInY" (float) for a death line, and the
camera's "cameraLead" (0 to 200), "cameraBand" (0 to 150) and "cameraEase" (0 to 5 seconds),
or a class property "camera" with members "lead", "band", "ease".

The visible image layers under every tile layer become the level's backdrop, the lowest the
farthest: an image named N.png shows atlas sprite N, and the layer's horizontal parallax factor
(times its groups', 0 to 1) is how far it moves with the view.

Every tile layer is read, group layers too, and a cell may hold tiles of several layers: they
are written lower layers first, so the game draws later layers over earlier ones. Map cell
(x, y) becomes column x and row (height - 1 - y), so the map's bottom row is row 0. Tile
objects (objects with a tile, on object layers, also from templates .tx and .tj) become tiles
on the cell under the centre Tiled draws them at (placed by their tileset's object alignment,
bottom-left unless set, and turned about that point; an old map's object without a size as
big as its tile's image). A layer's offset, its groups' added, moves its tiles. Other objects
are skipped, with a note. Hidden layers are left out, with a note naming them.

Each tile used needs the int property "tileType", the N of the tile-type file tile<N>.json.
Layer data may be in any of Tiled's layer formats: CSV, base64 plain, zlib, gzip or zstd, or
the old XML form. Maps of old Tiled versions are read too.

Each problem is printed on one line as "file: problem", and the level file is then left as
it was: it is only written, whole, when the entire map converts. The level file is never one
of the files the import reads (the map, a tileset, a template, an image), and an existing file
is only replaced when it holds a level: otherwise nothing is written, with one line saying why. Flipped or rotated tiles are
imported unflipped, with a note.

A project of the LDtk editor (.ldtk, levels inside or in .ldtkl files) is read by the same
rules: its Tiles layers and auto-layers (each tile typed by its tileset tile's custom data, a
line "tileType=N", or by "<tileset>:<tile id>" in the types file), IntGrid values (by their
identifier, or "<layer>:<value>") and entities (by an Int field "tileType", else by their
identifier; on the cell under their pivot), the bottom layer of LDtk's list first. Level
fields give the keys: "name", "id", "deathLevelInY", "cameraLead", "cameraBand",
"cameraEase" and "backdrop" (a String holding the backdrop array).

Options:
  --types FILE  LDtk: a JSON object of tile types, such as {"Walls": 1, "Player": 50}
  --level NAME  LDtk: the level to import, by its identifier (not needed for one level)
  --all PREFIX  LDtk: every level, world after world, as PREFIX1.json, PREFIX2.json, ...;
                each on its own, the exit code 1 if any failed
  --watch  import, then import again each time the map or a tileset or template it uses is
           saved, printing one line each time, until Ctrl+C (exit code 0); a save that does
           not import leaves the last level file written in place, and its problems in
           <level.json>.problem until a save imports or the watch ends: the game playing
           that level shows them
  --help   show this text

Exit code: 0 when the level was written, 1 when a problem was found, 2 for wrong usage.
)";

/// Imports `mapFile` into `levelFile` and prints what happened; `withNotes` adds the notes.
/// `used` receives every file the map needed (the map, its tilesets and templates), `failures`
/// the lines that say why nothing was written. `beforeWriting` runs just before the level file
/// is written.
int Import(
    const std::string& mapFile, const std::string& levelFile, bool withNotes,
    std::vector<std::string>& used, std::vector<std::string>& failures,
    const std::function<void()>& beforeWriting = [] {}) {
    const levelimport::FileSource recorded = [&used](const std::string& name, std::string& error) {
        used.push_back(name);
        return levelimport::ReadFileFromDisk(name, error);
    };
    const levelimport::MapImport result = levelimport::ImportMap(mapFile, levelFile, recorded);
    // Checked first, so that a mistyped command says only this, whatever the map holds.
    std::vector<std::string> inputs = used;
    inputs.insert(inputs.end(), result.images.begin(), result.images.end());
    if (const auto refusal = levelimport::OutputGuard(levelFile).Refusal(inputs); refusal) {
        std::cout << *refusal << std::endl;
        failures.push_back(*refusal);
        return kExitProblems;
    }
    // Notes first, so that the problems stand last, just above the line saying what they did.
    if (withNotes) {
        for (const std::string& note : result.notes) std::cout << note << "\n";
    }
    for (const levelimport::Problem& problem : result.problems) {
        std::cout << problem.ToString() << "\n";
        failures.push_back(problem.ToString());
    }
    const std::size_t problems = result.problems.size();
    if (problems > 0) {
        std::cout << mapFile << ": " << problems << (problems == 1 ? " problem" : " problems")
                  << ", " << levelFile << " not written" << std::endl;
        return kExitProblems;
    }
    beforeWriting();
    std::string error;
    if (!levelimport::WriteFileWhole(levelFile, levelimport::LevelText(result.level), error)) {
        std::cout << levelFile << ": cannot be written: " << error << std::endl;
        failures.push_back(levelFile + ": cannot be written: " + error);
        return kExitProblems;
    }
    std::cout << levelFile << ": level " << result.level.id << " with " << result.level.tiles.size()
              << " tiles, from " << mapFile << std::endl;
    return kExitImported;
}

/// Imports, then again after each save of a file the map uses, until Ctrl+C.
int Watch(const std::string& mapFile, const std::string& levelFile) {
    levelimport::MapWatcher watcher;
    if (!watcher.Ready()) {
        std::cerr << "levelimport: cannot watch files: " << watcher.Error() << "\n";
        return kExitProblems;
    }
    // The map is watched even when it cannot be read yet, and every file it ever used stays
    // watched (watches are only added): mending a tileset may be what a map that does not
    // import waits for.
    std::vector<std::string> used{mapFile};
    // Watched before the first import, so that a save while it runs is not missed.
    watcher.Watch(used);
    // The game playing the level shows what it holds; it goes with this watch.
    const levelimport::ProblemFile problemFile(levelFile);
    const auto importAndTell = [&](bool withNotes) {
        std::vector<std::string> failures;
        // The old problem goes before the level is written: the game reloads on that write and
        // must not find the problem of the save before.
        const auto removeProblem = [&] { problemFile.Remove(); };
        if (Import(mapFile, levelFile, withNotes, used, failures, removeProblem) == kExitImported) {
            return;
        }
        if (!problemFile.Write(mapFile, failures)) {
            std::cout << problemFile.Name() << ": cannot be written: the game will not show "
                      << "the problems" << std::endl;
        }
    };
    importAndTell(true);
    std::cout << "levelimport: watching " << mapFile << " and the files it uses; Ctrl+C ends"
              << std::endl;
    for (;;) {
        watcher.Watch(used);
        used.clear();
        if (watcher.Wait() == levelimport::MapWatcher::Wake::Stopped) return kExitImported;
        importAndTell(false);
    }
}

/// The value of an option that takes one, such as --types FILE; empty when it is missing.
std::optional<std::string> OptionValue(const std::vector<std::string>& arguments, std::size_t& i) {
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return std::nullopt;
    return arguments[++i];
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    levelimport::LdtkRequest ldtk;
    std::vector<std::string> files;
    const auto usage = [](const std::string& text) {
        std::cerr << "levelimport: " << text << "\nTry 'levelimport --help'.\n";
        return kExitUsage;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return kExitImported;
        }
        if (argument == "--watch") {
            ldtk.watch = true;
            continue;
        }
        std::string* value = argument == "--level"   ? &ldtk.level
                             : argument == "--all"   ? &ldtk.allPrefix
                             : argument == "--types" ? &ldtk.types
                                                     : nullptr;
        if (value != nullptr) {
            const std::optional<std::string> given = OptionValue(arguments, i);
            if (!given) return usage(argument + " needs a value");
            *value = *given;
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            return usage("unknown option " + argument);
        }
        files.push_back(argument);
    }
    const bool ldtkOnly = !ldtk.level.empty() || !ldtk.allPrefix.empty() || !ldtk.types.empty();
    if (!files.empty() && levelimport::IsLdtkProjectName(files[0])) {
        if (!ldtk.allPrefix.empty() && !ldtk.level.empty())
            return usage("--all or --level, not both");
        const std::size_t wanted = ldtk.allPrefix.empty() ? 2 : 1;
        if (files.size() != wanted) {
            return usage(wanted == 1 ? "with --all give only the project"
                                     : "give a project and a level file");
        }
        ldtk.project = files[0];
        if (wanted == 2) ldtk.levelFile = files[1];
        return levelimport::RunLdtk(ldtk);
    }
    if (ldtkOnly) return usage("--level, --all and --types are for LDtk projects (.ldtk)");
    if (files.size() != 2 || files[0].empty() || files[1].empty()) {
        return usage("give a map file and a level file");
    }
    if (ldtk.watch) return Watch(files[0], files[1]);
    std::vector<std::string> used;
    std::vector<std::string> failures;
    return Import(files[0], files[1], true, used, failures);
}
