#pragma once
// Checking the entries before anything is computed, and File > "&Transform".

#include "entry/value_array.h"

namespace bx {

class MainWindow;
struct AnalysisState;

// Copies both grids into SampRaw and RefRaw and checks the counts and the option lists; on
// failure posts the reason (and for too few reference values shows a message box) and returns
// false. Also refuses values that are not finite or lie outside the chosen transformation's
// domain, and warns about replicates whose text is not wholly a number.
bool ChkEntry(MainWindow& w);

// At least three values.
bool chkData(const ValueArray& values);

// The larger count is less than twice the smaller one.
bool chkBalance(const AnalysisState& a);

// Validates and transforms without running the tests; posts "Transformation Complete" when
// showMessage is true.
void TransformEntries(MainWindow& w, bool showMessage);

// File > "&Transform".
void mnuTransform_Click(MainWindow& w);

}  // namespace bx
