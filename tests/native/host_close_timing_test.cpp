#include <gtest/gtest.h>

#include "host/close_timing.h"

namespace {

TEST(CloseTiming, TicksBetweenWrapsModulo32Bits) {
    EXPECT_EQ(TicksBetween(0, 0), 0u);
    EXPECT_EQ(TicksBetween(10, 30), 20u);
    EXPECT_EQ(TicksBetween(0xFFFFFFF0u, 80), 96u);
    EXPECT_EQ(TicksBetween(30, 10), 0xFFFFFFECu);
}

TEST(CloseTiming, WhenTheVerifierMayBeAsked) {
    const struct {
        uint32_t lastVerifyTick;
        uint32_t now;
        bool mayAsk;
    } cases[] = {
        {neverVerifiedTick, 0, true},  // the first request of a run
        {neverVerifiedTick, 12345, true},
        {neverVerifiedTick, 0xFFFFFFFFu, true},
        {1000, 1000, false},
        {1000, 1199, false},
        {1000, 1200, true},
        {0xFFFFFFF0u, 80, false},   // 16 ms before the wrap and 80 ms after it: 96 ms
        {0xFFFFFFF0u, 184, true},   // 200 ms across the wrap
        {0xFFFFFFFEu, 197, false},
        {5, 4, true},               // the counter has gone once round
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MayAskVerifier(c.lastVerifyTick, c.now), c.mayAsk)
            << "last " << c.lastVerifyTick << ", now " << c.now;
    }
}

}  // namespace
