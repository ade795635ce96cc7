#pragma once
// Transforming a sample into its Transform column, the descriptive statistics of both
// samples, and the test for a reference without spread.

#include "entry/value_array.h"

namespace bx {

class MainWindow;
class Grid;

// Fills `st` with the transformed values of `sv` by the method in cbTransMethod and shows them
// in the grid's Transform column ("~" beyond the last value).
bool Transform(MainWindow& w, const ValueArray& sv, ValueArray& st, Grid& gridx);

// Counts, means, standard deviations and Balanced; blanks the result fields and resets every
// test's working values.
void CalcSummaryStats(MainWindow& w);

// True when the one-sample t-test applies: all reference values equal (three or more, or one
// or more with the one-sample option on).
bool RefVariance(MainWindow& w);

}  // namespace bx
