#include "platform/scope_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Leaves the guarded scope by returning early, by falling off its end or by an exception.
int guarded(int how, int& cleanUps)
{
    ScopeGuard guard([&] { ++cleanUps; });
    if (how == 0) return 0;
    if (how == 1) throw std::runtime_error("thrown");
    return 2;
}

TEST(ScopeGuardTest, RunsItsCleanUpOnceHoweverTheScopeIsLeft)
{
    for (int how : {0, 1, 2}) {
        int cleanUps = 0;
        try {
            guarded(how, cleanUps);
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(cleanUps, 1) << how;
    }
}

}  // namespace
