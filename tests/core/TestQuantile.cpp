// Student's t table and its interpolation, checked against an independent quantile computation.
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <gtest/gtest.h>

#include "UUtilitaires.h"

TEST(Quantile, EveryTableEntryMatchesTheDistribution) {
    const double p[TTableRows] = {0.975, 0.99, 0.995, 0.9975, 0.999};
    for (int r = 0; r < TTableRows; ++r) {
        for (int c = 0; c < TTableColumns; ++c) {
            int df = TTableDegrees(c);
            double expected;
            if (df == 0) {
                expected = boost::math::quantile(boost::math::normal_distribution<double>(), p[r]);
            } else {
                expected = boost::math::quantile(boost::math::students_t_distribution<double>(df), p[r]);
            }
            double got = static_cast<double>(TTableEntry(r, c));
            EXPECT_NEAR(got / expected, 1.0, 2e-4) << "row " << r << " df " << df;
        }
    }
}

TEST(Quantile, QuotedValuesAreExact) {
    EXPECT_EQ(TQuantile(0, 1), 12.706L);
    EXPECT_EQ(TQuantile(0, 2), 4.3027L);
    EXPECT_EQ(TQuantile(0, 30), 2.0423L);
    EXPECT_EQ(TQuantile(0, 40), 2.0211L);
    EXPECT_EQ(TQuantile(0, 60), 2.0003L);
    EXPECT_EQ(TQuantile(0, 120), 1.9799L);
    EXPECT_EQ(TQuantile(4, 1), 318.31L);
    EXPECT_EQ(TQuantile(4, 2), 22.326L);
    EXPECT_EQ(TQuantile(4, 30), 3.385L);
}

TEST(Quantile, InterpolatesBetweenColumns) {
    // Halfway between the 30 and 40 columns.
    EXPECT_NEAR(static_cast<double>(TQuantile(0, 35)), (2.0423 + 2.0211) / 2, 1e-12);
    EXPECT_NEAR(static_cast<double>(TQuantile(0, 50)), (2.0211 + 2.0003) / 2, 1e-12);
    EXPECT_NEAR(static_cast<double>(TQuantile(0, 90)), (2.0003 + 1.9799) / 2, 1e-12);
    // Beyond 120 the value tends to the infinity column: t(120) - (t(120) - t(inf)) * (df - 120) / df.
    EXPECT_NEAR(static_cast<double>(TQuantile(0, 240)), 1.9799 - (1.9799 - 1.96) * 0.5, 1e-12);
    EXPECT_LT(TQuantile(4, 100000), TQuantile(4, 1000));
    EXPECT_GT(TQuantile(4, 100000), 3.09L);
    // Degrees of freedom below 1 never read before the table.
    EXPECT_EQ(TQuantile(0, 0), 12.706L);
}
