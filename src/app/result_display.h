// SPDX-License-Identifier: MIT
#pragma once
// The results area: the one writer that turns a run's result into the window's fields,
// pictures, grids and status lines, and the resetting and blanking of the panels.

namespace bx {

class MainWindow;
struct WindowState;
struct Comparison;
struct AnalysisOptions;
struct EntryCheck;
struct RunRecord;

// A run of Execute is three steps: keepRun() makes it the window's last run (which the logs and
// the report read), showRun() writes the display, applyRunToOptions() changes the options the
// run changes.

// Keeps the result as the window's last run.
void keepRun(MainWindow& w, Comparison result, const AnalysisOptions& options);

// Shows a completed run: the transformed values in both grids' Transform columns, every panel
// with its texts and pictures, the enabled and visible states the run leaves, and the run's
// notes in the status list in order (the rankit notice as its message box).
void showRun(MainWindow& w, const Comparison& result, const AnalysisOptions& options);

// What a run changes in the options: a failed normality test that stands switches the power
// calculation off (with a status line on screen). The transformation list keeps its choice.
void applyRunToOptions(MainWindow& w, const Comparison& result);

// The transformed values of checked entries in SampTrans, RefTrans and both grids' Transform
// columns ("~" beyond the last value).
void showTransformed(MainWindow& w, const EntryCheck& entries);

// The transformed values of a loaded sample data file (SampTrans, RefTrans) in both grids'
// Transform columns, in the pattern a run shows them in: the untransformed one when every
// value equals its entry, the transformed one otherwise.
void showLoadedTransforms(MainWindow& w);

// The window's last run as the logs and the report keep it: the identification and the
// replicates as the window holds them now, with the last result.
RunRecord currentRun(const MainWindow& w);

// Pictures back to "not decided", panels enabled, the df field shown again.
void ResetResultPanels(MainWindow& w);

// Blanks the Transform columns and every result field (txtOverride keeps its text), pictures
// back to "not decided", panels enabled. The focus stays where it is.
void ClearResultDisplays(MainWindow& w);

// Blanks both treatment panels and every test result field (txtOverride keeps its text) and
// sets the pictures back to "not decided".
void BlankResultFields(WindowState& ui);

// The power option on or off, with its check mark and the power fields.
void EnablePowerCalc(MainWindow& w);
void DisablePowerCalc(MainWindow& w);

// Enables the normality and homoscedasticity frames and their labels.
void EnableTestPanels(MainWindow& w);

}  // namespace bx
