// SPDX-License-Identifier: MIT
// Mann-Whitney ranks and U, the pooled exchange sort, and the rankit transformation.
#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string>
#include <vector>

#include "statistics/mann_whitney.h"
#include "statistics/rankit.h"
#include "table_lookup_support.h"

namespace bx {
namespace {

using test::TableLookupFixture;

constexpr auto kAtLeast = Alternative::Less;
constexpr auto kAtMost = Alternative::Greater;

std::vector<double> firstOf(const PooledArray& a, int n) {
    return {a.begin(), a.begin() + n};
}

template <std::size_t N>
std::vector<double> firstOf(const std::array<double, N>& a, int n) {
    return {a.begin(), a.begin() + n};
}

TEST(MannWhitneyKey, LargerCountFirst) {
    EXPECT_EQ(mannWhitneyKey(4, 5), "5,4");
    EXPECT_EQ(mannWhitneyKey(5, 4), "5,4");
    EXPECT_EQ(mannWhitneyKey(10, 10), "10,10");
}

// Test 1, 2, 3 against reference 3, 4, 5, worked by hand: pooled 1, 2, 3, 3, 4, 5 with ranks
// 1, 2, 3.5, 3.5, 5, 6; R1 = 6.5, so U = 9 + 6 - 6.5 = 8.5 for "x1 >= x2".
TEST(MannWhitneyRanks, TiedValuesShareTheirMeanRank) {
    TableLookupFixture t;
    const std::array<double, 3> x1{1, 2, 3};
    const std::array<double, 3> x2{3, 4, 5};
    const MannWhitneyResult r = mannWhitneyU(x1, x2, kAtLeast, 0.05, t.lookup);
    EXPECT_EQ(firstOf(r.pooledRanks, 6), (std::vector<double>{1, 2, 3.5, 3.5, 5, 6}));
    EXPECT_EQ(firstOf(r.ranks1, 3), (std::vector<double>{1, 2, 3.5}));
    EXPECT_EQ(firstOf(r.ranks2, 3), (std::vector<double>{3.5, 5, 6}));
    EXPECT_EQ(r.u, 8.5);
}

// scipy 1.10: U1 = stats.mannwhitneyu(x1, x2).statistic counts the pairs with x1 above x2
// (ties one half): the U of "x1 <= x2"; n1*n2 - U1 is the U of "x1 >= x2". Exact halves.
TEST(MannWhitneyRanks, UAgainstScipy) {
    TableLookupFixture t;
    struct Case {
        std::vector<double> x1, x2;
        double u1;
    };
    const std::vector<double> ten{0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5};
    const Case cases[] = {
        {{1, 2, 3}, {3, 4, 5}, 0.5},
        {{7, 7, 7}, {7, 7, 7}, 4.5},
        {{4.2, 5.1, 3.9, 6.0, 5.5}, {7.1, 6.8, 9.0, 8.2, 7.7, 6.9}, 0.0},
        {{12, 15, 11, 19, 22, 14, 13}, {18, 21, 20, 19, 23}, 5.5},
        {{1, 2, 3, 3, 5}, {3, 4, 5, 6, 7, 8}, 3.5},
        {{0.5, 0.9, 3.4, 7.7, 1.2, 0.8, 2.2, 5.1, 0.3, 1.0},
         {2.0, 2.1, 1.9, 2.2, 2.0, 2.05, 1.95, 2.15, 2.1, 1.85},
         39.5},
        {ten, ten, 50.0},  // twenty pooled values fit
    };
    for (const Case& c : cases) {
        const double pairs = static_cast<double>(c.x1.size() * c.x2.size());
        EXPECT_EQ(mannWhitneyU(c.x1, c.x2, kAtMost, 0.05, t.lookup).u, c.u1);
        EXPECT_EQ(mannWhitneyU(c.x1, c.x2, kAtLeast, 0.05, t.lookup).u, pairs - c.u1);
    }
}

// Rankits of N = 5 from the table: -1.16296, -0.49502, 0, 0.49502, 1.16296 (the expected
// normal order statistics; a numerical integration with scipy gives -1.162964, -0.495019, 0,
// 0.495019, 1.162964). Test 3, 1 and reference 2, 5, 4 take RANK3, RANK1 and RANK2, RANK5,
// RANK4.
TEST(RankitTransform, DistinctValuesTakeTheRankitOfTheirRank) {
    TableLookupFixture t;
    const std::array<double, 2> x1{3, 1};
    const std::array<double, 3> x2{2, 5, 4};
    const RankitResult r = rankits(x1, x2, t.lookup);
    EXPECT_EQ(firstOf(r.pooled, 5), (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(firstOf(r.rankits, 5),
              (std::vector<double>{-1.16296, -0.49502, 0, 0.49502, 1.16296}));
    EXPECT_EQ(firstOf(r.rankits1, 2), (std::vector<double>{0, -1.16296}));
    EXPECT_EQ(firstOf(r.rankits2, 3), (std::vector<double>{-0.49502, 1.16296, 0.49502}));
    EXPECT_TRUE(t.notes.empty());
    // All values equal: each takes the mean of RANK1..RANK6 of the symmetric N = 6 row, 0.
    // (Ties sharing a mean rankit are checked through analyze().)
    const std::array<double, 3> x{4, 4, 4};
    for (double v : firstOf(rankits(x, x, t.lookup).rankits, 6)) {
        EXPECT_NEAR(v, 0.0, 1e-12);
    }
}

// The critical-U table at 0.05 holds 9 for "3,3", reachable with all nine pairs: U equal to
// the critical value rejects. (A critical value above the pairs, which cannot reject, is
// checked through analyze().)
TEST(MannWhitneyCritical, UEqualToTheCriticalValueRejects) {
    TableLookupFixture t;
    const std::array<double, 3> a{1, 2, 3};
    const std::array<double, 3> b{4, 5, 6};
    const MannWhitneyResult full = mannWhitneyU(a, b, kAtLeast, 0.05, t.lookup);
    EXPECT_EQ(full.u, 9.0);
    EXPECT_EQ(full.critical, 9.0);
    EXPECT_FALSE(full.acceptNull);
    EXPECT_FALSE(full.cannotReject);
}

// A key the table does not hold: its own warning and 9999, but no "cannot reject".
TEST(MannWhitneyCritical, MissingKeyIsNotReportedAsCannotReject) {
    TableLookupFixture t;
    const std::array<double, 3> a{1, 2, 3};
    const MannWhitneyResult r =
        mannWhitneyU(a, std::span<const double>(), kAtLeast, 0.05, t.lookup);
    EXPECT_EQ(r.key, "3,");
    EXPECT_EQ(r.critical, 9999.0);
    EXPECT_FALSE(r.cannotReject);
    ASSERT_EQ(t.notes.size(), 1U);
    EXPECT_EQ(t.notes[0].code, NoteCode::CriticalUNotFound);
    EXPECT_EQ(t.notes[0].text, "     WARNING - Nofind Mann-Whitney");
}

}  // namespace
}  // namespace bx
