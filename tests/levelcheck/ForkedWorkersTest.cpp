#include "levelcheck/ForkedWorkers.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

TEST(ForkedWorkersTest, EveryJobEndsOnceWithItsAnswerOrWhyItHasNone) {
    // Job 3 throws, job 4's process dies.
    const auto job = [](std::size_t index) -> std::string {
        if (index == 3) throw std::runtime_error("no way");
        if (index == 4) kill(getpid(), SIGKILL);
        return std::string(70000 + index, static_cast<char>('a' + index));
    };
    std::map<std::size_t, std::pair<bool, std::string>> ended;
    ForkedWorkers(2).Run(6, job, [&](std::size_t index, bool failed, const std::string& answer) {
        EXPECT_EQ(ended.count(index), 0u) << index;
        ended[index] = {failed, answer};
    });
    ASSERT_EQ(ended.size(), 6u);
    for (const std::size_t index : {0u, 1u, 2u, 5u}) {
        // Longer than a pipe holds at once: read while the others run.
        EXPECT_EQ(ended[index], std::make_pair(false, std::string(70000 + index, 'a' + index)));
    }
    EXPECT_EQ(ended[3], std::make_pair(true, std::string("no way")));
    EXPECT_TRUE(ended[4].first);
    EXPECT_NE(ended[4].second.find("signal"), std::string::npos) << ended[4].second;
    EXPECT_GE(ForkedWorkers::ProcessorCount(), 1);
}

}  // namespace
