// The Windows build computes the same frames as the native build: the digest of every pen colour,
// stroke end and row count of 1,000 frames equals the native build's.
#include <gtest/gtest.h>

#include "tests/common/frame_digest.h"

TEST(FrameDigest, ThousandFramesAtDefaultsMatchTheNativeBuild) {
    const SaverSettings defaults = {4, 50, 150, 250.0f};
    EXPECT_EQ(FrameDigest(1000, 800, 600, defaults), 0xad98b06cbbcdbeaeull);
}
