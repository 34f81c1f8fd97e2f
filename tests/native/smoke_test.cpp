#include <gtest/gtest.h>

#include "settings/saver_settings.h"

TEST(SaverSettingsRecord, StartsWithTheDefaults) {
    EXPECT_EQ(saverSettings.speed, 4);
    EXPECT_EQ(saverSettings.xOffset, 50);
    EXPECT_EQ(saverSettings.yOffset, 150);
    EXPECT_EQ(saverSettings.margin, 250.0f);
}
