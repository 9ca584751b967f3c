#pragma once

#include <string>
#include <vector>

namespace levelimport {

/// What `levelimport --watch` leaves beside the level file while a save of the map does not
/// import, so that the game playing that level shows why: "<level file>.problem", a text file
/// of the lines
///   levelimport problem
///   pid <the watching process's id>
///   map <the map file>
///   <each problem, "file: problem">
/// Written whole (a temporary file renamed into place), removed once a save imports and when
/// the watch ends. A watcher killed outright cannot remove it: the game shows a problem only
/// while its process lives.
class ProblemFile {
public:
    explicit ProblemFile(const std::string& levelFile) : name(levelFile + ".problem") {}
    ~ProblemFile() { Remove(); }
    ProblemFile(const ProblemFile&) = delete;
    ProblemFile& operator=(const ProblemFile&) = delete;

    /// Says that the last save of `mapFile` did not import, for `problems`; false when the
    /// file cannot be written (the import's own lines still say why).
    bool Write(const std::string& mapFile, const std::vector<std::string>& problems) const;
    /// Says that the map imports again: the file goes, when it is there.
    void Remove() const;

    const std::string& Name() const { return name; }

private:
    std::string name;
};

}  // namespace levelimport
