#pragma once

// Sprite numbers of the default atlas. A sprite is named "<number>.png" in the atlas, and
// tile type N of the default world shows sprite N, so these numbers are also the tile types
// (the player's frames 51 to 55 and the reached checkpoint flag have no tile type of their own).
namespace sprites {

// Ground tiles come in 16 variants: 4 vertical kinds times 4 horizontal kinds.
enum class GroundRow { GrassTop = 0, Dirt = 1, Bottom = 2, GrassBottom = 3 };
enum class GroundSide { Inner = 0, Left = 1, Right = 2, Both = 3 };

constexpr int groundFirst = 1;
constexpr int groundKinds = 4;
constexpr int groundCount = groundKinds * groundKinds;

// The sprite of one ground variant: 1 to 16.
constexpr int ground(GroundRow row, GroundSide side) {
    return groundFirst + static_cast<int>(row) * groundKinds + static_cast<int>(side);
}

constexpr int platformSingle = 20;
constexpr int platformLeft = 21;
constexpr int platformMiddle = 22;
constexpr int platformRight = 23;
constexpr int stoneBlock = 24;
constexpr int crate = 30;
constexpr int goal = 40;

// The player's frames, in the order of the "animation" key.
constexpr int playerIdle = 50;
constexpr int playerWalk1 = 51;
constexpr int playerWalk2 = 52;
constexpr int playerJump = 53;
constexpr int playerCheer = 54;  // never shown by the game; kept for completeness
constexpr int playerFall = 55;

constexpr int cloudLarge = 60;
constexpr int cloudSmall = 61;
constexpr int grassTuft = 62;
constexpr int flowerRed = 63;
constexpr int flowerBlue = 64;
constexpr int bush = 65;
constexpr int rock = 66;
constexpr int signArrow = 67;
constexpr int mushroom = 68;
constexpr int tree = 69;
constexpr int star = 70;
constexpr int moon = 71;
constexpr int fence = 72;
constexpr int lantern = 73;

// Tiles with a behaviour of their own. The reached checkpoint flag is shown by the checkpoint
// once the player has touched it; it has no tile type of its own.
constexpr int spikes = 80;
constexpr int checkpoint = 81;
constexpr int checkpointReached = 82;
constexpr int coin = 83;
constexpr int woodenBridge = 84;
constexpr int movingPlatform = 85;

// The layers of the levels' "backdrop", back to front; as tall as the game's view.
constexpr int backdropSky = 90;
constexpr int backdropStars = 91;
constexpr int backdropHills = 92;

}  // namespace sprites
