// levelimport --watch run as a world builder runs it beside Tiled: each save of the map or of
// its tileset, whether renamed into place or rewritten in place, imports again; a save that
// does not import leaves the level file alone; Ctrl+C ends it with exit code 0.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "levelimport/MapFixtures.hpp"
#include "support/Patience.hpp"
#include "support/WatchingImporter.hpp"

namespace levelimport::test {
namespace {

using ::testing::HasSubstr;

/// `levelimport --watch map.tmx castle3.json` in `folder`, its output in watch.log there.
class WatchingImporter : public test_support::WatchingImporter {
public:
    explicit WatchingImporter(const Folder& folder)
        : test_support::WatchingImporter(ORKA_LEVELIMPORT_PATH, folder.path, "map.tmx",
                                         "castle3.json") {}
};

std::string Fixture(const std::string& name) {
    std::ifstream stream(std::string(ORKA_TEST_DATA_DIR) + "/tiled/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

/// The csv fixture's map with its tileset in world.tsx and `csv` as its layer.
std::string MapWithLayer(const std::string& csv) {
    std::string map = Fixture("zlib.tmx");
    const std::size_t start = map.find("<data");
    const std::size_t end = map.find("</data>") + 7;
    return map.substr(0, start) + "<data encoding=\"csv\">" + csv + "</data>" + map.substr(end);
}

/// As an editor that writes safely saves: a new file, renamed over the old one.
void SaveByRename(const Folder& folder, const std::string& name, const std::string& text) {
    folder.Write(name + ".saving", text);
    std::filesystem::rename(folder.path / (name + ".saving"), folder.path / name);
}

/// The names of the files written into (or renamed into) and deleted in a folder, in the
/// order it happened, from when it was made.
class FolderEvents {
public:
    explicit FolderEvents(const Folder& folder) : fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd, folder.path.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE);
    }
    ~FolderEvents() { close(fd); }
    FolderEvents(const FolderEvents&) = delete;
    FolderEvents& operator=(const FolderEvents&) = delete;

    /// "written <name>" or "deleted <name>" for each event so far.
    std::vector<std::string> Read() {
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = read(fd, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0) {
                    events.push_back(((event->mask & IN_DELETE) ? "deleted " : "written ") +
                                     std::string(event->name));
                }
                at += sizeof(inotify_event) + event->len;
            }
        }
        return events;
    }

private:
    int fd;
    std::vector<std::string> events;
};

TEST(Watch, ImportsEachSaveOfTheMapAndItsTilesetUntilCtrlC) {
    Folder folder;
    folder.Write("world.tsx", Fixture("world.tsx"));
    folder.Write("map.tmx", MapWithLayer("1,0,2,0,0,1"));
    WatchingImporter watch(folder);
    ASSERT_TRUE(watch.WaitForLine("castle3.json: level 7 with 3 tiles, from map.tmx"))
        << watch.Output();

    SaveByRename(folder, "map.tmx", MapWithLayer("1,1,2,0,0,1"));
    ASSERT_TRUE(watch.WaitForLine("castle3.json: level 7 with 4 tiles, from map.tmx"))
        << watch.Output();
    const std::string goodLevel = folder.Read("castle3.json");

    folder.Write("map.tmx", "<map>\n</mop>\n");  // rewritten in place, and broken
    ASSERT_TRUE(watch.WaitForLine("map.tmx: 1 problem, castle3.json not written"))
        << watch.Output();
    EXPECT_THAT(watch.Output(),
                HasSubstr("map.tmx: the XML is not well formed at line 2, column 3"));
    EXPECT_EQ(folder.Read("castle3.json"), goodLevel) << "the last good level stays";

    EXPECT_TRUE(std::filesystem::exists(folder.path / "castle3.json.problem"));

    // Mending the map, then giving tile 0 another tile type in the tileset. The problem goes
    // before the level is written: a game reloading on that write must not find it.
    FolderEvents events(folder);
    SaveByRename(folder, "map.tmx", MapWithLayer("1,1,2,0,0,1"));
    ASSERT_TRUE(watch.WaitForLine("castle3.json: level 7 with 4 tiles, from map.tmx", 2));
    const std::vector<std::string> seen = events.Read();
    const auto at = [&](const std::string& event) {
        return std::find(seen.begin(), seen.end(), event) - seen.begin();
    };
    EXPECT_LT(at("deleted castle3.json.problem"), at("written castle3.json"))
        << ::testing::PrintToString(seen);
    std::string tileset = Fixture("world.tsx");
    tileset.replace(tileset.find("value=\"10\""), 10, "value=\"12\"");
    SaveByRename(folder, "world.tsx", tileset);
    ASSERT_TRUE(watch.WaitForLine("castle3.json: level 7 with 4 tiles, from map.tmx", 3));
    EXPECT_THAT(folder.Read("castle3.json"), HasSubstr("[[12, 0, 1], [12, 1, 1]"));

    // A burst of writes is one import, or a few, not one per write.
    constexpr int kWrites = 20;
    for (int i = 0; i < kWrites; ++i) folder.Write("map.tmx", MapWithLayer("1,1,2,0,1,1"));
    ASSERT_TRUE(watch.WaitForLine("castle3.json: level 7 with 5 tiles, from map.tmx"));
    // Files of no concern in the same folder import nothing.
    folder.Write("notes.txt", "not a map");

    EXPECT_EQ(watch.Interrupt(), 0) << watch.Output();
    EXPECT_LT(watch.Count("castle3.json: level 7 with 5 tiles, from map.tmx"), kWrites);
    EXPECT_EQ(watch.Count("castle3.json: level 7 with 4 tiles, from map.tmx"), 3);
}

}  // namespace
}  // namespace levelimport::test
