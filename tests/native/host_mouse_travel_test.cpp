#include <gtest/gtest.h>

#include "host/mouse_travel.h"

namespace {

TEST(MouseTravel, HorizontalPlusVerticalDistanceAgainstTheThreshold) {
    const CursorPoint anchor = {100, 100};
    const struct {
        CursorPoint current;
        bool moved;
    } cases[] = {
        {{100, 100}, false}, {{103, 101}, false}, {{103, 102}, true}, {{104, 100}, false},
        {{105, 100}, true}, {{96, 100}, false}, {{95, 100}, true}, {{100, 95}, true},
        {{98, 98}, false}, {{97, 98}, true}, {{102, 97}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MovedBeyondThreshold(anchor, c.current, 4), c.moved)
            << "to " << c.current.x << "," << c.current.y;
    }
}

TEST(MouseTravel, ExtremeCoordinatesAndThresholds) {
    const struct {
        CursorPoint anchor;
        CursorPoint current;
        uint32_t threshold;
        bool moved;
    } cases[] = {
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, 4, true},  // the sum exceeds 32 bits
        {{INT32_MAX, 0}, {INT32_MIN, 0}, 4, true},
        {{INT32_MIN, 0}, {INT32_MIN + 4, 0}, 4, false},
        {{0, INT32_MAX}, {0, INT32_MAX - 5}, 4, true},
        {{INT32_MIN, 0}, {INT32_MAX, 0}, UINT32_MAX, false},  // distance exactly 2^32 - 1
        {{INT32_MIN, 0}, {INT32_MAX, 1}, UINT32_MAX, true},
        {{7, 7}, {7, 7}, 0, false},
        {{7, 7}, {7, 8}, 0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MovedBeyondThreshold(c.anchor, c.current, c.threshold), c.moved)
            << c.anchor.x << "," << c.anchor.y << " to " << c.current.x << "," << c.current.y
            << " threshold " << c.threshold;
    }
}

}  // namespace
