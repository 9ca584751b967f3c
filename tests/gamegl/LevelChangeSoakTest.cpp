// A long run of level changes: the test world "drop" (the meadow tiles; the player starts right
// above the goal) is played and drawn frame by frame until its levels have changed a thousand
// times, and whatever a level holds must be given back when it goes.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gamegl/MeadowScene.hpp"
#include "support/Sanitizers.hpp"

namespace {

using game::test::MeadowScene;

constexpr int kWarmUp = 100;  // level changes before the first measurement
constexpr int kChanges = 1000;
constexpr int kSampleEvery = 100;
constexpr int kFramesPerLevel = 60;  // the drop onto the goal takes about ten
// Resident memory moves a little without a leak: the allocator and the GL driver take pages in
// steps as they see fit (a clean run grew once, by 212 KiB). Keeping just one player object per
// change (about 2.5 KiB with its components) grew it by 1.9 MiB over 900 changes, so 512 KiB
// tells the two apart. The heap bytes in use are steadier (a clean run moves by a few KiB) and
// catch smaller leaks: 128 KiB over 900 changes is about 150 bytes per change.
constexpr long kResidentToleranceKiB = 512;
constexpr long kHeapToleranceKiB = 128;

/// The process's resident memory in KiB.
long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

/// The heap bytes in use (every arena of malloc), in KiB.
long HeapInUseKiB() {
    return static_cast<long>(mallinfo2().uordblks / 1024);
}

/// What a level holds in the engine and the physics world at one moment.
struct Footprint {
    int meshes, textures, shaders, bodies, drawnSprites;
    long residentKiB, heapKiB;
};

class LevelChangeSoak : public MeadowScene {
protected:
    void SetUp() override {
        MeadowScene::SetUp();
        folder.CopyFrom(std::string(ORKA_TEST_DATA_DIR) + "/worlds/drop");
        scene.LoadLevel("drop");
    }

    /// Plays drawn frames until the level changes; false when it did not within the limit.
    /// Checks that every object of the old level was destroyed with it.
    bool PlayUntilTheLevelChanges() {
        const int before = LevelId();
        std::vector<std::weak_ptr<GameObject>> old;
        for (const auto& object : scene.GetLevelData().objects) old.push_back(object);
        old.push_back(scene.GetLevelData().cameraObject);
        for (int frame = 0; frame < kFramesPerLevel && LevelId() == before; ++frame) Frame(true);
        if (LevelId() == before) return false;
        for (const auto& object : old) {
            if (!object.expired()) {
                ADD_FAILURE() << "a game object of level " << before << " outlived it";
                return false;
            }
        }
        return true;
    }

    /// Measured after one more drawn frame, so the renderer's counts are of a whole frame.
    /// Freed heap pages go back to the system first: the renderer raises malloc's trim
    /// threshold, so without this, free pages kept for reuse would read as resident growth.
    Footprint Measure() {
        Frame(true);
        malloc_trim(0);
        const orka::RenderStats& stats = renderer.getRenderStats();
        return {stats.meshCount,
                stats.textureCount,
                stats.shaderCount,
                scene.GetWorld()->GetBodyCount(),
                scene.spriteDrawEvent.GetCount(),
                ResidentKiB(),
                HeapInUseKiB()};
    }

    void ExpectTheSameResources(const Footprint& now, const Footprint& first, int changes) {
        EXPECT_EQ(now.meshes, first.meshes) << "after " << changes << " changes";
        EXPECT_EQ(now.textures, first.textures) << "after " << changes << " changes";
        EXPECT_EQ(now.shaders, first.shaders) << "after " << changes << " changes";
        EXPECT_EQ(now.bodies, first.bodies) << "after " << changes << " changes";
        EXPECT_EQ(now.drawnSprites, first.drawnSprites) << "after " << changes << " changes";
    }
};

TEST_F(LevelChangeSoak, AThousandLevelChangesGiveBackEverythingTheyTook) {
    int changes = 0;
    for (; changes < kWarmUp; ++changes) ASSERT_TRUE(PlayUntilTheLevelChanges());
    // Both levels have the same number of bodies and sprites at the same point of the cycle.
    ASSERT_EQ(changes % 2, 0);
    const Footprint first = Measure();
    RecordProperty("first", std::to_string(first.meshes) + " meshes, " +
                                std::to_string(first.textures) + " textures, " +
                                std::to_string(first.shaders) + " shaders, " +
                                std::to_string(first.residentKiB) + " KiB resident, " +
                                std::to_string(first.heapKiB) + " KiB heap");

    std::string residentTrail;
    while (changes < kChanges) {
        for (int i = 0; i < kSampleEvery; ++i, ++changes) {
            ASSERT_TRUE(PlayUntilTheLevelChanges()) << "change " << changes;
        }
        const Footprint now = Measure();
        ExpectTheSameResources(now, first, changes);
        residentTrail += std::to_string(now.residentKiB) + "/" + std::to_string(now.heapKiB) + " ";
    }
    const Footprint last = Measure();
    RecordProperty("resident/heap KiB every 100 changes", residentTrail);
    EXPECT_EQ(LevelId(), 1);
    ExpectTheSameResources(last, first, changes);
    if (test_support::kAddressSanitizer) return;  // its quarantine grows memory by design
    EXPECT_LE(last.residentKiB - first.residentKiB, kResidentToleranceKiB)
        << "resident memory grew from " << first.residentKiB << " KiB to " << last.residentKiB
        << " KiB over " << changes - kWarmUp << " level changes";
    EXPECT_LE(last.heapKiB - first.heapKiB, kHeapToleranceKiB)
        << "the heap in use grew from " << first.heapKiB << " KiB to " << last.heapKiB << " KiB";
}

}  // namespace
