// SPDX-License-Identifier: MIT
// RANKIT: the expected value of the i-th smallest of N independent standard normal values,
//   E(i, N) = N!/((i-1)!(N-i)!) * integral of x phi(x) Phi(x)^(i-1) (1 - Phi(x))^(N-i) dx,
// by adaptive Gauss-Kronrod quadrature over the whole line, then made exactly antisymmetric
// (E(i) = -E(N+1-i), the middle one 0) by averaging each pair, and rounded to 5 decimals.

#include <boost/math/distributions/normal.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/special_functions/binomial.hpp>
#include <cmath>
#include <limits>

#include "base/text_format.h"
#include "generator/generated_table.h"

namespace bx::gen {
namespace {

double expectedOrderStatistic(int i, int n) {
    const boost::math::normal standard;
    const double weight = n * boost::math::binomial_coefficient<double>(
                                  static_cast<unsigned>(n - 1), static_cast<unsigned>(i - 1));
    const auto integrand = [&](double x) {
        const double below = boost::math::cdf(standard, x);
        const double above = boost::math::cdf(boost::math::complement(standard, x));
        return x * boost::math::pdf(standard, x) * std::pow(below, i - 1) * std::pow(above, n - i);
    };
    const double inf = std::numeric_limits<double>::infinity();
    return weight * boost::math::quadrature::gauss_kronrod<double, 61>::integrate(integrand, -inf,
                                                                                  inf, 15, 1e-12);
}

}  // namespace

GeneratedTable rankitTable() {
    GeneratedTable table;
    table.fileName = "RANKIT.dbf";
    table.fields.push_back({"N", 'C', 2, 0});
    for (int r = 1; r <= 20; ++r) {
        table.fields.push_back({"RANK" + formatNumber(r, "##"), 'N', 9, 5});
    }
    for (int n = 1; n <= 20; ++n) {
        std::vector<double> e(static_cast<std::size_t>(n));
        for (int i = 1; i <= n; ++i) {
            e[static_cast<std::size_t>(i - 1)] = expectedOrderStatistic(i, n);
        }
        std::vector<std::string> row{formatNumber(n, "##")};
        for (int i = 1; i <= n; ++i) {
            const double value =
                (e[static_cast<std::size_t>(i - 1)] - e[static_cast<std::size_t>(n - i)]) / 2.0;
            row.push_back(formatNumber(value, "#0.00000"));
        }
        table.rows.push_back(std::move(row));  // RANK fields beyond N stay blank
    }
    return table;
}

}  // namespace bx::gen
