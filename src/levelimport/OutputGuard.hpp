#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace levelimport {

/// Keeps an importer from destroying what it reads or what was never a level: the level file it
/// is about to write must be none of its input files (compared by device and inode, so a hard
/// link or a symbolic link to an input counts as that input), and when it exists already it
/// must be a level file (a JSON object with "arrayOfTiles", or with no key but a level's) or
/// empty. Ask before writing
/// anything; the guard itself only reads.
class OutputGuard {
public:
    /// `output`: the level file to be written, as given on the command line.
    explicit OutputGuard(std::string output) : output(std::move(output)) {}

    /// Empty when `output` may be written; otherwise why not, one line of the form
    /// "<output>: not written: ...". `inputs`: every file the import read or names (the map,
    /// tilesets, templates, images); names that do not exist are skipped.
    std::optional<std::string> Refusal(const std::vector<std::string>& inputs) const;

private:
    std::string output;
};

}  // namespace levelimport
