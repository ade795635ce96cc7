// SPDX-License-Identifier: MIT
#pragma once
// The option lists and the Options menu switches.

#include <string>

namespace bx {

class MainWindow;

// The user picked an entry of a hypothesis list (the list's text is already the entry).
void cbHypoAlt_Click(MainWindow& w);
void cbHypoNull_Click(MainWindow& w);

// Picking entry `index` of a list: sets its text and, for the hypothesis lists, runs the
// coupling. Typing into a list only sets its text (no coupling).
void pickHypoAlt(MainWindow& w, const std::string& entry);
void pickHypoNull(MainWindow& w, const std::string& entry);

// Options > "Normality Override", "Power Calculations", "1 Sample T-Test".
void mnuNormalPrompt_Click(MainWindow& w);
void mnuPowerCalculation_Click(MainWindow& w);
void mnuOneSampleTTest_Click(MainWindow& w);
// Options > "Read Leading Numbers": a value that is not wholly a number is read by its leading
// number with a warning (on), or stops the run (off, WindowState::strictNumbers).
void mnuReadLeadingNumbers_Click(MainWindow& w);

}  // namespace bx
