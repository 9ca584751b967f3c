// What a level holds besides its tiles, drawn in Tiled: the backdrop as image layers under the
// tiles, the camera as map properties. Both of Tiled's formats say the same.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

/// The level both maps below import to: the sky fixed at a tenth of the view's motion (a
/// layer of 0.2 in a group of 0.5), the hills moving with the tiles, the camera's lead given
/// twice (the flat property wins over the class member).
const std::string kLevel = R"({
  "id": 7,
  "name": "Hills",
  "deathLevelInY": -42,
  "backdrop": [{"sprite": 90, "parallax": 0.1}, {"sprite": 91, "parallax": 1}],
  "camera": {"lead": 80, "band": 60, "ease": 0.25},
  "arrayOfTiles": [
    [[10, 0, 1], [11, 2, 1]],
    [[10, 2, 0]]
  ]
}
)";

const std::string kNotes =
    "map.%: note: layer \"Cloud\" is drawn over tiles and left out: the game draws the backdrop "
    "behind every tile; move it below the tile layers\n"
    "map.%: note: 1 hidden layer is left out of the level: \"Moon\"\n";

std::string Replaced(std::string text, const std::string& extension) {
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%')) {
        text.replace(at, 1, extension);
    }
    return text;
}

TEST(LevelKeys, BackdropAndCameraComeFromImageLayersAndMapProperties) {
    Folder folder;
    MapParts parts;
    parts.properties =
        R"([{"name":"camera","type":"class","propertytype":"Camera","value":{"lead":70,"band":60}},)"
        R"({"name":"cameraEase","type":"float","value":0.25},)"
        R"({"name":"cameraLead","type":"float","value":80},)" +
        kProperties.substr(1);
    parts.layers = R"([{"type":"group","name":"Sky","parallaxx":0.5,"layers":[)"
                   R"({"type":"imagelayer","name":"Stars","image":"art/90.png","parallaxx":0.2}]},)"
                   R"({"type":"imagelayer","name":"Moon","image":"92.png","visible":false},)"
                   R"({"type":"imagelayer","name":"Hills","image":"91.png"},)" +
                   ArrayLayer("a", {1, 0, 2, 0, 0, 1}) +
                   R"(,{"type":"imagelayer","name":"Cloud","image":"93.png"}])";
    folder.Write("map.tmj", MapText(parts));
    folder.Write(
        "map.tmx",
        R"(<map orientation="orthogonal" width="3" height="2" tilewidth="21" tileheight="21">)"
        R"(<properties><property name="camera" type="class" propertytype="Camera"><properties>)"
        R"(<property name="band" type="float" value="60"/><property name="lead" type="float" )"
        R"(value="70"/></properties></property><property name="cameraEase" type="float" )"
        R"(value="0.25"/><property name="cameraLead" type="float" value="80"/><property )"
        R"(name="deathLevelInY" type="float" value="-42"/><property name="id" type="int" )"
        R"(value="7"/><property name="name" value="Hills"/></properties>)"
        R"(<tileset firstgid="1" name="t" tilecount="4"><tile id="0"><properties><property )"
        R"(name="tileType" type="int" value="10"/></properties></tile><tile id="1"><properties>)"
        R"(<property name="tileType" type="int" value="11"/></properties></tile></tileset>)"
        R"(<group name="Sky" parallaxx="0.5"><imagelayer name="Stars" parallaxx="0.2"><image )"
        R"(source="art/90.png" width="16" height="300"/></imagelayer></group><imagelayer )"
        R"(name="Moon" visible="0"><image source="92.png"/></imagelayer><imagelayer )"
        R"(name="Hills"><image source="91.png"/></imagelayer><layer name="a" width="3" )"
        R"(height="2"><data encoding="csv">1,0,2,0,0,1</data></layer><imagelayer name="Cloud">)"
        R"(<image source="93.png"/></imagelayer></map>)");

    for (const std::string extension : {"tmj", "tmx"}) {
        SCOPED_TRACE(extension);
        const test_support::CommandResult run = folder.Import("map." + extension + " level.json");

        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, Replaced(kNotes, extension) +
                                  "level.json: level 7 with 3 tiles, from map." + extension + "\n");
        EXPECT_EQ(folder.Read("level.json"), kLevel);
    }
}

}  // namespace
}  // namespace levelimport::test
