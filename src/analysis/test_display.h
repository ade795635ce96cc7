#pragma once
// The one place that turns the tests' results into the window's display fields, pictures and
// enabled or visible states. No arithmetic here beyond formatting.

#include "entry/value_array.h"

namespace bx {

class MainWindow;
struct WindowState;
struct ShapiroWilkResult;
struct LeveneResult;
struct TwoSampleTResult;
struct MannWhitneyResult;
struct OneSampleTResult;

// Normality panel: verdict, picture, "<= " critical W, W, the level.
void showNormality(WindowState& ui, const ShapiroWilkResult& r);

// Homoscedasticity panel: verdict, picture, ">= " critical t, |t|, the level, df.
void showHomoscedasticity(WindowState& ui, const LeveneResult& r);

// After the rankit transformation: the recomputed transform means and SDs, the normality
// panel marked not applicable, the transformation list emptied, "Rankits" as the transform
// type, and both grids showing the typed values beside the rankits.
void showRankits(MainWindow& w, const ValueArray& rankits1, const ValueArray& rankits2);

// Test panel of Student's t ("Student's t", df as a plain whole number) and of the
// approximate t ("Approximate t", df with "###").
void showStudentT(WindowState& ui, const TwoSampleTResult& r);
void showApproximateT(WindowState& ui, const TwoSampleTResult& r);

// Test panel of Mann-Whitney: U, the design, "rank-order", the df field hidden.
void showMannWhitney(WindowState& ui, const MannWhitneyResult& r, bool balanced);

// Test panel of the one-sample t-test, and both other panels marked not applicable.
void showOneSampleT(WindowState& ui, const OneSampleTResult& r, bool balanced);

// The power field: the percentage with "##0.0#" and "%", or empty when no difference was given.
void showPower(WindowState& ui, double powerPercent);
void showNoPower(WindowState& ui);

}  // namespace bx
