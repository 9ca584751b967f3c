#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// The types file of an LDtk project, given with --types: a JSON object that gives each IntGrid
/// value (by its identifier, or "<layer>:<value>" when it has none), each entity (by its
/// identifier) and each tileset tile ("<tileset>:<tile id>") its tile type, such as
/// {"Walls": 1, "Spikes": 22, "Player": 50}. Without a file every lookup finds nothing.
class LdtkTypes {
public:
    /// Reads `file` through `files`; false after reporting on `file` what is wrong with it.
    bool Read(const std::string& file, std::vector<Problem>& problems, const FileSource& files);

    /// The tile type of `key`, or empty when the file gives it none.
    std::optional<int> Find(const std::string& key) const;

    /// The file read, or "" when there is none.
    const std::string& File() const { return file; }

private:
    std::string file;
    std::map<std::string, int> types;
};

}  // namespace levelimport
