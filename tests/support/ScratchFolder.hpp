#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace game::test {

/// An empty temporary folder that becomes the working directory while it lives (level and tile
/// files are opened by relative name), removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() : previous(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "platformer-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = pattern;
        std::filesystem::current_path(path);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    /// Writes `text` into `fileName` inside the folder.
    void Write(const std::string& fileName, const std::string& text) const {
        std::ofstream(path / fileName) << text;
    }
    /// Copies every file and subfolder of `folder` into this one.
    void CopyFrom(const std::filesystem::path& folder) const {
        // Recursive: a world folder may hold subfolders (input scripts).
        std::filesystem::copy(folder, path,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }

    std::filesystem::path path;

private:
    std::filesystem::path previous;
};

/// The whole text of `file`; empty when it cannot be read.
inline std::string FileContents(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace game::test
