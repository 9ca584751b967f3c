#pragma once

#include <string>

/// Writes a whole file so that a reader, or the next start after a crash or a full disk, finds
/// either the old contents or the new ones, never a part: the text goes to "<path>.tmp" in the
/// same folder, is flushed to the disk, and then renamed over `path`.
class AtomicFile {
public:
    /// Writes `contents` to `path`. Returns an empty string when it worked, else why not (naming
    /// the file); the old file, if any, is then unchanged and no temporary file is left behind.
    static std::string Write(const std::string& path, const std::string& contents);
};
