#include "logo/rotate_about_centre.h"

#include <algorithm>
#include <cmath>
#include <limits>

// Rounding a double beyond the float range gives an infinity, as IEEE 754 defines it.
static_assert(std::numeric_limits<float>::is_iec559);

namespace {

constexpr double halfTurn = 3.1415926535;
constexpr double fullTurn = 6.283185307;
constexpr double minimumRadius = 1.0;

}  // namespace

void RotateAboutCentre(FloatPoint& point, float width, float height, float angle) {
    const float cx = static_cast<float>(static_cast<double>(width) * 0.5);
    const double cy = static_cast<double>(height) * 0.5;
    const double dx = static_cast<double>(point.x) - cx;
    const double dy = static_cast<double>(point.y) - cy;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r < minimumRadius) return;

    const float rs = static_cast<float>(r);
    // The radius is rounded to a float, so |dx| / rs can come out a hair above 1 when dy is tiny;
    // clamped, such a point lies on the axis instead of becoming NaN.
    const double baseAngle = std::acos(std::min(1.0, std::fabs(dx) / rs));
    // The quadrant is chosen from the signs of the offsets as 32-bit floats.
    const bool left = static_cast<float>(dx) < 0.0f;
    const bool above = static_cast<float>(dy) < 0.0f;
    double theta;
    if (left && !above) {
        theta = halfTurn - baseAngle;
    } else if (left && above) {
        theta = baseAngle + halfTurn;
    } else if (above) {
        theta = fullTurn - baseAngle;
    } else {
        theta = baseAngle;
    }

    const double turned = theta - static_cast<double>(angle);
    point.x = static_cast<float>(rs * std::cos(turned) + static_cast<double>(width) * 0.5);
    point.y = static_cast<float>(rs * std::sin(turned) + static_cast<double>(height) * 0.5);
}
