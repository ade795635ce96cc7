#pragma once
// The statistical tests as the analysis driver runs them on the window: each posts its status
// lines, computes with its kernel, keeps its working values in the analysis state for the logs
// and the report, and has its results shown. Arguments are what the driver passes.

#include "entry/value_array.h"

namespace bx {

class MainWindow;

// Shapiro-Wilk on the residuals of the transformed values; true when they pass as normal
// (false too when the test cannot be made).
bool WTest(MainWindow& w, const ValueArray& sv1, const ValueArray& sv2, double mean1, double mean2,
           double n1, int n2);

// Levene's test; true when the variances pass as equal.
bool Levene(MainWindow& w, const ValueArray& sv1, const ValueArray& sv2, double sv1Mean,
            double sv2Mean, double n1, int n2);

// Replaces both samples' values by rankits in place and recomputes the transform means and
// standard deviations of the analysis state.
void Rankit(MainWindow& w, ValueArray& sv1, ValueArray& sv2, double n1, int n2);

// The two-sample t-tests; each returns t.
double StudentT_Test(MainWindow& w, double x1, double s1, double n1, double x2, double s2, int n2);
double Approx_Ttest(MainWindow& w, double x1, double s1, double n1, double x2, double s2, int n2);

// Mann-Whitney; replaces both samples' values by their ranks in place and returns U.
double MannWhit(MainWindow& w, ValueArray& sv1, ValueArray& sv2, double n1, int n2);

// The one-sample t-test of the test mean against the reference value x2.
void Ttest_OneSample(MainWindow& w, double x1, double s1, double n1, double x2);

}  // namespace bx
