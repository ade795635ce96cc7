#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The comparisons of the benchmarks done with scipy, the package users would otherwise reach
for: the Shapiro-Wilk test on the pooled residuals, Levene's test as a t-test on the absolute
residuals, then Student's t, Welch's t, Mann-Whitney, rankits with a t-test, or the one-sample
t-test, chosen the same way. Prints the time per comparison in microseconds as JSON."""

import json
import os
import sys
import tempfile
import time
import warnings

import numpy as np
from scipy import stats

ALPHA = 0.05

PATHS = {
    "StudentT": ([10.2, 11.5, 9.8, 10.9, 11.1, 10.4, 9.6, 10.8, 11.3, 10.0],
                 [12.1, 11.8, 12.6, 12.9, 11.5, 12.3, 12.0, 13.1, 11.9, 12.4]),
    "ApproximateT": ([10.2, 10.9, 9.8, 10.5, 10.0, 10.4, 9.6, 10.7, 10.3, 10.1],
                     [12.1, 9.0, 15.2, 11.0, 13.9, 10.2, 14.1, 12.8, 8.3, 12.6]),
    "MannWhitney": ([10] * 9 + [30], [20] * 9 + [40]),
    "RankitsTied": ([5] * 10, [5] * 9 + [6]),
    "OneSample": ([8, 9, 10, 11, 12, 13, 9, 10, 11, 10], [12] * 10),
}


def levene(x1, x2):
    return stats.ttest_ind(np.abs(x1 - x1.mean()), np.abs(x2 - x2.mean())).pvalue > 2 * ALPHA


def compare(x1, x2):
    x1 = np.asarray(x1, dtype=float)
    x2 = np.asarray(x2, dtype=float)
    if len(x2) >= 3 and np.all(x2 == x2[0]):
        return stats.ttest_1samp(x1, x2[0], alternative="less")
    residuals = np.concatenate([x1 - x1.mean(), x2 - x2.mean()])
    normal = np.ptp(residuals) > 0 and stats.shapiro(residuals).pvalue > ALPHA
    homoscedastic = levene(x1, x2)
    if normal:
        return stats.ttest_ind(x1, x2, equal_var=homoscedastic, alternative="less")
    if homoscedastic:
        return stats.mannwhitneyu(x1, x2, alternative="less")
    pooled = np.concatenate([x1, x2])
    n = len(pooled)
    rankits = stats.norm.ppf((stats.rankdata(pooled) - 0.375) / (n + 0.25))
    r1, r2 = rankits[: len(x1)], rankits[len(x1):]
    return stats.ttest_ind(r1, r2, equal_var=levene(r1, r2), alternative="less")


def per_comparison_us(pairs, min_seconds=1.0):
    done = 0
    start = time.perf_counter()
    while True:
        for x1, x2 in pairs:
            compare(x1, x2)
        done += len(pairs)
        elapsed = time.perf_counter() - start
        if elapsed >= min_seconds:
            return elapsed / done * 1e6


def survey_pairs(path, limit):
    samples = {}
    with open(path) as f:
        next(f)
        for line in f:
            sample, value = line.rstrip("\n").split(",")
            samples.setdefault(sample, []).append(float(value))
    reference = samples.pop("REF")
    return [(values, reference) for values in list(samples.values())[:limit]]


def main():
    # Samples without spread make scipy warn; the timing is what matters here.
    np.seterr(all="ignore")
    warnings.simplefilter("ignore")
    result = {"paths_us": {name: per_comparison_us([pair]) for name, pair in PATHS.items()}}
    survey = os.path.join(tempfile.gettempdir(), "benthix-bench", "survey", "survey.csv")
    if len(sys.argv) > 1:
        survey = sys.argv[1]
    if os.path.exists(survey):
        result["survey_us"] = per_comparison_us(survey_pairs(survey, 2000), min_seconds=2.0)
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
