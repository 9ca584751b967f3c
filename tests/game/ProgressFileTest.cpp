#include "game/ProgressFile.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>

#include "support/ScratchFolder.hpp"

namespace {

namespace fs = std::filesystem;
using game::test::FileContents;

/// Everything the game's logger writes to std::cerr while the object lives.
class CapturedErrors {
public:
    CapturedErrors() : previous(std::cerr.rdbuf(captured.rdbuf())) {}
    ~CapturedErrors() { std::cerr.rdbuf(previous); }
    std::string Text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

int Lines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

TEST(ProgressFile, WritesOnlyFinishesThatBeatTheBestAndReadsThemBack) {
    game::test::ScratchFolder folder;
    const fs::path file = folder.path / "progress.json";
    ProgressFile progress(file.string());
    EXPECT_FALSE(progress.BestTime("1level", 1));
    EXPECT_FALSE(fs::exists(file)) << "no file before the first finished level";

    EXPECT_TRUE(progress.RecordFinish("1level", 1, 12.3456));
    EXPECT_TRUE(progress.RecordFinish("1level", 2, 40.1));
    EXPECT_TRUE(progress.RecordFinish("my world", -3, 0.0166667));
    EXPECT_FALSE(progress.RecordFinish("1level", 1, 13.0));
    EXPECT_FALSE(progress.RecordFinish("1level", 1, 12.346)) << "a tie is no better time";
    EXPECT_EQ(progress.BestTime("1level", 1), 12.346);

    const ProgressFile again(file.string());
    EXPECT_EQ(again.BestTime("1level", 1), 12.346);
    EXPECT_EQ(again.BestTime("1level", 2), 40.1);
    EXPECT_EQ(again.BestTime("my world", -3), 0.017);
    EXPECT_FALSE(again.BestTime("1level", 3));
    EXPECT_NE(FileContents(file).find("\"1level\": {\n      \"1\": 12.346,"), std::string::npos)
        << FileContents(file);
}

TEST(ProgressFile, RejectsWholeAnyFileThatIsNotBestTimesAndSaysWhy) {
    const std::pair<const char*, const char*> table[] = {
        {"", "not JSON: The document is empty"},
        {"{\"bestTimes\": {\"1level\": {\"1\": 12.5}}", "not JSON: Missing a comma or '}'"},
        {"[1, 2]", "no object \"bestTimes\" at the top"},
        {"{}", "no object \"bestTimes\" at the top"},
        {"{\"bestTimes\": [12.5]}", "no object \"bestTimes\" at the top"},
        {"{\"bestTimes\": {\"1level\": 12.5}}", "world \"1level\" is not an object of level times"},
        {"{\"bestTimes\": {\"1level\": {\"first\": 12.5}}}",
         "\"first\" in world \"1level\" is not a level number"},
        {"{\"bestTimes\": {\"w\": {\"1 \": 2}}}", "\"1 \" in world \"w\" is not a level number"},
        {"{\"bestTimes\": {\"w\": {\"99999999999\": 2}}}",
         "\"99999999999\" in world \"w\" is not a level number"},
        {"{\"bestTimes\": {\"1level\": {\"2\": \"12.5\"}}}",
         "the time of level 2 in world \"1level\" is not a number"},
        {"{\"bestTimes\": {\"1level\": {\"2\": null}}}",
         "the time of level 2 in world \"1level\" is not a number"},
        {"{\"bestTimes\": {\"1level\": {\"1\": 3, \"2\": -0.5}}}",
         "the time of level 2 in world \"1level\" is negative"},
        {"{\"bestTimes\": {\"1level\": {\"2\": 1e999}}}", "not JSON: Number too big"},
    };
    for (const auto& [text, reason] : table) {
        std::string whyNot;
        EXPECT_FALSE(ProgressFile::Parse(text, whyNot)) << text;
        EXPECT_NE(whyNot.find(reason), std::string::npos) << text << "\n  said: " << whyNot;
    }
}

TEST(ProgressFile, AFileThatCannotBeReadWarnsOnceAndTheBestTimesStartAfresh) {
    game::test::ScratchFolder folder;
    const fs::path inTheWay = folder.path / "progress.json";
    fs::create_directory(inTheWay);
    CapturedErrors errors;
    ProgressFile progress(inTheWay.string());
    EXPECT_FALSE(progress.BestTime("1level", 1));
    EXPECT_EQ(Lines(errors.Text()), 1) << errors.Text();
    EXPECT_NE(errors.Text().find("WARN"), std::string::npos) << errors.Text();
    EXPECT_NE(errors.Text().find(inTheWay.string() + ": cannot be read"), std::string::npos)
        << errors.Text();
    // Moved aside at the next finish, the folder makes way for the file.
    EXPECT_TRUE(progress.RecordFinish("1level", 1, 20.0));
    EXPECT_TRUE(fs::is_directory(inTheWay.string() + ".bad"));
    EXPECT_EQ(ProgressFile(inTheWay.string()).BestTime("1level", 1), 20.0);
}

}  // namespace
