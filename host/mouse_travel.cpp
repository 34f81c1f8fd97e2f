#include "host/mouse_travel.h"

namespace {

// |a - b| as an unsigned number; it always fits, even for INT32_MIN and INT32_MAX.
uint32_t Distance(int32_t a, int32_t b) {
    const uint32_t ua = static_cast<uint32_t>(a);
    const uint32_t ub = static_cast<uint32_t>(b);
    return a >= b ? ua - ub : ub - ua;
}

}  // namespace

bool MovedBeyondThreshold(CursorPoint anchor, CursorPoint current, uint32_t threshold) {
    const uint32_t dx = Distance(current.x, anchor.x);
    const uint32_t dy = Distance(current.y, anchor.y);
    // dx + dy > threshold, without letting the sum wrap.
    return dx > threshold || dy > threshold - dx;
}
