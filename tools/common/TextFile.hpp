#pragma once

#include <string>

// Whole-file text input and output for the content tools.
class TextFile {
public:
    // The file's bytes; throws std::runtime_error naming the file when it cannot be read.
    static std::string read(const std::string& path);
    // Writes under a temporary name and renames it into place, so a failed write leaves the
    // previous file as it was. Throws std::runtime_error naming the file.
    static void write(const std::string& path, const std::string& text);
    // Renames temporary to path (replacing it); on failure removes temporary and throws.
    static void moveIntoPlace(const std::string& temporary, const std::string& path);
};
