#pragma once
// One analysis run: validation, transformation, descriptive statistics, the normality and
// equal-variance checks, the choice of one test of the experimental hypothesis, and the logs.

namespace bx {

class MainWindow;

// The Execute button. Also run by the spreadsheet report.
void cmdExecute_Click(MainWindow& w);

// File > "&Execute Stats": the same run.
void mnuLoadExec_Click(MainWindow& w);

}  // namespace bx
