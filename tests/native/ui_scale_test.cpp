// ScaleForDpi: lengths for a 96-dpi screen in pixels, halves away from zero.
#include <gtest/gtest.h>

#include "ui/scale.h"

namespace {

struct ScaleCase {
    int v, dpi, expected;
};

TEST(ScaleForDpi, RoundsHalvesAwayFromZero)
{
    const ScaleCase cases[] = {
        {0, 192, 0},
        {10, 96, 10},
        {-10, 96, -10},
        {10, 192, 20},
        {-10, 192, -20},
        {1, 144, 2},
        {-1, 144, -2},  // 1.5 -> 2, -1.5 -> -2
        {3, 144, 5},
        {-3, 144, -5},  // 4.5 -> 5
        {1, 120, 1},
        {-1, 120, -1},  // 1.25 -> 1
        {3, 120, 4},
        {-3, 120, -4},  // 3.75 -> 4
        {2, 72, 2},
        {-2, 72, -2},  // 1.5 -> 2
        {1, 47, 0},
        {-1, 47, 0},  // 0.49 -> 0
        {1, 48, 1},
        {-1, 48, -1},  // 0.5 -> 1
        {129, 131, 176},
        {-129, 131, -176},
        {100, 128, 133},
        {-100, 128, -133},
    };
    for (const ScaleCase& c : cases)
        EXPECT_EQ(ScaleForDpi(c.v, c.dpi), c.expected) << c.v << " at " << c.dpi;
}

TEST(ScaleForDpi, IsSymmetricAroundZero)
{
    for (int dpi : {72, 96, 120, 131, 144, 192})
        for (int v = 0; v <= 300; ++v)
            EXPECT_EQ(ScaleForDpi(-v, dpi), -ScaleForDpi(v, dpi)) << v << " at " << dpi;
}

TEST(ScaleForDpi, LargeLengthsDoNotOverflow)
{
    EXPECT_EQ(ScaleForDpi(20000000, 192), 40000000);
    EXPECT_EQ(ScaleForDpi(-20000000, 192), -40000000);
}

}  // namespace
