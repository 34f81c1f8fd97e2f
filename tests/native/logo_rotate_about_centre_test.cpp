#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "logo/rotate_about_centre.h"

namespace {

constexpr float quarterTurn = static_cast<float>(std::numbers::pi / 2);

}  // namespace

TEST(RotateAboutCentre, NamedCases) {
    struct Row {
        const char* name;
        FloatPoint point;
        float width;
        float height;
        float angle;
        FloatPoint expected;
        double tolerance;
    };
    const Row table[] = {
        {"closer than 1.0 keeps its place", {400.5f, 300.5f}, 800, 600, 1.0f, {400.5f, 300.5f}, 0.0},
        {"half-pixel centre, radius 0.7", {400.0f, 300.0f}, 799, 599, 2.0f, {400.0f, 300.0f}, 0.0},
        {"radius exactly 1.0 turns", {401.0f, 300.0f}, 800, 600, quarterTurn, {400.0f, 299.0f}, 1e-4},
        // A growing angle turns counter-clockwise on the screen (y grows downward).
        {"straight above", {400.0f, 100.0f}, 800, 600, 0.5f, {304.11489f, 124.48349f}, 1e-3},
        {"straight below", {400.0f, 500.0f}, 800, 600, 0.5f, {495.88511f, 475.51651f}, 1e-3},
        {"straight left", {200.0f, 300.0f}, 800, 600, 0.5f, {224.48349f, 395.88511f}, 1e-3},
        {"straight above, angle 0", {400.0f, 100.0f}, 800, 600, 0.0f, {400.0f, 100.0f}, 1e-4},
        {"799 x 599 turns about (399.5, 299.5)", {409.5f, 299.5f}, 799, 599, quarterTurn, {399.5f, 289.5f}, 1e-4},
    };
    for (const Row& row : table) {
        FloatPoint p = row.point;
        RotateAboutCentre(p, row.width, row.height, row.angle);
        if (row.tolerance == 0.0) {
            EXPECT_EQ(p.x, row.expected.x) << row.name;
            EXPECT_EQ(p.y, row.expected.y) << row.name;
        } else {
            EXPECT_NEAR(p.x, row.expected.x, row.tolerance) << row.name;
            EXPECT_NEAR(p.y, row.expected.y, row.tolerance) << row.name;
        }
    }
}

// Every quadrant and axis, compared with the rotation matrix for -angle.
TEST(RotateAboutCentre, TurnsEveryDirectionByMinusTheAngle) {
    const float width = 1024.0f;
    const float height = 767.0f;
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    for (int direction = 0; direction < 48; ++direction) {
        const double phi = direction * std::numbers::pi / 24;
        for (const double radius : {1.5, 37.25, 600.0}) {
            for (const float angle : {0.0f, 0.04f, 1.0f, 3.5f, 6.2f}) {
                const FloatPoint start = {static_cast<float>(cx + radius * std::cos(phi)),
                                          static_cast<float>(cy + radius * std::sin(phi))};
                const double dx = start.x - cx;
                const double dy = start.y - cy;
                const double expectedX = cx + dx * std::cos(angle) + dy * std::sin(angle);
                const double expectedY = cy - dx * std::sin(angle) + dy * std::cos(angle);
                FloatPoint p = start;
                RotateAboutCentre(p, width, height, angle);
                ASSERT_NEAR(p.x, expectedX, 2e-3) << direction << " " << radius << " " << angle;
                ASSERT_NEAR(p.y, expectedY, 2e-3) << direction << " " << radius << " " << angle;
            }
        }
    }
}

TEST(RotateAboutCentre, APointBesideTheAxisWhoseRoundedRadiusFallsShortStaysFinite) {
    // Centre 400.5: dx = 8388608.5 is no float, dy is too small to change the double radius, and
    // the radius rounds (half to even) down to 8388608, below |dx|.
    for (float x : {8389009.0f, 400.5f - 8388608.5f}) {
        FloatPoint p{x, 300.01f};
        RotateAboutCentre(p, 801.0f, 600.0f, 0.7f);
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << x;
    }
}
