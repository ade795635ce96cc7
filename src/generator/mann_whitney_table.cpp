// SPDX-License-Identifier: MIT
// CRIT_U: for sample sizes a >= b (1 to 10) the smallest whole u with P(U >= u) <= alpha under
// the exact null distribution of U, with all C(a + b, a) arrangements equally likely and no
// ties. Where no u up to a*b qualifies the value is a*b + 1, which U never reaches.

#include "base/text_format.h"
#include "generator/generated_table.h"

namespace bx::gen {

std::vector<unsigned long long> mannWhitneyCounts(int m, int n) {
    // counts[i][j][u]: arrangements of i values of the first sample and j of the second with
    // U = u, U counting the pairs in which the first sample's value is the larger. The
    // largest of the i + j values belongs either to the first sample (it beats all j) or to
    // the second (it beats none of the first).
    std::vector<std::vector<std::vector<unsigned long long>>> counts(
        static_cast<std::size_t>(m + 1),
        std::vector<std::vector<unsigned long long>>(static_cast<std::size_t>(n + 1)));
    for (int i = 0; i <= m; ++i) {
        for (int j = 0; j <= n; ++j) {
            auto& c = counts[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            c.assign((static_cast<std::size_t>(i) * static_cast<std::size_t>(j)) + 1, 0ULL);
            if (i == 0 || j == 0) {
                c[0] = 1;
                continue;
            }
            const auto& firstLargest =
                counts[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j)];
            const auto& secondLargest =
                counts[static_cast<std::size_t>(i)][static_cast<std::size_t>(j - 1)];
            for (std::size_t u = 0; u < firstLargest.size(); ++u) {
                c[u + static_cast<std::size_t>(j)] += firstLargest[u];
            }
            for (std::size_t u = 0; u < secondLargest.size(); ++u) {
                c[u] += secondLargest[u];
            }
        }
    }
    return counts[static_cast<std::size_t>(m)][static_cast<std::size_t>(n)];
}

namespace {

// Smallest u with P(U >= u) <= 1/denominator, compared in whole numbers: tail * denominator
// <= total.
int criticalU(const std::vector<unsigned long long>& counts, unsigned long long denominator) {
    unsigned long long total = 0;
    for (unsigned long long c : counts) {
        total += c;
    }
    const int maxU = static_cast<int>(counts.size()) - 1;
    unsigned long long tail = 0;
    int critical = maxU + 1;
    for (int u = maxU; u >= 0; --u) {
        tail += counts[static_cast<std::size_t>(u)];
        if (tail * denominator > total) {
            break;
        }
        critical = u;
    }
    return critical;
}

}  // namespace

GeneratedTable mannWhitneyTable() {
    GeneratedTable table;
    table.fileName = "CRIT_U.dbf";
    table.fields = {{"N1N2", 'C', 5, 0}, {"A0_10", 'N', 4, 0}, {"A0_05", 'N', 4, 0}};
    for (int a = 1; a <= 10; ++a) {
        for (int b = 1; b <= a; ++b) {
            const auto counts = mannWhitneyCounts(a, b);
            table.rows.push_back({formatNumber(a, "##") + "," + formatNumber(b, "##"),
                                  numberToText(criticalU(counts, 10)),
                                  numberToText(criticalU(counts, 20))});
        }
    }
    return table;
}

}  // namespace bx::gen
