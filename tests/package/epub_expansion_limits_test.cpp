// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_expansion_limits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using qp::ExpansionLimits;

constexpr uint64_t kMiB = 1048576;
constexpr uint64_t kGiB = 1073741824;

TEST(EpubExpansionLimits, RatioCountsOnlyAboveOneMebibyte) {
    EXPECT_FALSE(ExpansionLimits::ratioExceeded(kMiB, 1));
    EXPECT_FALSE(ExpansionLimits::ratioExceeded(kMiB, 0));
    EXPECT_TRUE(ExpansionLimits::ratioExceeded(kMiB + 1, 1));
}

TEST(EpubExpansionLimits, RatioOfExactlyOneThousandPasses) {
    EXPECT_FALSE(ExpansionLimits::ratioExceeded(2000000, 2000));
    EXPECT_TRUE(ExpansionLimits::ratioExceeded(2000001, 2000));
    EXPECT_TRUE(ExpansionLimits::ratioExceeded(2000000, 1999));
    EXPECT_TRUE(ExpansionLimits::ratioExceeded(2 * kMiB, 0));
}

TEST(EpubExpansionLimits, DeclaredTotalStopsAtTwoGibibytes) {
    ExpansionLimits limits;
    EXPECT_TRUE(limits.declare(kGiB, kGiB));
    EXPECT_TRUE(limits.declare(kGiB, kGiB / 2));
    EXPECT_EQ(limits.declaredTotal(), 2 * kGiB);
    EXPECT_FALSE(limits.declare(1, 1));
}

TEST(EpubExpansionLimits, HugeDeclarationsDoNotOverflow) {
    ExpansionLimits limits;
    EXPECT_TRUE(limits.declare(10, 10));
    constexpr uint64_t kHuge = std::numeric_limits<uint64_t>::max();
    EXPECT_FALSE(limits.declare(kHuge, kHuge));
    EXPECT_FALSE(limits.declare(kHuge - 5, kHuge));
}

TEST(EpubExpansionLimits, InflatedBytesAreHeldToTheSameBounds) {
    ExpansionLimits total;
    EXPECT_TRUE(total.inflated(kGiB, kGiB, kGiB));
    EXPECT_TRUE(total.inflated(kGiB, kGiB, kGiB));
    EXPECT_FALSE(total.inflated(1, 1, 1));

    // An entry that declared itself small but keeps inflating from a 1,000-byte stream.
    ExpansionLimits ratio;
    EXPECT_TRUE(ratio.inflated(kMiB, kMiB, 1000));
    EXPECT_FALSE(ratio.inflated(kMiB, 2 * kMiB, 1000));
}

}  // namespace
