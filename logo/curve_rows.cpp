#include "logo/curve_rows.h"

#include <algorithm>
#include <cmath>

#include "logo/rotate_about_centre.h"
#include "logo/truncate_coordinate.h"

namespace {

// The point of one row after rotation, and its two displaced copies rounded to 32-bit floats.
struct RowPoint {
    float unrotatedX;
    FloatPoint at;
    FloatPoint plus;
    FloatPoint minus;
};

RowPoint MakeRowPoint(const AnimationState& state, double rowValue, int32_t width, int32_t height) {
    const float unrotatedX = CurveAbscissa(state.scale, rowValue, width / 2, height / 2);
    FloatPoint at = {unrotatedX, static_cast<float>(rowValue)};
    RotateAboutCentre(at, static_cast<float>(width), static_cast<float>(height), state.angle);
    const double dx = state.driftX;
    const double dy = state.driftY;
    return {unrotatedX,
            at,
            {static_cast<float>(at.x + dx), static_cast<float>(at.y + dy)},
            {static_cast<float>(at.x - dx), static_cast<float>(at.y - dy)}};
}

void Stroke(StrokeSink& sink, double x0, double y0, double x1, double y1) {
    sink.Stroke(TruncateCoordinate(x0), TruncateCoordinate(y0), TruncateCoordinate(x1),
                TruncateCoordinate(y1));
}

void TraceRow(StrokeSink& sink, const RowPoint& p, const RowPoint& q, double w, double h,
              double dx, double dy) {
    // The mirrored displaced ends are formed from the rounded displaced points; dx and dy hold
    // 32-bit values, so the doubled drift is exact in double precision.
    Stroke(sink, p.at.x, p.at.y, q.at.x, q.at.y);
    Stroke(sink, w - p.at.x, h - p.at.y, w - q.at.x, h - q.at.y);
    Stroke(sink, p.plus.x, p.plus.y, q.plus.x, q.plus.y);
    Stroke(sink, w - p.plus.x + 2.0 * dx, h - p.plus.y + 2.0 * dy,
           w - q.plus.x + 2.0 * dx, h - q.plus.y + 2.0 * dy);
    Stroke(sink, p.minus.x, p.minus.y, q.minus.x, q.minus.y);
    Stroke(sink, w - p.minus.x - 2.0 * dx, h - p.minus.y - 2.0 * dy,
           w - q.minus.x - 2.0 * dx, h - q.minus.y - 2.0 * dy);
    Stroke(sink, q.minus.x, q.minus.y, q.plus.x, q.plus.y);
    Stroke(sink, w - q.minus.x, h - q.minus.y, w - q.plus.x, h - q.plus.y);
}

}  // namespace

float CurveAbscissa(float scale, double rowValue, int32_t halfWidth, int32_t halfHeight) {
    const double t = static_cast<double>(scale) * rowValue - halfHeight;
    return static_cast<float>(halfWidth - ((t * t * t) * 0.0004 - (t * 3000) * 0.0004) * (-2.0));
}

int32_t TraceCurveRows(const AnimationState& state, float margin, int32_t width, int32_t height,
                       StrokeSink& sink) {
    const double limit = static_cast<double>(width) - static_cast<double>(margin);
    double rowValue = height / 2 + 1;
    RowPoint q = MakeRowPoint(state, rowValue, width, height);
    if (!(q.at.x < limit)) return 0;

    // Row k (k = 1 first) joins two points whose unrotated y is at least hH + k - 1, so its whole
    // segment lies at least k - 1.5 from the centre (H/2 <= hH + 0.5). Rotation and mirroring keep
    // that distance, the drift moves it by at most sqrt(2)|drift|, truncation and rasterizing by
    // less than 2.5: once k > halfDiagonal + 1.415|drift| + 4 no row can touch the surface. A frame
    // never has more than width + height + 16 rows, whatever the settings.
    const double w = width;
    const double h = height;
    const double dx = state.driftX;
    const double dy = state.driftY;
    const double visibleRows =
        std::sqrt(w * w + h * h) / 2.0 + 1.415 * std::max(std::fabs(dx), std::fabs(dy)) + 4.0;
    const int64_t rowCap = int64_t{width} + int64_t{height} + 16;
    if (rowCap < 1) return 0;

    RowPoint p = q;
    int32_t rows = 0;
    for (;;) {
        TraceRow(sink, p, q, w, h, dx, dy);
        ++rows;
        if (!(q.unrotatedX < limit)) break;
        if (rows + 1 > visibleRows || rows + 1 > rowCap) break;
        p = q;
        rowValue += 1.0;
        q = MakeRowPoint(state, rowValue, width, height);
    }
    return rows;
}
