#include <gtest/gtest.h>

#include "tests/common/frame_digest.h"

// The same frames on every build: the Windows build checks the same constant.
TEST(FrameDigest, ThousandFramesAtDefaults) {
    const SaverSettings defaults = {4, 50, 150, 250.0f};
    EXPECT_EQ(FrameDigest(1000, 800, 600, defaults), 0xad98b06cbbcdbeaeull);
    EXPECT_NE(FrameDigest(999, 800, 600, defaults), FrameDigest(1000, 800, 600, defaults));
    EXPECT_NE(FrameDigest(1000, 800, 600, {4, 50, 150, 249.0f}), FrameDigest(1000, 800, 600, defaults));
}
