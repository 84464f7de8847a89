#include "ScopedFlushDenormals.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace
{
    // Keeps the compiler from folding the arithmetic at compile time.
    float multiply (volatile float a, volatile float b)   { return a * b; }
}

TEST (ScopedFlushDenormals, FlushesInsideAndRestoresTheHostsModeAfterwards)
{
    const auto flush = ScopedFlushDenormals::getFlushBits();

    if (flush == 0)
        GTEST_SKIP() << "no flush-to-zero mode on this processor";

    const auto original = ScopedFlushDenormals::getMode();

    for (const auto hostMode : { original & ~flush, original | flush })
    {
        ScopedFlushDenormals::setMode (hostMode);

        {
            ScopedFlushDenormals guard;
            EXPECT_EQ (ScopedFlushDenormals::getMode() & flush, flush);
            EXPECT_EQ (multiply (FLT_MIN, 0.25f), 0.0f);
        }

        EXPECT_EQ (ScopedFlushDenormals::getMode(), hostMode);
    }

    ScopedFlushDenormals::setMode (original & ~flush);
    EXPECT_GT (multiply (FLT_MIN, 0.25f), 0.0f);
    ScopedFlushDenormals::setMode (original);
}
