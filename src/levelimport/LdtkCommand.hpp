#pragma once

#include <string>

namespace levelimport {

/// What the command line asks of an LDtk project.
struct LdtkRequest {
    std::string project;    ///< the .ldtk file
    std::string levelFile;  ///< one level's file; "" with `allPrefix`
    std::string level;      ///< --level: the level's identifier, or "" for a one-level project
    std::string allPrefix;  ///< --all: every level as <prefix>1.json, <prefix>2.json, ...
    std::string types;      ///< --types: the types file, or ""
    bool watch = false;     ///< --watch: import again after each save, until Ctrl+C
};

/// Runs the request, printing one line per level and per problem; gives the exit code: 0 when
/// every level asked for was written, 1 otherwise.
int RunLdtk(const LdtkRequest& request);

}  // namespace levelimport
