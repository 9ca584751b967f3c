#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/AtomicFile.hpp"
#include "game/UserDataFolder.hpp"
#include "support/ScratchFolder.hpp"

namespace {

namespace fs = std::filesystem;
using game::test::FileContents;

TEST(AtomicFile, ReplacesTheWholeFileOrLeavesTheOldOneAndNoTemporaryFile) {
    game::test::ScratchFolder folder;
    const fs::path file = folder.path / "progress.json";

    EXPECT_EQ(AtomicFile::Write(file.string(), "first"), "");
    EXPECT_EQ(AtomicFile::Write(file.string(), "second, longer"), "");
    EXPECT_EQ(FileContents(file), "second, longer");
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));

    // A directory in the way: the rename fails after the temporary file was written.
    fs::create_directory(folder.path / "taken");
    fs::path blocked = folder.path / "taken";
    const std::string renameError = AtomicFile::Write(blocked.string(), "lost");
    EXPECT_NE(renameError.find(blocked.string()), std::string::npos) << renameError;
    EXPECT_FALSE(fs::exists(blocked.string() + ".tmp"));
    EXPECT_TRUE(fs::is_directory(blocked));

    const fs::path nowhere = folder.path / "missing" / "progress.json";
    const std::string createError = AtomicFile::Write(nowhere.string(), "lost");
    EXPECT_NE(createError.find("cannot create"), std::string::npos) << createError;
    EXPECT_EQ(FileContents(file), "second, longer");
}

TEST(UserDataFolder, LiesUnderXdgDataHomeAndIsCreated) {
    game::test::ScratchFolder folder;
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string kept = previous != nullptr ? previous : "";
    setenv("XDG_DATA_HOME", folder.path.c_str(), 1);
    const std::string path = UserDataFolder::Path();
    if (previous != nullptr) {
        setenv("XDG_DATA_HOME", kept.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(fs::path(path), folder.path / "orka" / "platformer" / "");
    EXPECT_TRUE(fs::is_directory(path));
}

}  // namespace
