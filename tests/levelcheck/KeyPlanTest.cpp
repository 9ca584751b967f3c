#include "levelcheck/KeyPlan.hpp"

#include <gtest/gtest.h>

#include "levelcheck/InputScript.hpp"

namespace {

constexpr KeySet kRightJump = kRightKey | kSpaceKey;

TEST(KeyPlanTest, SpansWithTheSameKeysMergeAndTruncationCutsTheLastOne) {
    KeyPlan plan;
    plan.Hold(kRightKey, 10);
    plan.Hold(kRightKey, 5);
    plan.Hold(kRightJump, 0);
    plan.Hold(kRightJump, 6);
    plan.Hold(kNoKeys, 4);
    ASSERT_EQ(plan.GetSpans().size(), 3u);
    EXPECT_EQ(plan.GetSpans()[0].frames, 15);
    EXPECT_EQ(plan.GetFrames(), 25);
    EXPECT_EQ(plan.GetLastKeys(), kNoKeys);

    const KeyPlan cut = plan.Truncated(18);
    EXPECT_EQ(cut.GetFrames(), 18);
    EXPECT_EQ(cut.GetLastKeys(), kRightJump);
    EXPECT_EQ(plan.Truncated(100), plan);
    EXPECT_EQ(KeyPlan::FromSpans({{kLeftKey, 3}, {kLeftKey, 4}}).GetSpans().size(), 1u);
}

TEST(KeyPlanTest, TheScriptHasOneEventPerKeyChangeAndReadsBackAsTheSameKeys) {
    const KeyPlan plan = KeyPlan::FromSpans(
        {{kRightKey, 20}, {kRightJump, 6}, {kLeftKey, 10}, {kNoKeys, 5}, {kSpaceKey, 3}});
    const std::string script = plan.ToScript("# found\n", {"column 1, row 1", "", "column 3, row 2"});
    EXPECT_EQ(script,
              "# found\n"
              "0 down Right  # column 1, row 1\n"
              "20 down Space\n"
              "26 up Right  # column 3, row 2\n"
              "26 up Space\n"
              "26 down Left\n"
              "36 up Left\n"
              "41 down Space\n");
    EXPECT_EQ(plan.CountKeyEvents(), 7);
    EXPECT_EQ(plan.GetLastEventFrame(), 41);
    EXPECT_EQ(KeyPlan::FromSpans({{kNoKeys, 30}}).GetLastEventFrame(), 0);
    // The comments are comments: --play reads the events alone.
    EXPECT_EQ(InputScript::Parse(script, "found.txt").GetEvents().size(), 7u);
}

}  // namespace
