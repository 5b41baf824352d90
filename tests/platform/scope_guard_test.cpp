// The scope guard's clean-up, however its scope is left.
#include "platform/scope_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ScopeGuardTest, RunsItsCleanUpOnceHoweverTheScopeIsLeft)
{
    for (int how : {0, 1, 2}) {  // an early return, an exception, the end of the scope
        int cleanUps = 0;
        const auto guarded = [&] {
            ScopeGuard guard([&] { ++cleanUps; });
            if (how == 0) return;
            if (how == 1) throw std::runtime_error("thrown");
        };
        try {
            guarded();
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(cleanUps, 1) << how;
    }
}

}  // namespace
