#include "levelimport/ProblemFile.hpp"

#include <unistd.h>

#include <cstdio>

#include "levelimport/MapImporter.hpp"

namespace levelimport {

bool ProblemFile::Write(const std::string& mapFile,
                        const std::vector<std::string>& problems) const {
    std::string text =
        "levelimport problem\npid " + std::to_string(getpid()) + "\nmap " + mapFile + "\n";
    for (const std::string& problem : problems) text += problem + "\n";
    std::string error;
    return WriteFileWhole(name, text, error);
}

void ProblemFile::Remove() const {
    std::remove(name.c_str());
}

}  // namespace levelimport
