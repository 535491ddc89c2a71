#include <gtest/gtest.h>

#include "gfx/surface.h"

TEST(Smoke, BuildsAndLinks) { EXPECT_EQ(COLOR_KEY, 240); }
