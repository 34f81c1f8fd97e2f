#include "tests/common/frame_digest.h"

#include "logo/animation_state.h"
#include "logo/curve_rows.h"

namespace {

constexpr uint64_t fnvOffsetBasis = 14695981039346656037ull;
constexpr uint64_t fnvPrime = 1099511628211ull;

void MixWord(uint64_t& digest, uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) {
        digest ^= (word >> shift) & 0xFFu;
        digest *= fnvPrime;
    }
}

void MixInt(uint64_t& digest, int32_t value) {
    MixWord(digest, static_cast<uint32_t>(value));
}

struct DigestSink : StrokeSink {
    uint64_t digest = fnvOffsetBasis;
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
        MixInt(digest, x0);
        MixInt(digest, y0);
        MixInt(digest, x1);
        MixInt(digest, y1);
    }
};

}  // namespace

uint64_t FrameDigest(int32_t frames, int32_t width, int32_t height, const SaverSettings& settings) {
    AnimationState state;
    state.angleStep = AngleStepForSpeed(settings.speed);
    DigestSink sink;
    for (int32_t frame = 0; frame < frames; ++frame) {
        MixWord(sink.digest, PenColour(StepAnimation(state, settings)));
        MixInt(sink.digest, TraceCurveRows(state, settings.margin, width, height, sink));
        AdvanceAngle(state);
    }
    return sink.digest;
}
